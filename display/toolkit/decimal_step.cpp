#include "display/toolkit/decimal_step.h"

#include "display/toolkit/conversions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace {

// The number of decimals after the point in the shortest text of value ("0.25" has 2, "1e-300"
// has 300, "1500" none).
int decimalsOf(double value)
{
    std::array<char, 40> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::scientific);
    if (written.ec != std::errc())
        return 0;
    const char *begin = text.data();
    const char *end = written.ptr;
    const char *e = std::find(begin, end, 'e');
    const char *point = std::find(begin, e, '.');
    const auto digitsAfterPoint = point == e ? 0 : static_cast<int>(e - point - 1);
    int exponent = 0;
    if (e != end)
        std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
    return std::max(0, digitsAfterPoint - exponent);
}

} // namespace

double DecimalStep::times(long long count) const
{
    std::array<char, 48> text{};
    char *end = std::to_chars(text.data(), text.data() + 24, count * mantissa).ptr;
    *end++ = 'e';
    end = std::to_chars(end, text.data() + text.size(), exponent).ptr;
    double value = 0;
    const auto read = std::from_chars(text.data(), end, value);
    if (read.ec == std::errc::result_out_of_range)
        return count < 0 ? -HUGE_VAL : HUGE_VAL;
    return value;
}

DecimalStep decimalStepAtLeast(double minimum)
{
    if (!std::isfinite(minimum) || !(minimum > 0))
        return {};
    DecimalStep step{1, static_cast<int>(std::floor(std::log10(minimum)))};
    // log10 may be off by one either way near a power of ten.
    while (step.value() > minimum)
        --step.exponent;
    while (DecimalStep{1, step.exponent + 1}.value() <= minimum)
        ++step.exponent;
    for (int mantissa : {1, 2, 5}) {
        step.mantissa = mantissa;
        if (step.value() >= minimum)
            return step;
    }
    return {1, step.exponent + 1};
}

double decimalSum(double value, double step, int count)
{
    const double sum = value + step * count;
    if (!std::isfinite(sum))
        return sum;
    return Round(sum, std::max(decimalsOf(value), decimalsOf(step)));
}
