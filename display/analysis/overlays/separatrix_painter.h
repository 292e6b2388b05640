#pragma once

#include "display/plots/plot_mapping.h"
#include "model/analysis/analysed_system.h"
#include "model/analysis/separatrices.h"

#include <QPen>
#include <QPolygonF>
#include <QRectF>

#include <vector>

class QPainter;
class QSizeF;

// The separatrices of the system, computed the first time they are asked for and kept until
// another system's are: the underlay and the legend of one system share one computation. One
// kept system per thread.
const std::vector<Separatrix> &separatricesOf(const AnalysedSystem &system);

// How a branch is drawn: stable manifolds dashed, unstable ones solid, each in its colour.
QPen separatrixPen(Separatrix::Kind kind);

// The pieces of a branch inside the drawing area widened by a pixel, as polylines in logical
// pixels of the area, without points closer than a quarter of a pixel to the one before: a branch
// that leaves the area and comes back makes two pieces.
std::vector<QPolygonF> drawnPieces(const Separatrix &branch, const QSizeF &area, const plot_mapping::PlotMapping &m);

// One piece of a branch drawn in an area.
struct DrawnSeparatrix {
    Separatrix::Kind kind = Separatrix::Kind::Stable;
    QRectF bounds;   // of its points
    QPolygonF points;
};

// Every drawn piece of the system's branches for one view and area, kept until another system,
// view or area is asked for: the legend asks at every redraw, and finds them ready. One kept
// drawing per thread.
const std::vector<DrawnSeparatrix> &drawnSeparatrices(const AnalysedSystem &system, const QSizeF &area,
                                                      const plot_mapping::PlotMapping &m);

// Whether some branch of the kind has a piece in the area.
bool separatrixDrawn(Separatrix::Kind kind, const AnalysedSystem &system, const QSizeF &area,
                     const plot_mapping::PlotMapping &m);

// How many of the drawn points of the branches lie in rect (for the legend's place).
int separatrixPointsIn(const QRectF &rect, const AnalysedSystem &system, const QSizeF &area,
                       const plot_mapping::PlotMapping &m);

// Every branch of every saddle, smoothed, clipped to the area so that no file holds a shape
// beyond the plot.
void paintSeparatrices(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m,
                       const AnalysedSystem &system);
