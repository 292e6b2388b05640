#pragma once

#include "display/plots/plot_mapping.h"
#include "display/plots/twips.h"
#include "model/analysis/nullclines.h"

#include <QPointF>
#include <QSizeF>

// The phase plane in logical pixels of its drawing area, as the overlays draw it.
namespace phase_geometry {

// Where the point (x, y) lies, exactly.
inline QPointF pointAt(double x, double y)
{
    return {plot_mapping::phaseX(x) / kTwipsPerPixel, plot_mapping::phaseY(y) / kTwipsPerPixel};
}

// The centre of the pixel that a dot drawn at (x, y) fills.
inline QPointF dotCentreAt(double x, double y)
{
    return pixelCellOf(plot_mapping::phaseX(x), plot_mapping::phaseY(y)) + QPointF(0.5, 0.5);
}

// The point of the plane at a position in pixels.
inline double xAt(double pixelX) { return plot_mapping::phaseUnitsX(pixelX * kTwipsPerPixel); }
inline double yAt(double pixelY) { return plot_mapping::phaseUnitsY(pixelY * kTwipsPerPixel); }

// The part of the plane that the drawing area shows, widened by `margin` pixels on every side.
inline PlaneRect visibleRect(const QSizeF &area, double margin = 0)
{
    return {xAt(-margin), xAt(area.width() + margin), yAt(area.height() + margin), yAt(-margin)};
}

} // namespace phase_geometry
