#include "display/views/legend_layer.h"

#include "display/plots/plot_surface.h"

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

void LegendLayer::invalidate()
{
    stale_ = true;
    update();
}

void LegendLayer::paintEvent(QPaintEvent *)
{
    // Over a magnified plot it paints in the plot's logical pixels, as the plot does.
    const auto *surface = qobject_cast<const PlotSurface *>(&plot_);
    const double g = surface ? surface->magnification() : 1;
    const qreal ratio = devicePixelRatioF() * g;
    const QSize pixels = size() * devicePixelRatioF();
    if (stale_ || kept_.size() != pixels || kept_.devicePixelRatio() != ratio) {
        kept_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        kept_.setDevicePixelRatio(ratio);
        kept_.fill(Qt::transparent);
        QPainter layer(&kept_);
        painter_(layer, QSizeF(size()) / g);
        stale_ = false;
    }
    QPainter painter(this);
    if (g == 1)
        painter.drawImage(QPointF(0, 0), kept_);
    else
        painter.drawImage(QRectF(rect()), kept_, QRectF(kept_.rect()));
}

bool LegendLayer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &plot_ && event->type() == QEvent::Resize)
        setGeometry(plot_.contentsRect());
    return QWidget::eventFilter(watched, event);
}
