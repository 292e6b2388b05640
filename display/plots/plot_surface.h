#pragma once

#include "display/plots/plot_canvas.h"

#include <QFrame>
#include <QImage>

#include <functional>

// A drawing surface with a sunken border. Points are painted into a kept image and stay until
// Cls, whatever covers the window; paintEvent only copies the image to the screen. Positions
// are twips measured from the top-left corner of the drawing area inside the border.
//
// A magnified surface (setMagnification) draws as a screen of g times its pixel ratio would:
// its drawing area holds 1/g as many logical pixels, each of them g times as large on the
// screen, so that every dot, line, mark and text grows with it and stays sharp. Every position
// it gives or takes (presses, the crosshair, drawingArea) is in those logical pixels.
class PlotSurface : public QFrame, public PlotCanvas {
    Q_OBJECT

public:
    explicit PlotSurface(QWidget *parent = nullptr);

    // Erases every point. The line shapes (child widgets) stay.
    void Cls() override;
    // Paints a dot of DrawWidth logical pixels at (x, y) twips in the surface's text colour.
    // A dot that lies wholly outside the drawing area, or at no finite position, is skipped.
    void PSet(float x, float y) override;
    void setDrawWidth(int width) override { drawWidth_ = width; }
    int drawWidth() const { return drawWidth_; }
    void setInk(const QColor &colour) override { ink_ = colour; }
    QColor baseColour() const override { return palette().color(QPalette::Base); }
    void line(float x1, float y1, float x2, float y2) override;
    void mark(Mark kind, float x, float y) override;

    // The kept drawing, one pixel per device pixel.
    const QImage &image() const { return image_; }

    // How many times larger than a logical pixel of the screen each logical pixel of the drawing
    // is (1 as designed). What was drawn is cleared: the owner draws afresh.
    void setMagnification(double g);
    double magnification() const { return magnification_; }
    // The drawing area in its own logical pixels, and where a position on the widget lies in it.
    QSizeF drawingArea() const;
    QPointF areaPosition(QPointF widgetPosition) const;
    // Where a position of the drawing area lies on the widget.
    QPointF widgetPosition(QPointF areaPosition) const;

    // Keyboard use. With a marker, the surface shows a small crosshair on one logical pixel of
    // its drawing area while it has the focus; the arrows move it (one pixel, ten with Ctrl),
    // and Enter or Space press there as the left mouse button would. Without one, the keys
    // that move a time cursor are passed on as timeKey. Neither ever enters the kept image.
    void setKeyboardMarker(bool enabled) { markerEnabled_ = enabled; }
    void setMarkerPixel(QPoint pixel);
    QPoint markerPixel() const { return marker_; }
    // What Cls leaves behind: the base colour, or, while a painter is set, a picture painted
    // under every point (the analysis overlays). The painter draws in logical pixels of the
    // drawing area, whose size it is given. Its picture is kept and painted again only at the
    // first Cls after invalidateUnderlay() or a change of size or screen scale.
    using UnderlayPainter = std::function<void(QPainter &painter, const QSizeF &area)>;
    void setUnderlayPainter(UnderlayPainter painter);
    void invalidateUnderlay() { underlayStale_ = true; }

signals:
    // The pointer moved with a button held, to pos in the drawing area's logical pixels (which
    // may lie outside it during a drag); and the button went up there.
    void dragged(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF pos);
    void released(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF pos);
    // The wheel turned by whole notches, positive away from the user, with the pointer at pos
    // in the drawing area's logical pixels.
    void wheelTurned(int notches, Qt::KeyboardModifiers modifiers, QPointF pos);
    // The crosshair moved to another pixel of the drawing area.
    void markerMoved(QPoint pixel);
    // Left, Right, Home, End, PageUp or PageDown, on a surface without a marker.
    void timeKey(int key);
    // A mouse button went down inside the drawing area at pos, in logical pixels from the drawing area's corner.
    void pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF pos);
    // The screen's pixel ratio changed since the kept image was drawn: it needs drawing again.
    void scaleChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void ensureImage();
    void askRepaint();
    QColor inkInForce();
    void fillDevicePixels(const QRectF &logical, QRgb colour);
    const QImage &underlay();

    QImage image_;
    void paintFocus(QPainter &painter);
    QSize areaSize() const;
    qreal imageRatio() const;

    UnderlayPainter underlayPainter_;
    QImage underlay_;
    bool underlayStale_ = true;
    int drawWidth_ = 1;
    double magnification_ = 1;
    QColor ink_;   // invalid: the text colour
    QColor textColour_;   // the palette's text colour at the last Cls
    bool markerEnabled_ = false;
    bool focusShown_ = false;
    QPoint marker_;
    int wheelAngle_ = 0;   // eighths of a degree not yet making a whole notch
    bool repaintAsked_ = false;   // an update of the drawing area is pending
};
