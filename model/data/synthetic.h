#pragma once

#include "model/data/fit.h"
#include "model/data/observations.h"

#include <cstdint>

// The built-in synthetic series: the default system (the first example system, from its initial
// point) observed once a "year" with 5 % noise, so that a fit is known to recover the truth.
namespace synthetic {

// A year of the synthetic series is a twentieth of the example's time span (0.1 for the
// default system): 21 observations at t = 0, 1/20 · span, …, span, as many as the pelts table
// has, every fifth sample of the designed trajectory. Whole units of time would give the
// default span of 2 only three observations, fewer than the eight parameters.
inline constexpr int kYears = 20;
inline constexpr double kNoise = 0.05;
inline constexpr std::uint64_t kSeed = 1900;

// The truth: the default system's coefficients and initial point.
FitParameters truth();

// The noise-free series: the solution at each year, integrated as the fit integrates it (with
// the example's dt), so the truth's residuals are exactly zero. Species «x» and «y».
Observations exactSeries();

// The built-in series: each value of exactSeries times (1 + 5 % · z), z standard normal from
// std::mt19937_64 seeded with kSeed, two draws per normal by Box–Muller (the library's own
// normal distribution differs between implementations), x before y at each year.
Observations noisySeries();

// The designed trajectory's dt of the series: the example's span / 100.
double dt();

} // namespace synthetic
