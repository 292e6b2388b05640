#pragma once

#include <QFrame>
#include <QImage>

#include <functional>

// A drawing surface with a sunken border. Points are painted into a kept image and stay until
// Cls, whatever covers the window; paintEvent only copies the image to the screen. Positions
// are twips measured from the top-left corner of the drawing area inside the border.
class PlotSurface : public QFrame {
    Q_OBJECT

public:
    explicit PlotSurface(QWidget *parent = nullptr);

    // Erases every point. The line shapes (child widgets) stay.
    void Cls();
    // Paints a dot of DrawWidth logical pixels at (x, y) twips in the surface's text colour.
    // A dot that lies wholly outside the drawing area, or at no finite position, is skipped.
    void PSet(float x, float y);
    void setDrawWidth(int width) { drawWidth_ = width; }
    int drawWidth() const { return drawWidth_; }

    // The kept drawing, one pixel per device pixel.
    const QImage &image() const { return image_; }

    // What Cls leaves behind: the base colour, or, while a painter is set, a picture painted
    // under every point (the analysis overlays). The painter draws in logical pixels of the
    // drawing area, whose size it is given. Its picture is kept and painted again only at the
    // first Cls after invalidateUnderlay() or a change of size or screen scale.
    using UnderlayPainter = std::function<void(QPainter &painter, const QSizeF &area)>;
    void setUnderlayPainter(UnderlayPainter painter);
    void invalidateUnderlay() { underlayStale_ = true; }

signals:
    // A mouse button went down at pos, in logical pixels from the drawing area's corner.
    void pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void ensureImage();
    void fillDevicePixels(const QRectF &logical, QRgb colour);
    const QImage &underlay();

    QImage image_;
    UnderlayPainter underlayPainter_;
    QImage underlay_;
    bool underlayStale_ = true;
    int drawWidth_ = 1;
};
