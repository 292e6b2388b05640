#include "display/plots/line_shape.h"

#include "display/plots/twips.h"

#include <QFrame>
#include <QPainter>

#include <algorithm>

LineShape::LineShape(QPoint fromTwips, QPoint toTwips, QWidget *plot)
    : QWidget(plot), from_(fromTwips), to_(toTwips)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    const auto *frame = qobject_cast<QFrame *>(plot);
    setGeometry(frame ? frame->contentsRect() : plot->rect());
}

void LineShape::paintEvent(QPaintEvent *)
{
    // Through the centres of the pixels that hold the end points, so that a point plotted
    // on the line lands in the same pixels.
    const QPointF from = pixelCellOf(from_.x(), from_.y());
    const QPointF to = pixelCellOf(to_.x(), to_.y());
    const QColor colour = palette().color(QPalette::WindowText);
    QPainter painter(this);
    if (from.x() == to.x() || from.y() == to.y()) {
        // Along a row or a column the one-pixel pen with its square ends covers exactly the
        // pixels from one end to the other: filled as that rectangle, it costs a fraction of
        // a stroke, and the time cursor's every step repaints the axes.
        painter.fillRect(QRectF(QPointF(std::min(from.x(), to.x()), std::min(from.y(), to.y())),
                                QPointF(std::max(from.x(), to.x()) + 1, std::max(from.y(), to.y()) + 1)),
                         colour);
        return;
    }
    const QPointF half(0.5, 0.5);
    painter.setPen(QPen(colour, 1));
    painter.drawLine(from + half, to + half);
}
