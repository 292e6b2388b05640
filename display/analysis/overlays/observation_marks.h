#pragma once

#include "display/plots/plot_mapping.h"
#include "display/plots/trajectory_plot.h"
#include "model/data/observations.h"

#include <QPointF>

class QPainter;

// The observed populations as the plots draw them, in the palette's colour of their own: an open
// circle for each value observed, in x(t) and y(t) at its time, and in the phase plane at each
// time both species were observed, those circles joined in time order by a thin dotted line. In
// logical pixels of a plot's drawing area; what falls outside it is clipped.
inline constexpr double kObservationRadius = 3;

// series in the program's units, from t = 0; dt is the trajectory's, whose sample k stands at
// time k · dt in the time plots.
void paintObservations(QPainter &painter, const plot_mapping::PlotMapping &m, PlotKind plot, const Observations &series,
                       double dt);

// One circle, centred at a point in logical pixels, as the legend shows it.
void paintObservationCircle(QPainter &painter, QPointF centre);
