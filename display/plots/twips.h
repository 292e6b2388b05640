#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>

#include <cmath>
#include <optional>

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

// The square of logical pixels that a dot of the given width covers, centred on the pixel that
// holds (xTwips, yTwips); an even width reaches one pixel further right and down. Nothing for a
// position that is not finite, or a dot too far from an area of the given size to touch it.
inline std::optional<QRectF> dotSquareOf(float xTwips, float yTwips, int width, const QSizeF &area)
{
    if (!std::isfinite(xTwips) || !std::isfinite(yTwips))
        return std::nullopt;
    const QPointF cell = pixelCellOf(xTwips, yTwips);
    const double reach = width;
    if (cell.x() + reach < 0 || cell.y() + reach < 0 || cell.x() - reach > area.width()
        || cell.y() - reach > area.height())
        return std::nullopt;
    const double half = (width - 1) / 2.0;
    return QRectF(cell.x() - std::floor(half), cell.y() - std::floor(half), width, width);
}
