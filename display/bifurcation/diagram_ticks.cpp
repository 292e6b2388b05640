#include "display/bifurcation/diagram_ticks.h"

#include "display/plots/tick_step.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

// Ticks are counted by an integer, never more than this many.
constexpr int kMostTicks = 1000;
// Multiples of a step beyond 2^50 stand too few doubles apart to be told from each other: the
// range is too narrow for round ticks.
constexpr double kLargestMultiple = 0x1p50;
// Beyond this many decimals a number is written with an exponent.
constexpr int kMostFixedDecimals = 16;
// Enough decimals for any two doubles: the least positive one is about 4.9e-324.
constexpr int kMostDecimals = 340;

// The decimals of a round step: 2 for 0.05, 0 for 20.
int decimalsOf(double step)
{
    return std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, kMostDecimals);
}

// The two ends of the range alone, with the fewest decimals that tell them apart.
Ticks endsOf(double min, double max)
{
    Ticks ticks;
    ticks.values = {min, max};
    for (ticks.decimals = std::max(0, decimalsOf(max - min) - 1); ticks.decimals < kMostDecimals; ++ticks.decimals)
        if (tickText(min, ticks) != tickText(max, ticks))
            break;
    return ticks;
}

} // namespace

Ticks roundTicks(double min, double max, int maxCount)
{
    Ticks ticks;
    if (!std::isfinite(min) || !std::isfinite(max) || !(min < max) || !std::isfinite(max - min) || maxCount < 1)
        return ticks;
    const double step = roundStepAtLeast((max - min) / maxCount, StepForm::ScaledPower);
    if (!(step > 0))
        return endsOf(min, max);
    const double first = std::ceil(min / step - 1e-9), last = std::floor(max / step + 1e-9);
    if (!(std::fabs(first) <= kLargestMultiple && std::fabs(last) <= kLargestMultiple))
        return endsOf(min, max);
    if (!(last - first < kMostTicks))
        return ticks;
    ticks.decimals = decimalsOf(step);
    const int count = std::max(0, static_cast<int>(last - first) + 1);
    // A multiple found by the tolerance, or rounded an ulp beyond an end, stands at that end.
    for (int i = 0; i < count; ++i)
        ticks.values.push_back(std::clamp((first + i) * step, min, max));
    return ticks;
}

QString tickText(double value, const Ticks &ticks)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const double unit = std::pow(10.0, -ticks.decimals);
    if (std::fabs(value) < unit / 2 || value == 0)
        return ticks.decimals <= kMostFixedDecimals ? locale.toString(0.0, 'f', ticks.decimals)
                                                    : locale.toString(0);   // never "-0"
    if (ticks.decimals <= kMostFixedDecimals)
        return locale.toString(value, 'f', ticks.decimals);
    // The significant digits down to the last decimal, or fewer when they tell the double as well.
    const int digits = static_cast<int>(std::floor(std::log10(std::fabs(value)))) + ticks.decimals + 1;
    const QString rounded = locale.toString(value, 'g', std::clamp(digits, 1, 17));
    const QString shortest = locale.toString(value, 'g', QLocale::FloatingPointShortest);
    return shortest.size() < rounded.size() ? shortest : rounded;
}
