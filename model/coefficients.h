#pragma once

#include <cstring>

// The six coefficients of the system
//     x' = x (A + B x + C y),   y' = y (D + E x + F y).
struct Coefficients {
    double A = 0, B = 0, C = 0, D = 0, E = 0, F = 0;

    friend bool operator==(const Coefficients &, const Coefficients &) = default;
};

// Whether two sets of coefficients are the same to the last bit, where == takes -0 for 0.
inline bool bitIdentical(const Coefficients &a, const Coefficients &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The points (x, y) where a + b x + c y = 0: a straight line unless b = c = 0.
struct StraightLine {
    double a = 0, b = 0, c = 0;

    bool isDegenerate() const { return b == 0 && c == 0; }

    friend bool operator==(const StraightLine &, const StraightLine &) = default;
};

// Where x' = 0 off the axis x = 0, and where y' = 0 off the axis y = 0.
inline StraightLine xNullcline(const Coefficients &k) { return {k.A, k.B, k.C}; }
inline StraightLine yNullcline(const Coefficients &k) { return {k.D, k.E, k.F}; }
