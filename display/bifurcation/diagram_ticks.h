#pragma once

#include <QString>

#include <vector>

// Round tick values 1, 2 or 5 × 10^n apart, at most about `maxCount` of them in [min, max],
// and the decimals that write them.
struct Ticks {
    std::vector<double> values;
    int decimals = 0;
};
Ticks roundTicks(double min, double max, int maxCount);

// A tick's number in the user's locale, with the decimals of its ticks.
QString tickText(double value, const Ticks &ticks);
