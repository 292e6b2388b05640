#include "display/controls/passing_note.h"

#include <QAccessible>
#include <QApplication>

PassingNote::PassingNote(QWidget *parent) : QLabel(parent)
{
    setFont(QApplication::font());
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setMargin(2);
    hide();
    hide_.setSingleShot(true);
    hide_.setInterval(kShownMs);
    connect(&hide_, &QTimer::timeout, this, &QWidget::hide);
}

void PassingNote::showNote(const QString &text)
{
    setText(text);
    setAccessibleName(text);
    adjustSize();
    const QRect area = parentWidget()->contentsRect();
    move(area.topRight() - QPoint(width() + 1, -2));
    show();
    raise();
    hide_.start();
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}
