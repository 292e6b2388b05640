#include "display/plots/line_shape.h"

#include "display/plots/plot_canvas.h"
#include "display/plots/plot_surface.h"

#include <QFrame>
#include <QPainter>

LineShape::LineShape(QPoint fromTwips, QPoint toTwips, QWidget *plot)
    : QWidget(plot), from_(fromTwips), to_(toTwips)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    const auto *frame = qobject_cast<QFrame *>(plot);
    setGeometry(frame ? frame->contentsRect() : plot->rect());
}

void LineShape::setEnds(QPointF fromTwips, QPointF toTwips)
{
    if (fromTwips == from_ && toTwips == to_)
        return;
    from_ = fromTwips;
    to_ = toTwips;
    update();
}

void LineShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // On a magnified plot the line is as wide as one of its logical pixels.
    if (const auto *plot = qobject_cast<const PlotSurface *>(parentWidget()); plot && plot->magnification() != 1)
        painter.scale(plot->magnification(), plot->magnification());
    paintLine(painter, palette().color(QPalette::WindowText), float(from_.x()), float(from_.y()),
              float(to_.x()), float(to_.y()), LineWidth::LogicalPixel);
}
