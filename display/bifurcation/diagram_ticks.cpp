#include "display/bifurcation/diagram_ticks.h"

#include "display/plots/tick_step.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

Ticks roundTicks(double min, double max, int maxCount)
{
    Ticks ticks;
    if (!std::isfinite(min) || !std::isfinite(max) || !(min < max) || maxCount < 1)
        return ticks;
    const double step = roundStepAtLeast((max - min) / maxCount, StepForm::ScaledPower);
    if (!std::isfinite(step) || step <= 0)
        return ticks;
    ticks.decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 15);
    const double first = std::ceil(min / step - 1e-9), last = std::floor(max / step + 1e-9);
    if (!(last - first < 1000))
        return ticks;
    for (double k = first; k <= last; ++k)
        ticks.values.push_back(k * step);
    return ticks;
}

QString tickText(double value, const Ticks &ticks)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const double unit = std::pow(10.0, -ticks.decimals);
    if (std::fabs(value) < unit / 2)
        value = 0;   // never "-0"
    return locale.toString(value, 'f', ticks.decimals);
}
