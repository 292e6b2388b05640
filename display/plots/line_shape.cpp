#include "line_shape.h"

#include "twips.h"

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

void LineShape::paintEvent(QPaintEvent *)
{
    // Through the centres of the pixels that hold the end points, so that a point plotted
    // on the line lands in the same pixels.
    const QPointF half(0.5, 0.5);
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(pixelCellOf(from_.x(), from_.y()) + half, pixelCellOf(to_.x(), to_.y()) + half);
}
