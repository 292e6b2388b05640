#pragma once

#include "display/plots/plot_mapping.h"
#include "model/analysis/analysed_system.h"

#include <QString>

class QPainter;
class QSizeF;

// Which analysis overlays are shown. All off at every start.
struct OverlayOptions {
    bool nullclines = false;
    bool equilibria = false;
    bool directionField = false;
    bool scales = false;
    bool separatrices = false;
    bool levelCurves = false;
    // Where the level curves' own curve goes through: the initial point.
    double startX = 0, startY = 0;
    bool basins = false;   // painted by the plots' views, under the others; the legend names them
    int fontStep = 0;      // the texts this many steps larger: a presentation's
    // The time plots' title of their time axis: "t", or what the observations' times count.
    QString timeTitle = QStringLiteral("t");

    bool anyInPhasePlane() const
    {
        return nullclines || equilibria || directionField || scales || separatrices || levelCurves || basins;
    }
    bool anyInTimePlots() const { return scales; }
};

// Every overlay of the phase plane that the options ask for, in their order from the bottom:
// direction field, level curves, nullclines, separatrices, scales, equilibria. The painter draws in logical pixels of the
// drawing area, whatever the device: a plot's kept image, a picture or a file.
void paintPhaseOverlays(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m,
                        const OverlayOptions &options, const AnalysedSystem &system);

// The overlays of a time plot (only the scales).
void paintTimeOverlays(QPainter &painter, const QSizeF &area, const plot_mapping::ValueAxis &values,
                       const plot_mapping::TimeAxis &times,
                       const OverlayOptions &options, const AnalysedSystem &system);
