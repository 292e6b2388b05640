#pragma once

// The four places of the phase plane's legend, in the order in which a tie between them is
// broken.
enum class LegendCorner { TopRight, TopLeft, BottomRight, BottomLeft };
inline constexpr LegendCorner kLegendCorners[] = {LegendCorner::TopRight, LegendCorner::TopLeft,
                                                  LegendCorner::BottomRight, LegendCorner::BottomLeft};

// The next corner round the plane, anticlockwise, as «Mover la leyenda» goes round them.
inline LegendCorner nextCorner(LegendCorner corner)
{
    switch (corner) {
    case LegendCorner::TopRight: return LegendCorner::TopLeft;
    case LegendCorner::TopLeft: return LegendCorner::BottomLeft;
    case LegendCorner::BottomLeft: return LegendCorner::BottomRight;
    case LegendCorner::BottomRight: break;
    }
    return LegendCorner::TopRight;
}
