#pragma once

#include "display/plots/plot_mapping.h"
#include "display/plots/twips.h"
#include "model/analysis/nullclines.h"

#include <QPointF>
#include <QSizeF>

// The phase plane in logical pixels of its drawing area, as the overlays draw it, for the
// view that a mapping shows.
namespace phase_geometry {

using plot_mapping::PlotMapping;

// Where the point (x, y) lies, exactly.
inline QPointF pointAt(const PlotMapping &m, double x, double y)
{
    return {m.phaseX(x) / kTwipsPerPixel, m.phaseY(y) / kTwipsPerPixel};
}

// The centre of the pixel that a dot drawn at (x, y) fills.
inline QPointF dotCentreAt(const PlotMapping &m, double x, double y)
{
    return pixelCellOf(m.phaseX(x), m.phaseY(y)) + QPointF(0.5, 0.5);
}

// The point of the plane at a position in pixels.
inline double xAt(const PlotMapping &m, double pixelX) { return m.phaseUnitsX(pixelX * kTwipsPerPixel); }
inline double yAt(const PlotMapping &m, double pixelY) { return m.phaseUnitsY(pixelY * kTwipsPerPixel); }

// The part of the plane that the drawing area shows, widened by `margin` pixels on every side.
inline PlaneRect visibleRect(const PlotMapping &m, const QSizeF &area, double margin = 0)
{
    return {xAt(m, -margin), xAt(m, area.width() + margin), yAt(m, area.height() + margin), yAt(m, -margin)};
}

} // namespace phase_geometry
