#include "display/views/plot_views.h"

#include "display/controls/layout.h"
#include "display/export/plot_picture.h"
#include "display/plots/line_shape.h"
#include "display/plots/plot_surface.h"
#include "display/views/basin_map.h"
#include "display/views/legend_layer.h"
#include "display/views/observation_layer.h"
#include "display/analysis/overlays/observation_marks.h"
#include "state/explorer_state.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>

namespace {

// What a picture shows over its plots: while the legend is on, what the screen shows over them.
plot_picture::OverPainter overPainterOf(const PlotViews &views, const ExplorerState &state, const PlotScene &shown)
{
    if (!state.option(ExplorerState::Option::Legend))
        return {};
    return [&views, &shown](PlotKind plot, QPainter &painter, const QSizeF &area) {
        views.paintOver(shown, plot, painter, area);
    };
}

} // namespace

OverlayOptions overlayOptionsOf(const ExplorerState &state)
{
    using Option = ExplorerState::Option;
    OverlayOptions o;
    o.nullclines = state.option(Option::Nullclines);
    o.equilibria = state.option(Option::Equilibria);
    o.directionField = state.option(Option::DirectionField);
    o.scales = state.option(Option::Scales);
    o.separatrices = state.option(Option::Separatrices);
    o.levelCurves = state.option(Option::LevelCurves);
    o.startX = state.model().xs(0);
    o.startY = state.model().ys(0);
    o.basins = state.option(Option::Basins);
    if (const auto &shown = state.observations())
        o.timeTitle = observationTimeTitle(*shown);
    return o;
}

PlotViews::PlotViews(const ExplorerState &state, PlotSurface &phasePlane, PlotSurface &xPlot, PlotSurface &yPlot,
                     QObject *parent)
    : QObject(parent), state_(state), phasePlane_(phasePlane), xPlot_(xPlot), yPlot_(yPlot)
{
    connect(&state_, &ExplorerState::keptTrajectoriesChanged, this, &PlotViews::updateUnderlays);
    connect(&state_, &ExplorerState::recomputed, this, &PlotViews::recomputed);
    basins_ = new BasinMap(this);
    connect(basins_, &BasinMap::updated, this, &PlotViews::basinsUpdated);
    connect(basins_, &BasinMap::started, this, &PlotViews::updateBasinProgress);
    connect(&state_, &ExplorerState::optionChanged, this, [this](ExplorerState::Option which, bool on) {
        if (which == ExplorerState::Option::Basins && !on)
            basins_->clear();
        updateUnderlays();
        redraw();
        updateBasinProgress();
    });
    connect(&state_, &ExplorerState::viewChanged, this, &PlotViews::remap);
    // Observations are drawn under the points of all three plots, and named in the legend.
    connect(&state_, &ExplorerState::observationsChanged, this, [this] {
        updateUnderlays();
        for (PlotSurface *plot : {&phasePlane_, &xPlot_, &yPlot_})
            plot->invalidateUnderlay();
        invalidateLegend();
        redraw();
    });
    mapping_ = plot_mapping::mappingFor(state_.view());

    const std::pair<PlotSurface *, PlotKind> plots[] = {
        {&phasePlane_, PlotKind::PhasePlane}, {&xPlot_, PlotKind::XAgainstTime}, {&yPlot_, PlotKind::YAgainstTime}};
    for (std::size_t i = 0; i < legendLayers_.size(); ++i) {
        const auto [surface, kind] = plots[i];
        legendLayers_[i] = new LegendLayer(*surface, [this, kind](QPainter &painter, const QSizeF &area) {
            paintOver(scene(), kind, painter, area);
        });
        legendLayers_[i]->setObjectName(surface->objectName() + QStringLiteral("Leyenda"));
        legendLayers_[i]->hide();
    }
    // What the legend shows changes with the trajectories, the options, the system and the view,
    // never with the time cursor.
    connect(&state_, &ExplorerState::keptTrajectoriesChanged, this, &PlotViews::invalidateLegend);
    connect(&state_, &ExplorerState::recomputed, this, &PlotViews::invalidateLegend);
    connect(&state_, &ExplorerState::optionChanged, this, &PlotViews::invalidateLegend);
    connect(this, &PlotViews::mappingChanged, this, &PlotViews::invalidateLegend);
    connect(&state_, &ExplorerState::legendCornerChanged, this, &PlotViews::invalidateLegend);
}

void PlotViews::setGrowth(double growth, double timeStretch)
{
    if (growth == growth_ && timeStretch == timeStretch_)
        return;
    growth_ = growth;
    timeStretch_ = timeStretch;
    for (PlotSurface *plot : {&phasePlane_, &xPlot_, &yPlot_})
        plot->setMagnification(growth_);
    remap();
}

