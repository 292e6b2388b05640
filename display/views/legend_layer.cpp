#include "display/views/legend_layer.h"

#include <QEvent>
#include <QFrame>
#include <QPainter>

LegendLayer::LegendLayer(QFrame &plot, Painter painter) : QWidget(&plot), plot_(plot), painter_(std::move(painter))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(plot_.contentsRect());
    plot_.installEventFilter(this);
}

void LegendLayer::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter_(painter, QSizeF(size()));
}

bool LegendLayer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &plot_ && event->type() == QEvent::Resize)
        setGeometry(plot_.contentsRect());
    return QWidget::eventFilter(watched, event);
}
