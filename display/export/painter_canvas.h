#pragma once

#include "display/plots/plot_canvas.h"

#include <QColor>
#include <QRectF>

#include <functional>

class QPainter;

// A plot drawn with a painter into one rectangle of any paint device: a picture, an SVG file,
// the clipboard's image. Positions are twips of that rectangle, as on the screen's plots, and
// every shape is the one the screen draws.
class PainterCanvas : public PlotCanvas {
public:
    // Paints what lies under every point, in logical pixels of the drawing area of the given
    // size; the same painter a plot on screen keeps as its underlay.
    using UnderlayPainter = std::function<void(QPainter &painter, const QSizeF &area)>;

    // area is the drawing area in the painter's logical pixels; base is its colour under
    // everything and text the designed ink of the points.
    PainterCanvas(QPainter &painter, const QRectF &area, const QColor &base, const QColor &text,
                  UnderlayPainter underlay = {});

    void Cls() override;
    // A filled square of DrawWidth logical pixels centred on the pixel that holds (x, y), cut
    // to the drawing area; a dot wholly outside it, or at no finite position, is skipped.
    void PSet(float x, float y) override;
    void setDrawWidth(int width) override { drawWidth_ = width; }
    void setInk(const QColor &colour) override { ink_ = colour; }
    QColor baseColour() const override { return base_; }
    void line(float x1, float y1, float x2, float y2) override;
    void mark(Mark kind, float x, float y) override;

private:
    QColor inkInForce() const { return ink_.isValid() ? ink_ : text_; }

    QPainter &painter_;
    QRectF area_;
    QColor base_;
    QColor text_;
    UnderlayPainter underlay_;
    int drawWidth_ = 1;
    QColor ink_;   // invalid: the text colour
};
