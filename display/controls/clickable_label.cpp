#include "display/controls/clickable_label.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

ClickableLabel::ClickableLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void ClickableLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    pressed_ = true;
    event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    const bool wasPressed = pressed_;
    pressed_ = false;
    event->accept();
    if (wasPressed && rect().contains(event->position().toPoint()))
        emit clicked();
}

namespace {

bool isClickKey(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

// A key held down repeats its press: only the first press arms the click, and the release
// fires it, so a held Enter cannot also accept the dialog it opened.
void ClickableLabel::keyPressEvent(QKeyEvent *event)
{
    if (!isClickKey(event->key())) {
        QLabel::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat())
        keyPressed_ = true;
    event->accept();
}

void ClickableLabel::keyReleaseEvent(QKeyEvent *event)
{
    if (!isClickKey(event->key())) {
        QLabel::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat() || !keyPressed_)
        return;
    keyPressed_ = false;
    emit clicked();
}

void ClickableLabel::focusOutEvent(QFocusEvent *event)
{
    keyPressed_ = false;
    QLabel::focusOutEvent(event);
}

void ClickableLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
