#include "display/plots/plot_surface.h"

#include "display/plots/twips.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
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
    textColour_ = palette().color(QPalette::Text);
    if (!underlayPainter_) {
        image_.fill(palette().color(QPalette::Base));
    } else if (!image_.isNull()) {
        // Copied into the drawing's own pixels: a shared picture would be copied into freshly
        // allocated memory at the first point drawn, which costs several times as much.
        const QImage &picture = underlay();
        std::memcpy(image_.bits(), picture.constBits(), std::size_t(image_.sizeInBytes()));
    }
    askRepaint();
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

// A dot's worth of work is small: the image is made or resized by Cls, on a resize and before
// a paint, and the repaint is asked for once until it happens.
void PlotSurface::askRepaint()
{
    if (repaintAsked_)
        return;
    repaintAsked_ = true;
    update(contentsRect());
}

void PlotSurface::PSet(float x, float y)
{
    if (image_.isNull())
        ensureImage();
    const std::optional<QRectF> square
        = dotSquareOf(x, y, drawWidth_, QSizeF(image_.size()) / image_.devicePixelRatio());
    if (!square)
        return;
    const QRectF &dot = *square;

    const QColor colour = inkInForce();
    if (drawWidth_ == 1 && image_.devicePixelRatio() == 1.0) {
        // The common dot: one pixel, the cell itself.
        const int px = int(dot.x()), py = int(dot.y());
        if (px >= 0 && py >= 0 && px < image_.width() && py < image_.height())
            reinterpret_cast<QRgb *>(image_.scanLine(py))[px] = colour.rgb();
        askRepaint();
        return;
    }
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
    askRepaint();
}

void PlotSurface::line(float x1, float y1, float x2, float y2)
{
    if (image_.isNull())
        ensureImage();
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    QPainter painter(&image_);
    paintLine(painter, inkInForce(), x1, y1, x2, y2);
    askRepaint();
}

void PlotSurface::mark(Mark kind, float x, float y)
{
    if (image_.isNull())
        ensureImage();
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    QPainter painter(&image_);
    paintMark(painter, inkInForce(), kind, x, y);
    askRepaint();
}

// The ink set, or the text colour as of the last Cls: a redraw asks for it hundreds of times,
// and the palette's answer costs more than the dot.
QColor PlotSurface::inkInForce()
{
    if (ink_.isValid())
        return ink_;
    if (!textColour_.isValid())
        textColour_ = palette().color(QPalette::Text);
    return textColour_;
}

// Fills the device pixels that the rectangle, in logical pixels, covers.
void PlotSurface::fillDevicePixels(const QRectF &logical, QRgb colour)
{
    const qreal ratio = image_.devicePixelRatio();
    // qRound rounds halves away from zero as std::lround does, without a library call; the
    // rectangle lies within a dot's reach of the image.
    const QRect device = QRect(QPoint(qRound(logical.left() * ratio), qRound(logical.top() * ratio)),
                               QPoint(qRound(logical.right() * ratio) - 1, qRound(logical.bottom() * ratio) - 1))
                             .intersected(image_.rect());
    for (int y = device.top(); y <= device.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image_.scanLine(y));
        std::fill(line + device.left(), line + device.right() + 1, colour);
    }
}

void PlotSurface::paintEvent(QPaintEvent *event)
{
    repaintAsked_ = false;
    // The border lies outside the drawing area: a repaint of the drawing alone leaves it be.
    if (!contentsRect().contains(event->rect()))
        QFrame::paintEvent(event);
    // On a screen of another pixel ratio the kept image would only be rescaled, turning dots
    // into slivers: the owner draws everything afresh at the new ratio first.
    if (!image_.isNull() && image_.devicePixelRatio() != imageRatio())
        emit scaleChanged();
    ensureImage();
    QPainter painter(this);
    // Magnified, the image's device pixels are still the screen's, one for one.
    if (magnification_ == 1)
        painter.drawImage(contentsRect().topLeft(), image_);
    else
        painter.drawImage(QRectF(contentsRect()), image_, QRectF(image_.rect()));
    if (hasFocus() && focusShown_)
        paintFocus(painter);
}

