#include "display/analysis/overlays/overlay_renderer.h"

#include "display/analysis/overlays/direction_field_painter.h"
#include "display/analysis/overlays/equilibrium_marks.h"
#include "display/analysis/overlays/level_curves_painter.h"
#include "display/analysis/overlays/nullcline_painter.h"
#include "display/analysis/overlays/scale_painter.h"
#include "display/analysis/overlays/separatrix_painter.h"

void paintPhaseOverlays(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m,
                        const OverlayOptions &options, const AnalysedSystem &system)
{
    if (options.directionField)
        paintDirectionField(painter, area, m, system.coefficients);
    if (options.levelCurves)
        paintLevelCurves(painter, area, m, system.coefficients, options.startX, options.startY);
    if (options.nullclines)
        paintNullclines(painter, area, m, system.coefficients);
    if (options.separatrices)
        paintSeparatrices(painter, area, m, system);
    if (options.scales)
        paintPhaseScales(painter, area, m, options.fontStep);
    if (options.equilibria)
        paintEquilibria(painter, area, m, system.equilibria);
}

void paintTimeOverlays(QPainter &painter, const QSizeF &area, const plot_mapping::ValueAxis &values,
                       const plot_mapping::TimeAxis &times,
                       const OverlayOptions &options, const AnalysedSystem &system)
{
    if (options.scales)
        paintTimeScales(painter, area, system.dt, values, times, options.fontStep, options.timeTitle);
}
