#pragma once

#include "display/plots/plot_mapping.h"
#include "model/analysis/equilibria.h"

#include <QPointF>

#include <vector>

class QPainter;
class QSizeF;

// A mark at each equilibrium that lies in the phase plane's drawing area: filled if stable,
// open if unstable, a cross for a saddle, a diamond for a centre, a square where the
// linearisation does not decide. A line of equilibria is drawn as a broad translucent line.
void paintEquilibria(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m,
                     const std::vector<Equilibrium> &list);

// Whether paintEquilibria draws something of this equilibrium in a drawing area of that size.
bool equilibriumDrawn(const Equilibrium &equilibrium, const QSizeF &area, const plot_mapping::PlotMapping &m);

// The mark of a type centred at c, as paintEquilibria draws it; for a line of equilibria a short
// piece of its band. For the legend.
void paintEquilibriumSymbol(QPainter &painter, QPointF c, EquilibriumType type);

// The equilibrium whose mark (or line) lies under pos, in logical pixels of the drawing area:
// the nearest point first, then the nearest line; nothing when none is near enough.
const Equilibrium *equilibriumAt(const std::vector<Equilibrium> &list, const QSizeF &area, const plot_mapping::PlotMapping &m,
                                 QPointF pos);
