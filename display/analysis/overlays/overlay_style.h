#pragma once

#include <QColor>

// How the analysis overlays look. The help window names the colours by the names given here.
namespace overlay_style {

inline const QColor kXNullcline(0, 90, 220);     // x' = 0
inline const QColor kYNullcline(0, 150, 60);     // y' = 0
inline const QColor kEquilibrium(200, 0, 0);     // marks of the equilibria
inline const QColor kField(185, 185, 185);       // arrows of the direction field
inline const QColor kScale(120, 120, 120);       // ticks and their numbers

inline constexpr const char *kXNullclineName = "azul";
inline constexpr const char *kYNullclineName = "verde";
inline constexpr const char *kEquilibriumName = "rojo";
inline constexpr const char *kFieldName = "gris claro";

inline constexpr double kFieldSpacing = 20;      // logical pixels between arrows
inline constexpr double kArrowLength = 12;
inline constexpr double kArrowHead = 3.5;
inline constexpr double kMarkRadius = 4.5;
inline constexpr double kMarkReach = 6;          // a pointer this near a mark shows its tooltip
inline constexpr int kTickLength = 4;
inline constexpr int kScaleFontPixels = 8;

} // namespace overlay_style
