#include "display/views/plot_views.h"

#include "display/controls/layout.h"
#include "display/export/plot_picture.h"
#include "display/plots/line_shape.h"
#include "display/plots/plot_surface.h"
#include "state/explorer_state.h"

#include <QPainter>

OverlayOptions overlayOptionsOf(const ExplorerState &state)
{
    using Option = ExplorerState::Option;
    OverlayOptions o;
    o.nullclines = state.option(Option::Nullclines);
    o.equilibria = state.option(Option::Equilibria);
    o.directionField = state.option(Option::DirectionField);
    o.scales = state.option(Option::Scales);
    return o;
}

PlotViews::PlotViews(const ExplorerState &state, PlotSurface &phasePlane, PlotSurface &xPlot, PlotSurface &yPlot,
                     QObject *parent)
    : QObject(parent), state_(state), phasePlane_(phasePlane), xPlot_(xPlot), yPlot_(yPlot)
{
    connect(&state_, &ExplorerState::keptTrajectoriesChanged, this, &PlotViews::updateUnderlays);
    connect(&state_, &ExplorerState::recomputed, this, &PlotViews::recomputed);
    connect(&state_, &ExplorerState::optionChanged, this, [this] {
        updateUnderlays();
        redraw();
    });
    connect(&state_, &ExplorerState::viewChanged, this, &PlotViews::viewChanged);
    mapping_ = plot_mapping::mappingFor(state_.view());
}

void PlotViews::viewChanged()
{
    mapping_ = plot_mapping::mappingFor(state_.view());
    for (const layout::Line &line : layout::kLines)
        for (PlotSurface *plot : {&phasePlane_, &xPlot_, &yPlot_})
            if (auto *shape = plot->findChild<LineShape *>(QString::fromLatin1(line.name), Qt::FindDirectChildrenOnly)) {
                const QLineF shown = layout::lineIn(line, mapping_);
                shape->setEnds(shown.p1(), shown.p2());
            }
    for (PlotSurface *plot : {&phasePlane_, &xPlot_, &yPlot_})
        plot->invalidateUnderlay();
    redraw();
}

void PlotViews::redraw()
{
    drawPlots(scene(), phasePlane_, xPlot_, yPlot_);
}

PlotScene PlotViews::scene() const
{
    using Option = ExplorerState::Option;
    PlotScene scene;
    scene.current = &state_.model();
    scene.mapping = mapping_;
    scene.cursor = state_.cursor();
    if (state_.option(Option::KeepTrajectories))
        scene.kept = &state_.keptTrajectories();
    scene.joinSamples = state_.option(Option::JoinSamples);
    if (state_.option(Option::TurningPoints))
        scene.turningPoints = &state_.turningPoints();
    return scene;
}

// The phase plane's overlays change with the coefficients in force, the time plots' with dt.
void PlotViews::recomputed(bool newCoefficients, bool newStep)
{
    if (newCoefficients)
        phasePlane_.invalidateUnderlay();
    if (newStep) {
        xPlot_.invalidateUnderlay();
        yPlot_.invalidateUnderlay();
    }
}

void PlotViews::updateUnderlays()
{
    const OverlayOptions o = overlayOptionsOf(state_);
    const bool kept = state_.option(ExplorerState::Option::KeepTrajectories) && !state_.keptTrajectories().empty();
    struct Plot {
        PlotSurface &surface;
        PlotKind kind;
        bool overlays;
    };
    const Plot plots[] = {{phasePlane_, PlotKind::PhasePlane, o.anyInPhasePlane()},
                          {xPlot_, PlotKind::XAgainstTime, o.anyInTimePlots()},
                          {yPlot_, PlotKind::YAgainstTime, o.anyInTimePlots()}};
    for (const Plot &plot : plots) {
        if (!plot.overlays && !kept) {
            plot.surface.setUnderlayPainter({});
            continue;
        }
        plot.surface.setUnderlayPainter([this, kind = plot.kind](QPainter &painter, const QSizeF &area) {
            paintUnderlay(kind, painter, area);
        });
    }
}

void PlotViews::paintUnderlay(PlotKind plot, QPainter &painter, const QSizeF &area) const
{
    const OverlayOptions o = overlayOptionsOf(state_);
    if (plot == PlotKind::PhasePlane) {
        if (o.anyInPhasePlane())
            paintPhaseOverlays(painter, area, mapping_, o, state_.system());
    } else if (o.anyInTimePlots()) {
        const plot_mapping::ValueAxis &values = plot == PlotKind::XAgainstTime ? mapping_.xValues : mapping_.yValues;
        paintTimeOverlays(painter, area, values, o, state_.system());
    }
    using Option = ExplorerState::Option;
    if (state_.option(Option::KeepTrajectories) && !state_.keptTrajectories().empty())
        paintKeptTrajectories(painter, mapping_, plot, state_.keptTrajectories(), state_.option(Option::JoinSamples));
}

QImage PlotViews::picture() const
{
    return plot_picture::image(
        scene(), [this](PlotKind plot, QPainter &painter, const QSizeF &area) { paintUnderlay(plot, painter, area); },
        plot_picture::coloursOf(phasePlane_.palette()), phasePlane_.devicePixelRatioF());
}

QByteArray PlotViews::svg() const
{
    return plot_picture::svg(
        scene(), [this](PlotKind plot, QPainter &painter, const QSizeF &area) { paintUnderlay(plot, painter, area); },
        plot_picture::coloursOf(phasePlane_.palette()));
}
