#pragma once

#include "model/coefficients.h"

#include <optional>

// The direction of the field at (x, y) as a unit vector (dx, dy), y upwards; nothing where the
// field is zero (within rounding, see tolerance.h) or not a finite number.
struct Direction {
    double dx = 0, dy = 0;
};

std::optional<Direction> fieldDirection(const Coefficients &k, double x, double y);
