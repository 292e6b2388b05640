#pragma once

#include <QColor>

#include <cstddef>
#include <iterator>

// The colours drawn over the plots and in the bifurcation diagram, in one table. The hues are
// those of a qualitative palette that stays distinct for the common kinds of colour blindness;
// each role has a hue of its own, and none is the black of the designed trajectory. The help
// window names each colour by the Spanish name given here.
namespace palette {

struct Entry {
    QColor colour;
    const char *name;
};

inline const Entry kBlue{QColor(0, 114, 178), "azul"};
inline const Entry kBluishGreen{QColor(0, 158, 115), "verde azulado"};
inline const Entry kVermillion{QColor(213, 94, 0), "bermellón"};
inline const Entry kReddishPurple{QColor(204, 121, 167), "rosa violáceo"};
inline const Entry kOrange{QColor(230, 159, 0), "naranja"};
inline const Entry kSkyBlue{QColor(86, 180, 233), "celeste"};
inline const Entry kLightGrey{QColor(185, 185, 185), "gris claro"};
inline const Entry kGrey{QColor(120, 120, 120), "gris"};
inline const Entry kDarkGrey{QColor(90, 90, 90), "gris oscuro"};
// Two dark hues of a second colour-blind-safe qualitative scheme, for the lines that must stand
// apart from the nullclines.
inline const Entry kIndigo{QColor(51, 34, 136), "índigo"};
inline const Entry kWine{QColor(136, 34, 85), "granate"};
// A dark green of that scheme, for the observed populations, which are neither a trajectory nor
// an overlay.
inline const Entry kDarkGreen{QColor(17, 119, 51), "verde oscuro"};

// The roles, each taking one entry above.
inline const Entry &kXNullcline = kBlue;          // x' = 0
inline const Entry &kYNullcline = kBluishGreen;   // y' = 0
inline const Entry &kEquilibrium = kVermillion;   // marks of the equilibria
inline const Entry &kField = kLightGrey;          // arrows of the direction field
inline const Entry &kScale = kGrey;               // ticks and their numbers
inline const Entry &kKept = kReddishPurple;       // trajectories kept from earlier computations
inline const Entry &kMaximum = kOrange;           // turning points: maxima
inline const Entry &kMinimum = kSkyBlue;          // turning points: minima
inline const Entry &kStableSeparatrix = kIndigo;  // stable manifolds of the saddles, dashed
inline const Entry &kUnstableSeparatrix = kWine;  // unstable manifolds of the saddles, solid
inline const Entry &kLevelCurve = kDarkGrey;      // level curves of H or V, dashed
inline const Entry &kObservation = kDarkGreen;    // observed populations: open circles

// The time cursor's dot on a kept trajectory: the kept hue, darker so that it stands out of
// its own trajectory.
inline QColor keptCursor()
{
    return kKept.colour.darker(150);
}

// Equilibria of the bifurcation diagram, by their place in the plane.
inline const Entry &kOriginEquilibrium = kDarkGrey;
inline const Entry &kXAxisEquilibrium = kOrange;
inline const Entry &kYAxisEquilibrium = kReddishPurple;
inline const Entry &kInteriorEquilibrium = kBluishGreen;

// The basins of attraction lie under everything, in light tints of the same hues: a hue mixed
// with twice as much white. Each attractor takes the next hue of kBasinHues (they repeat after
// four); the points whose solutions grow without bound take the grey's tint, and those on closed
// orbits or that reach nothing within the time limit keep the drawing area's colour.
inline QColor lightTint(const QColor &hue)
{
    return QColor((hue.red() + 2 * 255) / 3, (hue.green() + 2 * 255) / 3, (hue.blue() + 2 * 255) / 3);
}
inline const Entry *const kBasinHues[] = {&kSkyBlue, &kOrange, &kBluishGreen, &kReddishPurple};
inline QColor basinTint(std::size_t attractor)
{
    return lightTint(kBasinHues[attractor % std::size(kBasinHues)]->colour);
}
inline QColor escapeTint()
{
    return lightTint(kGrey.colour);
}

} // namespace palette
