#pragma once

#include <QString>

#include <vector>

// Round tick values 1, 2 or 5 × 10^n apart, at most about `maxCount` of them in [min, max],
// and the decimals that write them. A range too narrow for round ticks has its two ends, with
// the decimals that tell them apart.
struct Ticks {
    std::vector<double> values;
    int decimals = 0;
};
Ticks roundTicks(double min, double max, int maxCount);

// A tick's number in the user's locale with the decimals of its ticks; beyond 16 decimals with
// an exponent, in as few digits as tell it apart from its neighbours.
QString tickText(double value, const Ticks &ticks);
