#pragma once

#include "display/toolkit/palette.h"

#include <QColor>

// How the analysis overlays look. Their colours come from the one table of palette.h; the help
// window names them by the names given there.
namespace overlay_style {

inline const QColor kXNullcline = palette::kXNullcline.colour;     // x' = 0
inline const QColor kYNullcline = palette::kYNullcline.colour;     // y' = 0
inline const QColor kEquilibrium = palette::kEquilibrium.colour;   // marks of the equilibria
inline const QColor kField = palette::kField.colour;               // arrows of the direction field
inline const QColor kScale = palette::kScale.colour;               // ticks and their numbers
inline const QColor kStableSeparatrix = palette::kStableSeparatrix.colour;
inline const QColor kUnstableSeparatrix = palette::kUnstableSeparatrix.colour;

inline const char *const kXNullclineName = palette::kXNullcline.name;
inline const char *const kYNullclineName = palette::kYNullcline.name;
inline const char *const kEquilibriumName = palette::kEquilibrium.name;
inline const char *const kFieldName = palette::kField.name;
inline const char *const kStableSeparatrixName = palette::kStableSeparatrix.name;
inline const char *const kUnstableSeparatrixName = palette::kUnstableSeparatrix.name;

inline constexpr double kFieldSpacing = 20;      // logical pixels between arrows
inline constexpr double kArrowLength = 12;
inline constexpr double kArrowHead = 3.5;
inline constexpr double kMarkRadius = 4.5;
inline constexpr double kMarkReach = 6;          // a pointer this near a mark shows its tooltip
inline constexpr int kTickLength = 4;
inline constexpr int kScaleFontPixels = 8;
// One step larger: what a presentation adds to the overlays' fonts.
inline constexpr int kFontStepPixels = 1;
inline constexpr double kSeparatrixWidth = 1.5;
inline constexpr double kSeparatrixDash = 4;      // stable manifolds: a dash and a gap, in line widths
inline constexpr double kSeparatrixGap = 3;

} // namespace overlay_style
