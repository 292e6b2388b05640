#pragma once

// A round step, 1, 2 or 5 × 10^exponent, held in decimal: a whole number of steps is the double
// nearest to its exact decimal value, the one its shortest text reads back as. Adding the
// step's double again and again would pile up the rounding of binary fractions instead.
struct DecimalStep {
    int mantissa = 1;   // 1, 2 or 5
    int exponent = 0;

    // count × the step; count is kept small by its users (a few thousand steps at most).
    double times(long long count) const;
    double value() const { return times(1); }
};

// The smallest round step at least `minimum`; 1 for a minimum that is no finite number > 0.
DecimalStep decimalStepAtLeast(double minimum);

// value + count × step in decimal, rounded to the decimals the two are written with, so that
// 0.2 + 0.1 gives 0.3 and not 0.30000000000000004.
double decimalSum(double value, double step, int count);