// The plots are magnified: the mapping is the designed size's, but for the time plots' stretch.
void PlotViews::setPresentation(bool on)
{
    if (on == presentation_)
        return;
    presentation_ = on;
    updateUnderlays();
    for (PlotSurface *plot : {&phasePlane_, &xPlot_, &yPlot_})
        plot->invalidateUnderlay();
    invalidateLegend();
    redraw();
}

OverlayOptions PlotViews::overlayOptions() const
{
    OverlayOptions o = overlayOptionsOf(state_);
    o.fontStep = presentation_ ? 1 : 0;
    return o;
}

bool PlotViews::joined() const
{
    return presentation_ || state_.option(ExplorerState::Option::JoinSamples);
}

void PlotViews::remap()
{
    mapping_ = plot_mapping::mappingFor(state_.view(), 1, timeStretch_);
    for (const layout::Line &line : layout::kLines)
        for (PlotSurface *plot : {&phasePlane_, &xPlot_, &yPlot_})
            if (auto *shape = plot->findChild<LineShape *>(QString::fromLatin1(line.name), Qt::FindDirectChildrenOnly)) {
                const QLineF shown = layout::lineIn(line, mapping_);
                shape->setEnds(shown.p1(), shown.p2());
            }
    for (PlotSurface *plot : {&phasePlane_, &xPlot_, &yPlot_})
        plot->invalidateUnderlay();
    redraw();
    updateBasinProgress();
    emit mappingChanged();
}

void PlotViews::basinsUpdated()
{
    phasePlane_.invalidateUnderlay();
    invalidateLegend();
    redraw();
    updateBasinProgress();
}

void PlotViews::updateBasinProgress()
{
    const bool shown = state_.option(ExplorerState::Option::Basins) && basins_->active() && !basins_->complete();
    if (!basinProgress_) {
        if (!shown)
            return;
        // Made at its first use, so that the window holds the designed widgets alone until then.
        basinProgress_ = new QLabel(&phasePlane_);
        basinProgress_->setObjectName(QStringLiteral("progresoCuencas"));
        basinProgress_->setFont(QApplication::font());
        basinProgress_->setAutoFillBackground(true);
        basinProgress_->setBackgroundRole(QPalette::Base);
    }
    if (shown) {
        basinProgress_->setText(QStringLiteral("Calculando cuencas… %1 %").arg(basins_->percent()));
        basinProgress_->adjustSize();
        basinProgress_->move(phasePlane_.contentsRect().topLeft() + QPoint(2, 2));
    }
    basinProgress_->setVisible(shown);
}

void PlotViews::redraw()
{
    drawPlots(scene(), phasePlane_, xPlot_, yPlot_);
    updateLegendLayers();
}

// Off, the layers are hidden and the plots look as designed.
void PlotViews::updateLegendLayers()
{
    const bool on = state_.option(ExplorerState::Option::Legend);
    for (LegendLayer *layer : legendLayers_)
        layer->setVisible(on);
}

void PlotViews::invalidateLegend()
{
    for (LegendLayer *layer : legendLayers_)
        layer->invalidate();
}

LegendScene PlotViews::legendScene(const PlotScene &scene) const
{
    LegendScene legend;
    legend.plots = &scene;
    legend.overlays = overlayOptions();
    legend.system = &state_.system();
    legend.corner = state_.legendCorner();
    if (const auto &shown = state_.observations())
        legend.observationUnit = observationUnitText(*shown);
    if (legend.overlays.basins) {
        legend.attractors = &basins_->attractors();
        legend.basinLabels = &basins_->labelsShown();
    }
    return legend;
}

std::vector<QRectF> PlotViews::paintOver(PlotKind plot, QPainter &painter, const QSizeF &area) const
{
    return paintOver(scene(), plot, painter, area);
}

std::vector<QRectF> PlotViews::paintOver(const PlotScene &shown, PlotKind plot, QPainter &painter,
                                         const QSizeF &area) const
{
    const plot_picture::Colours colours = plot_picture::coloursOf(phasePlane_.palette());
    return paintLegendLayer(painter, plot, area, legendScene(shown),
                            {colours.text, colours.base, colours.border, colours.axes});
}

std::optional<LegendPlace> PlotViews::legendPlace() const
{
    if (!state_.option(ExplorerState::Option::Legend))
        return std::nullopt;
    const PlotScene shown = scene();
    return ::legendPlace(legendScene(shown), phasePlane_.drawingArea());
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
    scene.joinSamples = joined();
    if (state_.option(Option::TurningPoints))
        scene.turningPoints = &state_.turningPoints();
    if (const auto &shown = state_.observations())
        scene.observations = &shown->scaled;
    return scene;
}

