#pragma once

#include "display/plots/trajectory_plot.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRect>

#include <functional>

class QPainter;
class QPalette;

// The three plots side by side as the window shows them, on any paint device: each in its
// window position, with a thin border, its underlay, the trajectories drawn by drawPlots and
// the axis lines over everything. The screen and every file share drawPlots and its mapping.
namespace plot_picture {

// What lies under the points of one plot, in logical pixels of its drawing area.
using UnderlayPainter = std::function<void(PlotKind plot, QPainter &painter, const QSizeF &area)>;

struct Colours {
    QColor window;   // around the plots
    QColor border;
    QColor base;     // the drawing areas
    QColor text;     // the points' designed ink
    QColor axes;     // the axis lines
};
// The colours the window's plots and lines are drawn in.
Colours coloursOf(const QPalette &palette);

// The picture's size in logical pixels.
QSize size();
// Where a plot's drawing area lies in the picture, in logical pixels; the same size as on screen.
QRect drawingArea(PlotKind plot);

// What lies over everything in one plot's drawing area, axis lines included (the axis titles and
// the legend), in its logical pixels; none when empty.
using OverPainter = UnderlayPainter;

// Paints the picture with its top-left corner at the painter's origin, in its logical pixels, on
// what lies there already (a printed page, the image's background).
void paintPlots(QPainter &painter, const PlotScene &scene, const UnderlayPainter &underlay, const Colours &colours,
                const OverPainter &over = {});

// The picture as an image of ratio device pixels per logical pixel.
QImage image(const PlotScene &scene, const UnderlayPainter &underlay, const Colours &colours, qreal ratio,
             const OverPainter &over = {});

// The picture as an SVG document: a dot is a small square, a line a line, a text a text.
QByteArray svg(const PlotScene &scene, const UnderlayPainter &underlay, const Colours &colours,
               const OverPainter &over = {});

} // namespace plot_picture
