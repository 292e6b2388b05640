#pragma once

#include <cmath>

// A value computed from the coefficients carries the rounding of every operation that made it,
// a few units of 1e-16 of the terms it was made from. Such a value counts as zero when its size
// is at most kRelativeTolerance times the sum of the sizes of those terms: far above the rounding,
// and far below any real difference between coefficients typed with up to eight digits.
// A coefficient itself is exact as typed, so it is zero only when it is exactly 0.
inline constexpr double kRelativeTolerance = 1e-9;

inline bool isNegligible(double value, double termsSize)
{
    return std::fabs(value) <= kRelativeTolerance * termsSize;
}

// A typed coefficient is rounded to the nearest double, by up to 2^-53 of itself, so a difference
// of two products of coefficients, computed with no rounding of its own (see productDifference),
// is off by up to 2^-52 of the sum of the products' sizes. It counts as zero within
// kRoundingTolerance of that sum, a few times that rounding: the tolerance for a value that is
// then divided by a small one, where the wider kRelativeTolerance would move the result.
inline constexpr double kRoundingTolerance = 1e-15;

// a b - c d rounded once: fma recovers the rounding of c d (Kahan's algorithm).
inline double productDifference(double a, double b, double c, double d)
{
    const double cd = c * d;
    const double error = std::fma(-c, d, cd);   // cd - c d, exactly
    return std::fma(a, b, -cd) + error;
}

// Two eigenvalues of a full 2 x 2 matrix differ by the square root of its discriminant, so the
// discriminant's rounding, a few units of 1e-16 of its terms, parts them by up to about 1e-7 of
// the size of the matrix's terms. They count as one eigenvalue when at most kRepeatedTolerance
// times that size apart: above that rounding, and far below the parting of about 1e-4 that a
// change in the eighth digit of a coefficient makes near a repeated eigenvalue.
inline constexpr double kRepeatedTolerance = 1e-6;