// The phase plane's overlays change with the coefficients in force, the time plots' with dt.
void PlotViews::recomputed(bool newCoefficients, bool newStep)
{
    // The level curves go through the initial point, which each recomputation may move.
    if (newCoefficients || state_.option(ExplorerState::Option::LevelCurves))
        phasePlane_.invalidateUnderlay();
    if (newCoefficients && state_.option(ExplorerState::Option::Basins))
        basins_->follow(state_.system(), mapping_);
    if (newStep) {
        xPlot_.invalidateUnderlay();
        yPlot_.invalidateUnderlay();
    }
}

void PlotViews::updateUnderlays()
{
    const OverlayOptions o = overlayOptionsOf(state_);
    // Kept trajectories and observations lie under the points too.
    const bool under = (state_.option(ExplorerState::Option::KeepTrajectories) && !state_.keptTrajectories().empty())
                    || state_.observations();
    struct Plot {
        PlotSurface &surface;
        PlotKind kind;
        bool overlays;
    };
    const Plot plots[] = {{phasePlane_, PlotKind::PhasePlane, o.anyInPhasePlane()},
                          {xPlot_, PlotKind::XAgainstTime, o.anyInTimePlots()},
                          {yPlot_, PlotKind::YAgainstTime, o.anyInTimePlots()}};
    for (const Plot &plot : plots) {
        if (!plot.overlays && !under) {
            plot.surface.setUnderlayPainter({});
            continue;
        }
        plot.surface.setUnderlayPainter([this, kind = plot.kind](QPainter &painter, const QSizeF &area) {
            paintUnderlay(kind, painter, area);
        });
    }
}

// The screen's phase plane asks for the basins of what it shows: a new system, view or size
// starts them afresh.
void PlotViews::paintUnderlay(PlotKind plot, QPainter &painter, const QSizeF &area) const
{
    if (plot == PlotKind::PhasePlane && state_.option(ExplorerState::Option::Basins)) {
        basins_->request(state_.system(), mapping_, area.toSize());
    }
    paintUnderlay(mapping_, plot, painter, area);
}

void PlotViews::paintUnderlay(const plot_mapping::PlotMapping &m, PlotKind plot, QPainter &painter,
                              const QSizeF &area) const
{
    const OverlayOptions o = overlayOptions();
    if (plot == PlotKind::PhasePlane) {
        if (o.basins)
            basins_->paint(painter, m);
        if (o.anyInPhasePlane())
            paintPhaseOverlays(painter, area, m, o, state_.system());
    } else if (o.anyInTimePlots()) {
        const plot_mapping::ValueAxis &values = plot == PlotKind::XAgainstTime ? m.xValues : m.yValues;
        paintTimeOverlays(painter, area, values, m.times, o, state_.system());
    }
    using Option = ExplorerState::Option;
    if (state_.option(Option::KeepTrajectories) && !state_.keptTrajectories().empty())
        paintKeptTrajectories(painter, m, plot, state_.keptTrajectories(), joined());
    if (const auto &shown = state_.observations())
        paintObservations(painter, m, plot, shown->scaled.series, state_.system().dt);
}

// Pictures have the designed size, whatever the size of the window: the view drawn at growth 1.
PlotScene PlotViews::pictureScene() const
{
    PlotScene designed = scene();
    designed.mapping = plot_mapping::mappingFor(state_.view());
    return designed;
}

plot_picture::UnderlayPainter PlotViews::underlayOf(const PlotScene &shown) const
{
    return [this, &shown](PlotKind plot, QPainter &painter, const QSizeF &area) {
        paintUnderlay(shown.mapping, plot, painter, area);
    };
}

QImage PlotViews::picture() const
{
    const PlotScene designed = pictureScene();
    return plot_picture::image(designed, underlayOf(designed), plot_picture::coloursOf(phasePlane_.palette()),
                               phasePlane_.devicePixelRatioF(), overPainterOf(*this, state_, designed));
}

void PlotViews::paintPicture(QPainter &painter) const
{
    const PlotScene designed = pictureScene();
    plot_picture::paintPlots(painter, designed, underlayOf(designed), plot_picture::coloursOf(phasePlane_.palette()),
                             overPainterOf(*this, state_, designed));
}

QByteArray PlotViews::svg() const
{
    const PlotScene designed = pictureScene();
    return plot_picture::svg(designed, underlayOf(designed), plot_picture::coloursOf(phasePlane_.palette()),
                             overPainterOf(*this, state_, designed));
}


