#include "model/data/synthetic.h"

#include "model/analysis/examples.h"

#include <cmath>
#include <numbers>
#include <random>

namespace {

const ExampleSystem &defaultSystem()
{
    return exampleSystems().front();
}

// A uniform number in (0, 1) from the generator's top 53 bits, never 0 (its logarithm is taken).
double uniform(std::mt19937_64 &generator)
{
    return (double(generator() >> 11) + 0.5) * 0x1p-53;
}

} // namespace

FitParameters synthetic::truth()
{
    const ExampleSystem &e = defaultSystem();
    return {e.coefficients, e.x0, e.y0};
}

double synthetic::dt()
{
    return defaultSystem().span / 100;
}

Observations synthetic::exactSeries()
{
    Observations series{.timeName = "t", .xName = "x", .yName = "y", .times = {}, .xs = {}, .ys = {}};
    for (int year = 0; year <= kYears; ++year)
        series.times.push_back(defaultSystem().span * year / kYears);
    // The default system's solution from (5, 5) stays on a closed orbit far from the axes.
    const std::optional<std::vector<SolutionPoint>> points = solutionAt(truth(), series.times, dt());
    for (const SolutionPoint &p : points.value()) {
        series.xs.push_back(p.x);
        series.ys.push_back(p.y);
    }
    return series;
}

Observations synthetic::noisySeries()
{
    Observations series = exactSeries();
    std::mt19937_64 generator(kSeed);
    for (std::size_t i = 0; i < series.size(); ++i) {
        for (std::optional<double> *value : {&series.xs[i], &series.ys[i]}) {
            const double u1 = uniform(generator);
            const double u2 = uniform(generator);
            const double z = std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
            // |z| < 9 with 53-bit uniforms: the factor stays above 0.5.
            **value = **value * (1 + kNoise * z);
        }
    }
    return series;
}
