#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>

#include <cmath>

// Positions and sizes in the window are designed in twips, 1/1440 inch: 15 twips make one
// logical pixel at 96 dots per inch. Qt's high-DPI scaling serves every other screen.
inline constexpr double kTwipsPerPixel = 15;

inline int pixelsFromTwips(int twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

inline QRect rectFromTwips(int left, int top, int width, int height)
{
    return QRect(pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width),
                 pixelsFromTwips(height));
}

// The logical pixel that holds a position given in twips: its top-left corner.
inline QPointF pixelCellOf(double xTwips, double yTwips)
{
    return QPointF(std::floor(xTwips / kTwipsPerPixel), std::floor(yTwips / kTwipsPerPixel));
}
