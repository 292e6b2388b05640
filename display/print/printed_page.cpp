#include "display/print/printed_page.h"

#include <QGuiApplication>
#include <QPainter>

#include <algorithm>

namespace {

QFont fontOf(double points, bool bold = false)
{
    QFont font = QGuiApplication::font();
    // Pixels of the painter scaled to points: the same size at any resolution.
    font.setPixelSize(int(points));
    font.setBold(bold);
    return font;
}

} // namespace

QSizeF usePoints(QPainter &painter)
{
    const QPaintDevice &device = *painter.device();
    const double perPoint = device.logicalDpiY() / 72.0;
    painter.scale(perPoint, perPoint);
    return {device.width() / perPoint, device.height() / perPoint};
}

void paintPrintedPage(QPainter &painter, const QString &title, QSizeF pictureSize, const PicturePainter &paint,
                      const QStringList &lines)
{
    painter.save();
    const QSizeF page = usePoints(painter);
    painter.setPen(Qt::black);
    painter.setFont(fontOf(14, true));
    const QRectF titleBox = painter.boundingRect(QRectF(0, 0, page.width(), page.height()), Qt::TextWordWrap, title);
    painter.drawText(titleBox, Qt::TextWordWrap, title);
    painter.setFont(fontOf(11));
    const QString text = lines.join(u'\n');
    const QRectF textBox = painter.boundingRect(QRectF(0, 0, page.width(), page.height()), Qt::TextWordWrap, text);
    const double gap = 12;
    const double room = page.height() - titleBox.height() - textBox.height() - 2 * gap;
    const double scale = std::max(0.0, std::min(page.width() / pictureSize.width(), room / pictureSize.height()));
    const QRectF picture((page.width() - scale * pictureSize.width()) / 2, titleBox.bottom() + gap,
                         scale * pictureSize.width(), scale * pictureSize.height());
    painter.save();
    painter.translate(picture.topLeft());
    painter.scale(scale, scale);
    painter.setClipRect(QRectF(QPointF(0, 0), pictureSize));
    paint(painter);
    painter.restore();
    painter.drawText(QRectF(0, picture.bottom() + gap, page.width(), textBox.height()), Qt::TextWordWrap, text);
    painter.restore();
}
