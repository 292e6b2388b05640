#include "display/export/painter_canvas.h"

#include "display/plots/twips.h"

#include <QPainter>

#include <cmath>

namespace {

// Draws in the drawing area's own logical pixels, cut to it, and leaves the painter as it was.
class AreaScope {
public:
    AreaScope(QPainter &painter, const QRectF &area) : painter_(painter)
    {
        painter_.save();
        painter_.translate(area.topLeft());
        painter_.setClipRect(QRectF(QPointF(0, 0), area.size()), Qt::IntersectClip);
    }
    ~AreaScope() { painter_.restore(); }
    AreaScope(const AreaScope &) = delete;
    AreaScope &operator=(const AreaScope &) = delete;

private:
    QPainter &painter_;
};

} // namespace

PainterCanvas::PainterCanvas(QPainter &painter, const QRectF &area, const QColor &base, const QColor &text,
                             UnderlayPainter underlay)
    : painter_(painter), area_(area), base_(base), text_(text), underlay_(std::move(underlay))
{
}

void PainterCanvas::Cls()
{
    const AreaScope scope(painter_, area_);
    painter_.fillRect(QRectF(QPointF(0, 0), area_.size()), base_);
    if (underlay_)
        underlay_(painter_, area_.size());
}

void PainterCanvas::PSet(float x, float y)
{
    // The same square as the screen's plot draws.
    const std::optional<QRectF> square = dotSquareOf(x, y, drawWidth_, area_.size());
    if (!square)
        return;
    const QRectF &dot = *square;
    // Cut by hand rather than by the clip alone, so that a vector file holds no shape that
    // reaches beyond the plot.
    const QRectF shown = dot.intersected(QRectF(QPointF(0, 0), area_.size()));
    if (shown.isEmpty())
        return;
    // No change of the painter's state for the hundreds of small dots: a vector file would
    // hold a group for each.
    if (drawWidth_ <= 3) {
        painter_.fillRect(shown.translated(area_.topLeft()), inkInForce());
    } else {
        const AreaScope scope(painter_, area_);
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(inkInForce());
        painter_.drawEllipse(dot);
    }
}

void PainterCanvas::line(float x1, float y1, float x2, float y2)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    const AreaScope scope(painter_, area_);
    paintLine(painter_, inkInForce(), x1, y1, x2, y2);
}

void PainterCanvas::mark(Mark kind, float x, float y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    const AreaScope scope(painter_, area_);
    paintMark(painter_, inkInForce(), kind, x, y);
}
