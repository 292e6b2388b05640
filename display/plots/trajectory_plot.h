#pragma once

#include "display/plots/plot_canvas.h"
#include "display/plots/plot_mapping.h"
#include "model/analysis/extrema.h"
#include "model/data/observations.h"
#include "model/trajectory.h"

#include <deque>
#include <vector>

class Model;
class QPainter;
class QSizeF;

// Everything the three plots show besides the analysis overlays.
struct PlotScene {
    const Model *current = nullptr;
    // Where the plots show the plane: the view's mapping.
    plot_mapping::PlotMapping mapping;
    int cursor = 0;
    // Trajectories kept from earlier computations, newest first; drawn in the underlay.
    const std::deque<Trajectory> *kept = nullptr;
    // Join consecutive valid samples with thin lines.
    bool joinSamples = false;
    // Marks of the current trajectory's maxima and minima; none when null.
    const std::vector<TurningPoint> *turningPoints = nullptr;
    // Observed populations in the program's units, drawn in the underlay; none when null.
    const ScaledObservations *observations = nullptr;
};

// Pen widths of the time cursor's dots, in logical pixels: on a kept trajectory, and, with
// joined samples, the current one's dot and the ring of base colour around it.
inline constexpr int kKeptCursorWidth = 3;
inline constexpr int kJoinedCursorWidth = 5;
inline constexpr int kCursorHaloWidth = 9;
// Turning-point triangles of one kind this many logical pixels apart or nearer are drawn once.
inline constexpr double kMarkMerge = 4;

// Which plot a drawing is for.
enum class PlotKind { PhasePlane, XAgainstTime, YAgainstTime };

// Clears the three plots and draws the current trajectory over what they keep under it. With
// no option the drawing is the designed one: every valid sample in the phase plane, then x
// against time, then y against time, the sample under the time cursor with pen width 3, every
// other one with pen width 1. Options add, in this order from the bottom: the joining lines,
// the time cursor's dots on the kept trajectories, the current trajectory, with joined samples
// a ring of base colour around the cursor's sample (the kept dots it covered drawn again) and
// that sample larger, then the turning points.
void drawPlots(const PlotScene &scene, PlotCanvas &phasePlane, PlotCanvas &xPlot, PlotCanvas &yPlot);

// The kept trajectories of one plot in their light colour, oldest first so the newest lies on
// top; joined by lines when asked. For the underlay, which changes only with the kept list.
void paintKeptTrajectories(QPainter &painter, const plot_mapping::PlotMapping &mapping, PlotKind plot,
                           const std::deque<Trajectory> &kept, bool join);

// The colour of kept trajectories and of the turning-point marks.
QColor keptTrajectoryColour();
QColor turningPointColour(PlotCanvas::Mark kind);
