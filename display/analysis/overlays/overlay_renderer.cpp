#include "display/analysis/overlays/overlay_renderer.h"

#include "display/analysis/overlays/direction_field_painter.h"
#include "display/analysis/overlays/equilibrium_marks.h"
#include "display/analysis/overlays/nullcline_painter.h"
#include "display/analysis/overlays/scale_painter.h"

void paintPhaseOverlays(QPainter &painter, const QSizeF &area, const OverlayOptions &options,
                        const AnalysedSystem &system)
{
    if (options.directionField)
        paintDirectionField(painter, area, system.coefficients);
    if (options.nullclines)
        paintNullclines(painter, area, system.coefficients);
    if (options.scales)
        paintPhaseScales(painter, area);
    if (options.equilibria)
        paintEquilibria(painter, area, system.equilibria);
}

void paintTimeOverlays(QPainter &painter, const QSizeF &area, const OverlayOptions &options,
                       const AnalysedSystem &system)
{
    if (options.scales)
        paintTimeScales(painter, area, system.dt);
}
