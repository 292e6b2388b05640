#pragma once

#include "model/coefficients.h"
#include "model/data/observations.h"
#include "model/ecology/ecological_form.h"

#include <array>
#include <atomic>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// The least-squares fit of the system's solution to observed populations, over the six
// coefficients and the initial point, or over the parameters of an ecological form and the
// initial point. Plain C++ (Eigen's Levenberg–Marquardt).

// What the fit adjusts: the coefficients and the initial point (the solution's value at t = 0).
struct FitParameters {
    Coefficients coefficients;
    double x0 = 0, y0 = 0;
    friend bool operator==(const FitParameters &, const FitParameters &) = default;
};

namespace fit {

// The parameters in a fixed order: A, B, C, D, E, F, x₀, y₀.
inline constexpr int kParameterCount = 8;
using Values = std::array<double, kParameterCount>;
Values valuesOf(const FitParameters &p);
FitParameters parametersOf(const Values &v);
// "A" … "F", "x₀", "y₀" (UTF-8).
const char *parameterName(int index);

// The fit's tolerances on the relative change of the parameters and of the sum of squares.
inline constexpr double kTolerance = 1e-10;

// The sample standard deviation of a species' observations: the weight of its residuals on the
// values scale. Nothing with fewer than two observed, or when it is zero or not finite.
std::optional<double> observedSpread(const std::vector<std::optional<double>> &column);

} // namespace fit

enum class ResidualScale {
    Logarithmic,   // ln(model) − ln(observed), unweighted
    Values,        // (model − observed) / s, s the standard deviation of that species' observations
};

struct FitOptions {
    ResidualScale scale = ResidualScale::Logarithmic;
    // A held parameter keeps its starting value; in the order of fit::Values. With a form, only
    // x₀ and y₀ (6 and 7) are read.
    std::array<bool, fit::kParameterCount> held{};
    // The fit over this form's parameters (r, K, α…) from these values, each evaluation taking
    // the coefficients from coefficientsOf; the start's coefficients are then not read. A step
    // that takes a parameter out of its domain fails as a failed solution does.
    std::optional<EcologicalParameters> form;
    // The form's parameters held, in the order of parametersOf. A parameter that starts at ∞
    // (K with no limit) is held all the same: no finite step moves it.
    std::array<bool, kMaxParameters> formHeld{};
    // The designed trajectory's time step: the solution is integrated with RK4 steps of at most
    // dt / Model::kStepsPerSample. Zero: the step of a trajectory whose sample 100 is the last
    // observation (dt = last time / 100), as the window sets it when data are opened.
    double dt = 0;
    int maxIterations = 200;
    // Checked at every evaluation of the solution: once true, the fit stops as cancelled.
    const std::atomic<bool> *cancel = nullptr;

    // «Forma clásica»: B = F = 0 held, the predator–prey form with no self-limitation.
    static FitOptions classicForm(ResidualScale scale = ResidualScale::Logarithmic);
};

enum class FitStatus {
    Converged,      // Levenberg–Marquardt met its tolerances
    NotConverged,   // the iteration or evaluation cap came first: the best point reached so far
    Cancelled,      // the cancel was set: nothing fitted
    Refused,        // nothing to fit (see message): too few residuals, a start where the solution fails…
};

struct FitResult {
    FitStatus status = FitStatus::Refused;
    std::string message;              // why it was refused, in Spanish; empty otherwise
    FitParameters fitted;             // the start when refused or cancelled
    double ssr = 0;                   // the sum of the squared residuals at fitted
    int residualCount = 0;            // n
    int freeCount = 0;                // p
    // R² of each species on the residuals' scale: 1 − Σ r² / Σ (z − z̄)², z the observations
    // on that scale (ln of them, or them over s). Nothing when that species has fewer than two
    // residuals or its observations are all equal on that scale.
    std::optional<double> rSquaredX, rSquaredY;
    // √diag((JᵀJ)⁻¹ · SSR / (n − p)) of each free parameter, J the Jacobian of the residuals at
    // the optimum; nothing for a held parameter, and for all when JᵀJ is singular. With a form,
    // only x₀ and y₀ have theirs here, the form's parameters in formErrors.
    std::array<std::optional<double>, fit::kParameterCount> standardErrors;
    // With a form: its fitted parameters (fitted.coefficients are their coefficientsOf), the
    // standard error of each free one, and which were held (formHeld of the options, and those
    // that started at ∞). Nothing without a form.
    std::optional<EcologicalParameters> fittedForm;
    std::array<std::optional<double>, kMaxParameters> formErrors;
    std::array<bool, kMaxParameters> formHeld{};
    bool identifiable = false;        // JᵀJ of full rank at fitted
    int iterations = 0;
    int evaluations = 0;              // solutions integrated, the Jacobian's included
    std::vector<std::string> warnings;   // in Spanish: not converged, not identifiable, errors above values
};

// Fits the solution through (x₀, y₀) at t = 0 to the observations, which must be in the program's
// units (inProgramUnits): times from 0, values in the unit. Starts from `start`; held parameters
// keep its values (with a form, the form's values of options.form). Every loop is bounded: options.maxIterations steps of Levenberg–Marquardt, each
// with a bounded number of solutions, each of a bounded number of RK4 steps.
//
// Eigen's LevenbergMarquardt aborts the whole fit when the functor returns a negative value and
// ignores a positive one, so a step where the solution fails (a value ≤ 0 on the logarithmic
// scale, a value that is not finite on either) returns residuals of 1e150: more than ten times
// the current norm, so the step's actual reduction is negative and it is rejected, the trust
// region shrinking tenfold. The Jacobian is by forward differences of the integrated solution
// (step √ε · max(|p|, 1)), backwards where the forward point fails.
FitResult fitObservations(const Observations &series, const FitParameters &start, const FitOptions &options);

// The solution through (x₀, y₀) at t = 0 at each of the ascending times ≥ 0, integrated with the
// program's RK4 as the fit does it: between two times, steps of dt / 40 where the interval is
// (within rounding) a whole number of them, so the samples of the designed trajectory come out
// to the last bit, else the fewest equal steps no longer than that. Nothing when an
// intermediate value is not finite or the step count would pass kMaxSteps.
struct SolutionPoint {
    double x = 0, y = 0;
};
inline constexpr long kMaxSteps = 2'000'000;
std::optional<std::vector<SolutionPoint>> solutionAt(const FitParameters &p, const std::vector<double> &times, double dt);

// «Estimar»: starting values from the per-capita growth rates. Over each pair of consecutive rows
// where a species is observed (> 0) at both ends along with the other, the trapezoid rule gives
//     (ln x(t₂) − ln x(t₁)) / (t₂ − t₁) ≈ A + B x̄ + C ȳ,   x̄, ȳ the means of the two ends,
// and likewise for y with D, E, F: two linear least-squares problems (Eigen's QR), held
// coefficients moved to the left-hand side. The initial point is the first observation of each
// species (at t = 0 when observed there).
struct GrowthRow {
    int parameter = 0;                    // index in fit::Values
    double value = 0;
    std::optional<double> standardError;  // of the regression; nothing when held or with no degree of freedom
    bool held = false;
};
struct GrowthEstimate {
    FitParameters start;
    std::vector<GrowthRow> rows;   // the six coefficients, A to F: the table beside the fit
    int intervalsX = 0, intervalsY = 0;
};
// Nothing, with a message in Spanish, when a species has fewer usable intervals than free
// coefficients or its regression is singular.
std::variant<GrowthEstimate, std::string> growthEstimate(const Observations &series, const FitParameters &current,
                                                         const std::array<bool, fit::kParameterCount> &held);
