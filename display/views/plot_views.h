#pragma once

#include "display/analysis/overlays/legend_painter.h"
#include "display/analysis/overlays/overlay_renderer.h"
#include "display/export/plot_picture.h"
#include "display/plots/trajectory_plot.h"

#include <QByteArray>
#include <QImage>
#include <QObject>

#include <array>

class BasinMap;
class ExplorerState;
class LegendLayer;
class QLabel;
class PlotSurface;
class QPainter;
class QSizeF;

// The analysis overlays the state's options ask for.
OverlayOptions overlayOptionsOf(const ExplorerState &state);

// The three plots as views of the state: what they show, what lies under their points, and
// the same as one picture for the clipboard and files. Their underlays follow the state's
// signals; a redraw is asked for by the window's procedures.
class PlotViews : public QObject {
    Q_OBJECT

public:
    PlotViews(const ExplorerState &state, PlotSurface &phasePlane, PlotSurface &xPlot, PlotSurface &yPlot,
              QObject *parent = nullptr);

    // Clears the three plots and draws the state on them.
    void redraw();
    // Where the plots show the plane: the mapping of the state's view on plots of their size.
    plot_mapping::PlotMapping mapping() const { return mapping_; }
    // The window is now the designed one magnified `growth` times, the time plots `timeStretch`
    // times wider still: the plots are drawn afresh, magnified, the time axes stretched.
    void setGrowth(double growth, double timeStretch = 1);
    // A presentation: the trajectory joined and the overlays' texts a step larger, whatever the
    // options say; the options stay as they are.
    void setPresentation(bool on);
    bool presentation() const { return presentation_; }
    // The basins of attraction of the phase plane, while they are on.
    const BasinMap &basinMap() const { return *basins_; }

signals:
    // The view moved or the plots grew: every position on them changed.
    void mappingChanged();

public:
    // What the three plots show now, for the screen or a file.
    PlotScene scene() const;
    // What lies under the points of one plot, in logical pixels of its drawing area of the
    // given size: the analysis overlays and the kept trajectories.
    void paintUnderlay(PlotKind plot, QPainter &painter, const QSizeF &area) const;

    // What the legend tells of the phase plane, and what lies over the points of one plot while
    // the legend is on: the axis titles, and on the phase plane the legend. In logical pixels of
    // its drawing area of the given size; gives the rectangles painted over.
    LegendScene legendScene(const PlotScene &scene) const;
    std::vector<QRectF> paintOver(PlotKind plot, QPainter &painter, const QSizeF &area) const;
    std::vector<QRectF> paintOver(const PlotScene &shown, PlotKind plot, QPainter &painter, const QSizeF &area) const;
    // Where the phase plane's legend stands on the screen, while the legend is on.
    std::optional<LegendPlace> legendPlace() const;

    // The three plots as one picture, at the screen's pixel ratio, and as an SVG document; with
    // the legend on, its titles and legend over them.
    QImage picture() const;
    QByteArray svg() const;
    // The same picture painted on any painter, in its logical pixels from the origin: a printer's.
    void paintPicture(QPainter &painter) const;

private:
    // Each plot gets a painter of its underlay, or none while it has nothing under its points,
    // so that it clears as designed.
    void updateUnderlays();
    void paintUnderlay(const plot_mapping::PlotMapping &m, PlotKind plot, QPainter &painter, const QSizeF &area) const;
    PlotScene pictureScene() const;
    plot_picture::UnderlayPainter underlayOf(const PlotScene &shown) const;
    void recomputed(bool newCoefficients, bool newStep);
    // The view moved or the plots grew: every plot is drawn afresh, the axis lines moved.
    void remap();
    // The layers over the plots, shown while the legend is on and painted again when asked.
    void updateLegendLayers();
    void invalidateLegend();
    // A finer level of the basins is done: the phase plane's underlay is painted again with it.
    void basinsUpdated();
    // While the basins are incomplete, a line in the phase plane's top left corner says how far
    // they are; screen readers read it as a label's text.
    void updateBasinProgress();
    OverlayOptions overlayOptions() const;
    bool joined() const;

    const ExplorerState &state_;
    PlotSurface &phasePlane_;
    PlotSurface &xPlot_;
    PlotSurface &yPlot_;
    double growth_ = 1;
    double timeStretch_ = 1;
    bool presentation_ = false;
    plot_mapping::PlotMapping mapping_;
    std::array<LegendLayer *, 3> legendLayers_{};
    BasinMap *basins_ = nullptr;
    QLabel *basinProgress_ = nullptr;
};
