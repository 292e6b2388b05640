#pragma once

#include "bifurcation.h"

#include <QColor>

// The colour of each equilibrium, the same in the bifurcation diagram and in the phase plane's
// marks (roleAt() gives the role of a point there). None is the blue, red or green of the
// trajectory and the two time plots.
inline QColor equilibriumColour(EquilibriumRole role)
{
    switch (role) {
    case EquilibriumRole::Origin: return QColor(90, 90, 90);
    case EquilibriumRole::XAxis: return QColor(230, 120, 0);
    case EquilibriumRole::YAxis: return QColor(150, 50, 190);
    case EquilibriumRole::Interior: return QColor(0, 150, 136);
    }
    return QColor(0, 0, 0);
}
