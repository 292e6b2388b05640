#include "time_cursor_bar.h"

#include <QKeyEvent>

void TimeCursorBar::keyPressEvent(QKeyEvent *event)
{
    const bool forwards = (event->key() == Qt::Key_Right) != isRightToLeft();
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        triggerAction(forwards ? SliderSingleStepAdd : SliderSingleStepSub);
        event->accept();
        return;
    }
    QScrollBar::keyPressEvent(event);
}