// The focus frame lies on the border, outside the drawing area, so it never covers a sample;
// the crosshair is drawn over the picture on the screen only.
void PlotSurface::paintFocus(QPainter &painter)
{
    const QColor colour = palette().color(QPalette::Highlight);
    const QRect border = rect().adjusted(0, 0, -1, -1);
    painter.setPen(QPen(colour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(border);
    painter.drawRect(border.adjusted(1, 1, -1, -1));
    if (!markerEnabled_)
        return;
    painter.setClipRect(contentsRect());
    // Drawn in the drawing area's logical pixels, so that it grows with the magnification.
    const double g = magnification_;
    painter.translate(contentsRect().topLeft());
    painter.scale(g, g);
    const QPointF centre = QPointF(marker_) + QPointF(0.5, 0.5);
    const double arm = 8;
    painter.setPen(QPen(colour, 1));
    painter.drawLine(centre - QPointF(arm, 0), centre - QPointF(2, 0));
    painter.drawLine(centre + QPointF(2, 0), centre + QPointF(arm, 0));
    painter.drawLine(centre - QPointF(0, arm), centre - QPointF(0, 2));
    painter.drawLine(centre + QPointF(0, 2), centre + QPointF(0, arm));
}

QSize PlotSurface::areaSize() const
{
    const QSizeF area = drawingArea();
    return QSize(int(std::ceil(area.width())), int(std::ceil(area.height())));
}

qreal PlotSurface::imageRatio() const
{
    return devicePixelRatioF() * magnification_;
}

void PlotSurface::setMagnification(double g)
{
    if (!(g >= 1) || !std::isfinite(g) || g == magnification_)
        return;
    magnification_ = g;
    // What was drawn stands elsewhere now: cleared, not carried over, for the owner draws afresh.
    image_ = QImage();
    ensureImage();
    update();
}

QSizeF PlotSurface::drawingArea() const
{
    return QSizeF(contentsRect().size()) / magnification_;
}

QPointF PlotSurface::areaPosition(QPointF widgetPosition) const
{
    return (widgetPosition - QPointF(contentsRect().topLeft())) / magnification_;
}

QPointF PlotSurface::widgetPosition(QPointF areaPosition) const
{
    return areaPosition * magnification_ + QPointF(contentsRect().topLeft());
}

void PlotSurface::setMarkerPixel(QPoint pixel)
{
    const QSize area = areaSize();
    const QPoint kept(std::clamp(pixel.x(), 0, std::max(0, area.width() - 1)),
                      std::clamp(pixel.y(), 0, std::max(0, area.height() - 1)));
    if (kept == marker_)
        return;
    marker_ = kept;
    update();
    emit markerMoved(marker_);
}

void PlotSurface::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() != Qt::NoButton)
        emit dragged(event->buttons(), event->modifiers(), areaPosition(event->position()));
    QFrame::mouseMoveEvent(event);
}

void PlotSurface::mouseReleaseEvent(QMouseEvent *event)
{
    emit released(event->button(), event->modifiers(), areaPosition(event->position()));
    QFrame::mouseReleaseEvent(event);
}

// A notch is 120 eighths of a degree; fine-grained wheels add up until they make one.
void PlotSurface::wheelEvent(QWheelEvent *event)
{
    QPoint delta = event->angleDelta();
    wheelAngle_ += std::abs(delta.y()) >= std::abs(delta.x()) ? delta.y() : delta.x();
    const int notches = wheelAngle_ / 120;
    wheelAngle_ -= notches * 120;
    if (notches != 0)
        emit wheelTurned(notches, event->modifiers(), areaPosition(event->position()));
    event->accept();
}

void PlotSurface::keyPressEvent(QKeyEvent *event)
{
    if (!focusShown_) {
        focusShown_ = true;
        update();
    }
    const int key = event->key();
    if (markerEnabled_) {
        const int step = event->modifiers() & Qt::ControlModifier ? 10 : 1;
        QPoint move;
        switch (key) {
        case Qt::Key_Left: move = {-step, 0}; break;
        case Qt::Key_Right: move = {step, 0}; break;
        case Qt::Key_Up: move = {0, -step}; break;
        case Qt::Key_Down: move = {0, step}; break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (!event->isAutoRepeat())
                emit pressed(Qt::LeftButton, event->modifiers() & ~Qt::KeypadModifier, QPointF(marker_));
            event->accept();
            return;
        default:
            QFrame::keyPressEvent(event);
            return;
        }
        setMarkerPixel(marker_ + move);
        event->accept();
        return;
    }
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        emit timeKey(key);
        event->accept();
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

// The focus is shown once the keyboard is in use: reached by Tab, or a key pressed here. The
// window's first focus at start-up shows nothing, so the start-up picture stays as designed.
void PlotSurface::focusInEvent(QFocusEvent *event)
{
    QFrame::focusInEvent(event);
    focusShown_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason
                  || event->reason() == Qt::ShortcutFocusReason;
    update();
}

void PlotSurface::focusOutEvent(QFocusEvent *event)
{
    QFrame::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        focusShown_ = false;
    update();
}

void PlotSurface::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    ensureImage();
}

void PlotSurface::mousePressEvent(QMouseEvent *event)
{
    // A press on the border lies outside the drawing area and means no point of the plot.
    const QPointF inArea = areaPosition(event->position());
    const QSizeF area = drawingArea();
    if (inArea.x() >= 0 && inArea.y() >= 0 && inArea.x() < area.width() && inArea.y() < area.height())
        emit pressed(event->button(), event->modifiers(), inArea);
    QFrame::mousePressEvent(event);
}

// Keeps the image as large as the drawing area in device pixels. When the size or the
// screen's scale changes, what was drawn is carried over.
void PlotSurface::ensureImage()
{
    const qreal ratio = imageRatio();
    const QSize wanted = contentsRect().size() * devicePixelRatioF();
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
