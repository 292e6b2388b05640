#include "display/controls/time_cursor_bar.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

TimeCursorBar::TimeCursorBar(QWidget *parent) : QScrollBar(Qt::Horizontal, parent)
{
    // Emitted with the position already moved by one page step of 1: the rest of the page.
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
        if (action == SliderPageStepAdd || action == SliderPageStepSub) {
            const int rest = (kPageSamples - pageStep()) * (action == SliderPageStepAdd ? 1 : -1);
            setSliderPosition(std::clamp(sliderPosition() + rest, minimum(), maximum()));
        }
    });
}

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

void TimeCursorBar::paintEvent(QPaintEvent *event)
{
    QScrollBar::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
