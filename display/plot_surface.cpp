#include "plot_surface.h"

#include "twips.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

PlotSurface::PlotSurface(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAttribute(Qt::WA_StaticContents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotSurface::Cls()
{
    ensureImage();
    image_.fill(palette().color(QPalette::Base));
    update(contentsRect());
}

void PlotSurface::PSet(float x, float y)
{
    ensureImage();
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    const QPointF cell = pixelCellOf(x, y);
    const double reach = drawWidth_;
    const QSizeF area = QSizeF(image_.size()) / image_.devicePixelRatio();
    if (cell.x() + reach < 0 || cell.y() + reach < 0 || cell.x() - reach > area.width()
        || cell.y() - reach > area.height())
        return;

    QPainter painter(&image_);
    const QColor colour = palette().color(QPalette::Text);
    const double half = (drawWidth_ - 1) / 2.0;
    const QRectF dot(cell.x() - std::floor(half), cell.y() - std::floor(half), drawWidth_,
                     drawWidth_);
    if (drawWidth_ <= 3) {
        // So small a round dot is a square of whole pixels.
        painter.fillRect(dot, colour);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(dot);
    }
    update(contentsRect());
}

void PlotSurface::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    ensureImage();
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), image_);
}

void PlotSurface::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    ensureImage();
}

void PlotSurface::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->button(), event->modifiers(),
                 event->position() - QPointF(contentsRect().topLeft()));
    QFrame::mousePressEvent(event);
}

// Keeps the image as large as the drawing area in device pixels. When the size or the
// screen's scale changes, what was drawn is carried over.
void PlotSurface::ensureImage()
{
    const qreal ratio = devicePixelRatioF();
    const QSize wanted = contentsRect().size() * ratio;
    if (image_.size() == wanted && image_.devicePixelRatio() == ratio)
        return;
    QImage fresh(wanted, QImage::Format_RGB32);
    fresh.setDevicePixelRatio(ratio);
    fresh.fill(palette().color(QPalette::Base));
    if (!image_.isNull()) {
        QPainter painter(&fresh);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(image_.size()) / image_.devicePixelRatio()),
                          image_);
    }
    image_ = fresh;
}
