#pragma once

#include "display/toolkit/palette.h"
#include "model/analysis/bifurcation.h"

#include <QColor>

// The colour of each equilibrium, the same in the bifurcation diagram and in the phase plane's
// marks, taken from the one table of palette.h.
inline QColor equilibriumColour(EquilibriumRole role)
{
    switch (role) {
    case EquilibriumRole::Origin: return palette::kOriginEquilibrium.colour;
    case EquilibriumRole::XAxis: return palette::kXAxisEquilibrium.colour;
    case EquilibriumRole::YAxis: return palette::kYAxisEquilibrium.colour;
    case EquilibriumRole::Interior: return palette::kInteriorEquilibrium.colour;
    }
    return QColor(0, 0, 0);
}
