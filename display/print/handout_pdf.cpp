#include "display/print/handout_pdf.h"

#include "display/print/printed_page.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace {

const QString kTitle = QStringLiteral("Hoja de trabajo: sistema de Lotka-Volterra");

// Lays out blocks of text one under another in points, on a new page where one is full.
class PageFlow {
public:
    PageFlow(QPdfWriter &writer, QPainter &painter) : writer_(writer), painter_(painter)
    {
        page_ = usePoints(painter_);
    }

    double width() const { return page_.width(); }

    // Room for height points, on a new page where this one has not.
    double take(double height)
    {
        if (y_ + height > page_.height() && y_ > 0)
            newPage();
        const double top = y_;
        y_ += height;
        return top;
    }

    void newPage()
    {
        writer_.newPage();
        y_ = 0;
    }

    void skip(double points) { y_ += points; }

    // Wrapped text across the page, or from left within width.
    void text(const QString &text, double size, bool bold = false, double left = 0, double width = 0)
    {
        setFont(size, bold);
        const double w = width > 0 ? width : page_.width() - left;
        const QRectF box = painter_.boundingRect(QRectF(left, 0, w, page_.height()), Qt::TextWordWrap, text);
        painter_.drawText(QRectF(left, take(box.height()), w, box.height()), Qt::TextWordWrap, text);
    }

    void setFont(double size, bool bold)
    {
        QFont font = QGuiApplication::font();
        font.setPixelSize(int(size));
        font.setBold(bold);
        painter_.setFont(font);
    }

    QPainter &painter() { return painter_; }

private:
    QPdfWriter &writer_;
    QPainter &painter_;
    QSizeF page_;
    double y_ = 0;
};

void equilibriumTable(PageFlow &flow, const std::vector<QStringList> &rows)
{
    const double widths[] = {0.34, 0.30, 0.36};
    QStringList header{QStringLiteral("Punto de equilibrio"), QStringLiteral("Autovalores"), QStringLiteral("Tipo")};
    const auto row = [&flow, &widths](const QStringList &cells, bool bold) {
        flow.setFont(9, bold);
        double height = 0;
        double left = 0;
        for (int i = 0; i < 3; ++i) {
            const QRectF box = flow.painter().boundingRect(QRectF(left, 0, widths[i] * flow.width() - 4, 1000),
                                                           Qt::TextWordWrap, cells.value(i));
            height = std::max(height, box.height());
            left += widths[i] * flow.width();
        }
        const double top = flow.take(height + 3);
        left = 0;
        for (int i = 0; i < 3; ++i) {
            flow.painter().drawText(QRectF(left, top, widths[i] * flow.width() - 4, height), Qt::TextWordWrap,
                                    cells.value(i));
            left += widths[i] * flow.width();
        }
        flow.painter().setPen(QPen(Qt::gray, 0.5));
        flow.painter().drawLine(QPointF(0, top + height + 1.5), QPointF(flow.width(), top + height + 1.5));
        flow.painter().setPen(Qt::black);
    };
    row(header, true);
    for (const QStringList &cells : rows)
        row(cells, false);
}

} // namespace

QByteArray handoutPdf(const HandoutContent &content, QSizeF pictureSize, const PicturePainter &plots,
                      bool withQuestions)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(kTitle);
        writer.setCreator(QStringLiteral("lotka-volterra"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 12, 15, 12),
                                         QPageLayout::Millimeter));
        writer.setResolution(1200);
        QPainter painter(&writer);
        painter.setPen(Qt::black);
        PageFlow flow(writer, painter);
        flow.text(kTitle, 15, true);
        flow.skip(6);
        flow.text(content.system.mid(0, 2).join(u'\n'), 12);
        flow.text(content.system.mid(2).join(u'\n'), 9);
        flow.skip(6);

        const double scale = flow.width() / pictureSize.width();
        const double top = flow.take(scale * pictureSize.height());
        painter.save();
        painter.translate(0, top);
        painter.scale(scale, scale);
        painter.setClipRect(QRectF(QPointF(0, 0), pictureSize));
        plots(painter);
        painter.restore();
        flow.skip(8);

        flow.text(QStringLiteral("Puntos de equilibrio"), 11, true);
        equilibriumTable(flow, content.equilibria);
        flow.skip(6);
        flow.text(QStringLiteral("Lo que dice el análisis"), 11, true);
        for (const QString &claim : content.claims)
            flow.text(QStringLiteral("• ") + claim, 9);

        if (withQuestions && !content.questions.empty()) {
            flow.skip(8);
            flow.text(QStringLiteral("Preguntas"), 11, true);
            for (std::size_t i = 0; i < content.questions.size(); ++i) {
                flow.text(QStringLiteral("%1. %2").arg(i + 1).arg(content.questions[i].question), 10);
                // Three lines to write the answer on.
                const double lines = flow.take(3 * 18);
                painter.setPen(QPen(Qt::gray, 0.5));
                for (int l = 1; l <= 3; ++l)
                    painter.drawLine(QPointF(12, lines + 18 * l), QPointF(flow.width(), lines + 18 * l));
                painter.setPen(Qt::black);
            }
            flow.newPage();
            flow.text(QStringLiteral("Respuestas (para el profesor)"), 13, true);
            flow.skip(6);
            for (std::size_t i = 0; i < content.questions.size(); ++i) {
                flow.text(QStringLiteral("%1. %2").arg(i + 1).arg(content.questions[i].question), 10, true);
                flow.text(content.questions[i].answer, 10, false, 12);
                flow.skip(6);
            }
        }
    }
    return buffer.data();
}
