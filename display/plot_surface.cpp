#include "plot_surface.h"

#include "twips.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

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
    if (!underlayPainter_) {
        image_.fill(palette().color(QPalette::Base));
    } else if (!image_.isNull()) {
        // Copied into the drawing's own pixels: a shared picture would be copied into freshly
        // allocated memory at the first point drawn, which costs several times as much.
        const QImage &picture = underlay();
        std::memcpy(image_.bits(), picture.constBits(), std::size_t(image_.sizeInBytes()));
    }
    update(contentsRect());
}

void PlotSurface::setUnderlayPainter(UnderlayPainter painter)
{
    underlayPainter_ = std::move(painter);
    underlayStale_ = true;
}

// The picture is painted again into the same memory while the size and scale stay.
const QImage &PlotSurface::underlay()
{
    if (underlay_.size() != image_.size() || underlay_.devicePixelRatio() != image_.devicePixelRatio()) {
        underlay_ = QImage(image_.size(), image_.format());
        underlay_.setDevicePixelRatio(image_.devicePixelRatio());
        underlayStale_ = true;
    }
    if (underlayStale_) {
        underlay_.fill(palette().color(QPalette::Base));
        QPainter painter(&underlay_);
        underlayPainter_(painter, QSizeF(underlay_.size()) / underlay_.devicePixelRatio());
        underlayStale_ = false;
    }
    return underlay_;
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

    const QColor colour = palette().color(QPalette::Text);
    const double half = (drawWidth_ - 1) / 2.0;
    const QRectF dot(cell.x() - std::floor(half), cell.y() - std::floor(half), drawWidth_,
                     drawWidth_);
    if (drawWidth_ <= 3) {
        // So small a round dot is a square of whole pixels, written straight into the image:
        // a painter for each of the hundreds of points of a redraw would cost more than the dots.
        fillDevicePixels(dot, colour.rgb());
    } else {
        QPainter painter(&image_);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(dot);
    }
    update(contentsRect());
}

// Fills the device pixels that the rectangle, in logical pixels, covers.
void PlotSurface::fillDevicePixels(const QRectF &logical, QRgb colour)
{
    const qreal ratio = image_.devicePixelRatio();
    const QRect device = QRect(QPoint(int(std::lround(logical.left() * ratio)), int(std::lround(logical.top() * ratio))),
                               QPoint(int(std::lround(logical.right() * ratio)) - 1,
                                      int(std::lround(logical.bottom() * ratio)) - 1))
                             .intersected(image_.rect());
    for (int y = device.top(); y <= device.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image_.scanLine(y));
        std::fill(line + device.left(), line + device.right() + 1, colour);
    }
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
