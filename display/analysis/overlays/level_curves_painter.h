#pragma once

#include "display/plots/plot_mapping.h"
#include "model/coefficients.h"

class QPainter;
class QSizeF;

// Level curves in the phase plane: of the first integral H where B = F = 0 (they are the
// orbits), otherwise of Goh's Lyapunov function V where it proves the interior equilibrium
// stable; nothing where neither applies. One curve goes through the initial point (x0, y0),
// others at evenly spaced levels from the equilibrium's level to twice the initial point's
// distance from it. Contoured by marching squares on a grid of kLevelGrid logical pixels, the
// pieces joined into one polyline per curve so that its dashes run along it.
void paintLevelCurves(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m,
                      const Coefficients &k, double x0, double y0);

inline constexpr double kLevelGrid = 2;
