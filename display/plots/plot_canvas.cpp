#include "display/plots/plot_canvas.h"

#include "display/plots/twips.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

// The centre of the logical pixel that holds a position, where a dot of width 1 is drawn.
QPointF pixelCentre(float x, float y)
{
    return pixelCellOf(x, y) + QPointF(0.5, 0.5);
}

} // namespace

void paintLine(QPainter &painter, const QColor &colour, float x1, float y1, float x2, float y2,
               LineWidth width)
{
    // Far-away ends are cut to a range the painter handles exactly.
    const double limit = 1e6;
    auto clampTwips = [limit](float v) { return float(std::fmax(-limit, std::fmin(limit, double(v)))); };
    const QPointF from = pixelCellOf(clampTwips(x1), clampTwips(y1));
    const QPointF to = pixelCellOf(clampTwips(x2), clampTwips(y2));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (width == LineWidth::LogicalPixel && (from.x() == to.x() || from.y() == to.y())) {
        painter.fillRect(QRectF(QPointF(std::min(from.x(), to.x()), std::min(from.y(), to.y())),
                                QPointF(std::max(from.x(), to.x()) + 1, std::max(from.y(), to.y()) + 1)),
                         colour);
    } else {
        const QPointF centre(0.5, 0.5);
        painter.setPen(QPen(colour, width == LineWidth::Hairline ? 0 : 1));
        painter.drawLine(from + centre, to + centre);
    }
    painter.restore();
}

void paintMark(QPainter &painter, const QColor &colour, PlotCanvas::Mark kind, float x, float y)
{
    const QPointF c = pixelCentre(x, y);
    const double size = 4;
    const double tip = kind == PlotCanvas::Mark::Maximum ? -1 : 1;   // up for a maximum
    const QPolygonF triangle{c + QPointF(0, tip * size), c + QPointF(-size, -tip * size * 0.6),
                             c + QPointF(size, -tip * size * 0.6)};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(colour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(triangle);
    painter.restore();
}
