#pragma once

#include "display/analysis/overlays/overlay_renderer.h"
#include "display/plots/trajectory_plot.h"
#include "model/analysis/analysed_system.h"
#include "model/analysis/basins.h"
#include "state/legend_corner.h"

#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>
#include <vector>

class QPainter;

// The axis titles of the three plots and the legend of the phase plane, drawn over the points on
// any QPainter in logical pixels of a plot's drawing area: on the screen by a layer over each
// plot, in the saved pictures after the plots.

// One line of the legend: a symbol drawn as the phase plane draws it, and its Spanish text.
// Each overlay that draws in the phase plane has its kind here, the condition under which it is
// shown in legendEntries, its symbol in the painter, and its pixels in what the corner avoids. The
// basins of attraction cover the whole plane, so the corner need not avoid them.
struct LegendEntry {
    enum class Kind {
        Trajectory,         // the current trajectory's dots, in the plots' ink
        KeptTrajectories,   // the kept trajectories' dots, in their light colour
        Maximum,            // the triangle of a maximum of x or y
        Minimum,            // the triangle of a minimum
        XNullcline,         // x' = 0
        YNullcline,         // y' = 0
        Equilibrium,        // the mark of the equilibria of one type
        StableSeparatrix,   // the stable manifolds' dashed line
        UnstableSeparatrix, // the unstable manifolds' line
        Basin,              // a swatch of a basin's tint
        LevelCurves,        // the dashed level curves of H or of V
        Observations,       // an observation's open circle, in its own colour
        Note,               // a line of text alone: the observations' unit
    };
    Kind kind = Kind::Trajectory;
    EquilibriumType type = EquilibriumType::Saddle;   // of an Equilibrium line
    QString text;
    basins::Label basin = basins::kEscapes;           // of a Basin line: its attractor, growing, closed orbits
};

// What the phase plane shows, as far as the legend tells it.
struct LegendScene {
    const PlotScene *plots = nullptr;   // the current trajectory and the kept ones drawn
    OverlayOptions overlays;
    const AnalysedSystem *system = nullptr;
    // While the basins are shown: their attractors, in the order of their tints, and the labels
    // their map holds so far.
    const std::vector<basins::Attractor> *attractors = nullptr;
    const std::vector<basins::Label> *basinLabels = nullptr;
    // The corner the user chose; the quietest one otherwise.
    std::optional<LegendCorner> corner;
    // While observations are shown: their unit, as a line below their own.
    QString observationUnit;
};

// The colours of the plots the legend lies over.
struct LegendColours {
    QColor ink;     // the trajectory's dots
    QColor base;    // the drawing area, under the legend's text
    QColor frame;   // the legend's border
    QColor axes;    // the axis lines and their titles
};

// The legend's lines, in this order: the trajectory (always); the kept trajectories while some
// are drawn; while observations are shown, «Observaciones: » and their species' names, then
// their unit; the maxima's and the minima's triangles while one of each lies in the area; each nullcline drawn in the area; one line per type among the equilibria whose mark
// (or band) lies in the area, in the order of EquilibriumType, named as the analysis names it; the
// stable and the unstable separatrices, each while some branch of it is drawn in the area; while
// the basins are shown, each attractor whose basin the map holds, named by its coordinates
// "(x, y)", then «Crece sin límite» when some solution grows without bound, and «Órbitas
// cerradas (sin atractor)» when the map leaves closed orbits untinted.
std::vector<LegendEntry> legendEntries(const LegendScene &scene, const QSizeF &area);

// The legend's size in logical pixels: one column, or in a plane of that area as it is set there
// (two columns or a smaller font rather than more than a sixth of the plane).
QSizeF legendSize(const std::vector<LegendEntry> &entries, const std::optional<QSizeF> &area = std::nullopt,
                  int fontStep = 0);


// The legend's rectangle in a corner of the quadrant x >= 0, y >= 0 of the area, clear of the axis
// lines, their ticks and titles; in a corner of the whole area where the quadrant has no room.
QRectF legendRect(LegendCorner corner, const QSizeF &size, const QSizeF &area,
                  const plot_mapping::PlotMapping &m = {});

// How much of the drawing a rectangle would hide: the valid samples of the current and kept
// trajectories whose dot lies in it, the observations' circles whose centre lies in it, the equilibrium marks that reach into it, and the pixels of
// the nullclines and lines of equilibria drawn through it, and the drawn points of the separatrices.
int hiddenBy(const QRectF &rect, const LegendScene &scene, const QSizeF &area);

// The corner where the legend hides the least, never one where it would cover an axis title or
// the initial point, where the keyboard's crosshair starts, while another corner is free of
// them; of equal ones, the first of kLegendCorners.
LegendCorner quietestCorner(const LegendScene &scene, const QSizeF &area, const QSizeF &size);

// Where the phase plane's legend stands: the user's corner, or the quietest one.
struct LegendPlace {
    LegendCorner corner = LegendCorner::TopRight;
    QRectF rect;
};
LegendPlace legendPlace(const LegendScene &scene, const QSizeF &area);

// Paints the axis titles of one plot ("x" and "y" near the ends of the phase plane's axes; "t"
// at the end of a time plot's time axis and "x" or "y" at the top of its value axis), and on the
// phase plane the legend at its place. Gives the rectangles painted over.
std::vector<QRectF> paintLegendLayer(QPainter &painter, PlotKind plot, const QSizeF &area, const LegendScene &scene,
                                     const LegendColours &colours);
