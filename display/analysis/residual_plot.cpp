#include "display/analysis/residual_plot.h"

#include "display/toolkit/conversions.h"
#include "display/toolkit/palette.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Hare and lynx as the plots draw their observations' two species.
const QColor &colourOf(std::size_t species)
{
    return species == 0 ? palette::kBlue.colour : palette::kVermillion.colour;
}

} // namespace

ResidualPlot::ResidualPlot(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("graficoResiduos"));
    setAccessibleName(QStringLiteral("Residuos del ajuste"));
    setAccessibleDescription(QStringLiteral("Observación menos modelo frente a t, una serie de puntos por especie."));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ResidualPlot::showResiduals(std::vector<Series> series, const QString &quantity)
{
    series_ = std::move(series);
    quantity_ = quantity;
    draw();
    update();
}

void ResidualPlot::clear()
{
    showResiduals({}, {});
}

void ResidualPlot::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    draw();
}

void ResidualPlot::paintEvent(QPaintEvent *)
{
    if (image_.size() != size() * devicePixelRatioF())
        draw();
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image_);
}

void ResidualPlot::draw()
{
    const qreal ratio = devicePixelRatioF();
    image_ = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(ratio);
    image_.fill(palette().color(QPalette::Base));
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    const QRectF area(QPointF(8, line + 6), QPointF(width() - 8, height() - line - 6));
    painter.setPen(palette().color(QPalette::Text));
    if (series_.empty() || area.width() < 10 || area.height() < 10) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Sin residuos: no hay ajuste."));
        return;
    }

    double tMax = 0, largest = 0;
    for (const Series &s : series_)
        for (const Point &p : s.points) {
            tMax = std::max(tMax, p.t);
            largest = std::max(largest, std::abs(p.residual));
        }
    if (tMax <= 0)
        tMax = 1;
    if (largest <= 0)
        largest = 1;
    const auto at = [&](const Point &p) {
        return QPointF(area.left() + p.t / tMax * area.width(),
                       area.center().y() - p.residual / largest * area.height() / 2);
    };

    // What is plotted, the largest residual at the top, then the zero line and the time axis.
    painter.drawText(QRectF(8, 2, width() - 16, line), Qt::AlignLeft,
                     QStringLiteral("%1  (máximo ±%2)").arg(quantity_, shortTextOf(largest)));
    painter.drawText(QRectF(8, height() - line - 2, width() - 16, line), Qt::AlignRight,
                     QStringLiteral("t (0 a %1)").arg(shortTextOf(tMax)));
    painter.setPen(QPen(palette::kGrey.colour, 1, Qt::DashLine));
    painter.drawLine(QPointF(area.left(), area.center().y()), QPointF(area.right(), area.center().y()));

    qreal legendX = area.right();
    for (std::size_t i = series_.size(); i-- > 0;) {
        const Series &s = series_[i];
        const QColor &colour = colourOf(i);
        painter.setPen(QPen(colour, 1.5));
        for (const Point &p : s.points) {
            const QPointF centre = at(p);
            painter.drawLine(QPointF(centre.x(), area.center().y()), centre);
            painter.drawEllipse(centre, 2.5, 2.5);
        }
        // The species' name in its colour, in the top right corner.
        const qreal w = metrics.horizontalAdvance(s.name) + 10;
        legendX -= w;
        painter.drawText(QRectF(legendX, 2, w, line), Qt::AlignRight, s.name);
    }
}
