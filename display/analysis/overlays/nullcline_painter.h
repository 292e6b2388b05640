#pragma once

#include "display/plots/plot_mapping.h"
#include "model/coefficients.h"

class QPainter;
class QSizeF;

// The nullclines x' = 0 (A + Bx + Cy = 0) and y' = 0 (D + Ex + Fy = 0) as straight lines across
// the phase plane, one colour each. A degenerate line draws nothing.
void paintNullclines(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m, const Coefficients &k);

// One line of the phase plane in the given pen, clipped to the drawing area. A line parallel to
// an axis runs through the centres of the pixels its dots would fill, without smoothing.
void paintPhaseLine(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m, const StraightLine &line);
