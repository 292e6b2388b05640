#include "clickable_label.h"

#include <QMouseEvent>

void ClickableLabel::mousePressEvent(QMouseEvent *event)
{
    pressed_ = true;
    event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = pressed_;
    pressed_ = false;
    event->accept();
    if (wasPressed && rect().contains(event->position().toPoint()))
        emit clicked();
}
