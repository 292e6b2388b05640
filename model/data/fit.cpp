#include "model/data/fit.h"

#include "model/failure.h"
#include "model/model.h"

#include <Eigen/Dense>
#include <unsupported/Eigen/LevenbergMarquardt>

#include <algorithm>
#include <cmath>
#include <limits>

std::optional<double> fit::observedSpread(const std::vector<std::optional<double>> &column)
{
    double sum = 0;
    int count = 0;
    for (const std::optional<double> &v : column)
        if (v) {
            sum += *v;
            ++count;
        }
    if (count < 2)
        return std::nullopt;
    const double mean = sum / count;
    double squares = 0;
    for (const std::optional<double> &v : column)
        if (v)
            squares += (*v - mean) * (*v - mean);
    const double s = std::sqrt(squares / (count - 1));
    return s > 0 && std::isfinite(s) ? std::optional<double>(s) : std::nullopt;
}

namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

// What a failed solution gives each residual: its norm is far above any norm LM has accepted,
// so the step is rejected (see fitObservations in the header).
constexpr double kFailedResidual = 1e150;
// A column of the scaled Jacobian whose pivot falls below this share of the largest is taken
// as dependent on the others: forward differences carry errors near √ε ≈ 1.5e-8, so a smaller
// pivot is noise, and a standard error from it would be meaningless.
constexpr double kRankThreshold = 1e-6;

enum class Species { X, Y };

// One residual: the row of the series and the species it compares.
struct Cell {
    std::size_t row;
    Species species;
    double observed;   // on the residuals' scale: ln(value), or value / s
};

// The residuals' definition for one series: which cells enter and how each is scaled.
struct ResidualPlan {
    std::vector<Cell> cells;
    ResidualScale scale = ResidualScale::Logarithmic;
    double sx = 1, sy = 1;   // the values' divisors (1 on the logarithmic scale)
    int zerosLeftOut = 0;    // observed zeros, which have no logarithm
};


std::variant<ResidualPlan, std::string> planFor(const Observations &series, ResidualScale scale)
{
    ResidualPlan plan;
    plan.scale = scale;
    if (scale == ResidualScale::Values) {
        const std::optional<double> sx = fit::observedSpread(series.xs);
        const std::optional<double> sy = fit::observedSpread(series.ys);
        for (const auto &[s, name] : {std::pair{sx, &series.xName}, std::pair{sy, &series.yName}})
            if (!s)
                return "Las observaciones de «" + *name
                       + "» no tienen desviación típica (menos de dos, o todas iguales): la escala de los valores no se puede usar.";
        plan.sx = *sx;
        plan.sy = *sy;
    }
    for (std::size_t i = 0; i < series.size(); ++i) {
        for (const auto &[column, species, s] :
             {std::tuple{&series.xs, Species::X, plan.sx}, std::tuple{&series.ys, Species::Y, plan.sy}}) {
            const std::optional<double> &v = (*column)[i];
            if (!v)
                continue;
            if (scale == ResidualScale::Logarithmic) {
                if (*v > 0)
                    plan.cells.push_back({i, species, std::log(*v)});
                else
                    ++plan.zerosLeftOut;
            } else {
                plan.cells.push_back({i, species, *v / s});
            }
        }
    }
    return plan;
}

bool ascendingFromZero(const std::vector<double> &times)
{
    if (times.empty() || !(times.front() >= 0) || !std::isfinite(times.back()))
        return false;
    for (std::size_t i = 1; i < times.size(); ++i)
        if (!(times[i] > times[i - 1]))
            return false;
    return true;
}

double designedDt(const Observations &series, const FitOptions &options)
{
    return options.dt > 0 ? options.dt : series.times.back() / 100;
}

// What LM moves, before the free ones are picked out: the eight of fit::Values, or the form's
// parameters then x₀ and y₀.
struct Space {
    std::vector<double> start;
    std::optional<EcologicalParameters> form;   // its values are the start's first ones

    // The parameters at these values; nothing where a form's parameter leaves its domain.
    std::optional<FitParameters> at(const std::vector<double> &values) const
    {
        if (!form) {
            fit::Values v{};
            std::copy(values.begin(), values.end(), v.begin());
            return fit::parametersOf(v);
        }
        const std::optional<EcologicalParameters> e = formAt(values);
        if (!e)
            return std::nullopt;
        const std::size_t count = std::size_t(e->count());
        return FitParameters{coefficientsOf(*e), values[count], values[count + 1]};
    }
    std::optional<EcologicalParameters> formAt(const std::vector<double> &values) const
    {
        if (!form)
            return std::nullopt;
        EcologicalParameters e = *form;
        for (int i = 0; i < e.count(); ++i)
            e.values[std::size_t(i)] = values[std::size_t(i)];
        if (!isValid(e))
            return std::nullopt;
        return e;
    }
    std::string name(int index) const
    {
        if (!form)
            return fit::parameterName(index);
        const auto list = parametersOf(form->form);
        if (index < int(list.size()))
            return list[std::size_t(index)].symbol;
        return fit::parameterName(index - int(list.size()) + 6);
    }
};

// The residuals as Eigen's Levenberg–Marquardt asks for them: over the free parameters only.
class Residuals : public Eigen::DenseFunctor<double> {
public:
    Residuals(const Observations &series, const ResidualPlan &plan, const Space &space,
              const std::vector<int> &free, double dt, const std::atomic<bool> *cancel)
        : DenseFunctor(int(free.size()), int(plan.cells.size())), series_(series), plan_(plan), space_(space),
          free_(free), dt_(dt), cancel_(cancel)
    {
    }

    // 0, or -1 when cancelled (LM then stops with UserAsked).
    int operator()(const VectorXd &p, VectorXd &r)
    {
        if (cancelled())
            return -1;
        ++evaluations_;
        if (!evaluate(p, r))
            r.setConstant(kFailedResidual);
        return 0;
    }

    // Forward differences of the integrated solution, backwards where the forward point fails.
    // The step is √ε · max(|p|, 1): the parameters are in the program's units, of order one,
    // and a step relative to a value near zero (B = 1e-10) would drown in rounding.
    // a column where both fail is left zero, so that the step does not move that parameter.
    // Returns 0 so that LM counts only its own evaluations against its cap.
    int df(const VectorXd &p, MatrixXd &jacobian)
    {
        const double root = std::sqrt(std::numeric_limits<double>::epsilon());
        VectorXd base(values());
        VectorXd moved(values());
        if (cancelled())
            return -1;
        ++evaluations_;
        if (!evaluate(p, base)) {
            jacobian.setZero();
            return 0;
        }
        VectorXd q = p;
        for (Eigen::Index j = 0; j < p.size(); ++j) {
            if (cancelled())
                return -1;
            const double h = root * std::max(std::fabs(p[j]), 1.0);
            q[j] = p[j] + h;
            ++evaluations_;
            if (evaluate(q, moved)) {
                jacobian.col(j) = (moved - base) / (q[j] - p[j]);
            } else {
                q[j] = p[j] - h;
                ++evaluations_;
                if (evaluate(q, moved))
                    jacobian.col(j) = (moved - base) / (q[j] - p[j]);
                else
                    jacobian.col(j).setZero();
            }
            q[j] = p[j];
        }
        return 0;
    }

    // The residuals at p; false when the solution fails there or a form's parameter leaves
    // its domain.
    bool evaluate(const VectorXd &p, VectorXd &r) const
    {
        const std::optional<FitParameters> at = parametersAt(p);
        if (!at)
            return false;
        const std::optional<std::vector<SolutionPoint>> solution = solutionAt(*at, series_.times, dt_);
        if (!solution)
            return false;
        for (std::size_t k = 0; k < plan_.cells.size(); ++k) {
            const Cell &cell = plan_.cells[k];
            const SolutionPoint &s = (*solution)[cell.row];
            const double model = cell.species == Species::X ? s.x : s.y;
            double residual = 0;
            if (plan_.scale == ResidualScale::Logarithmic) {
                if (!(model > 0))
                    return false;
                residual = std::log(model) - cell.observed;
            } else {
                residual = model / (cell.species == Species::X ? plan_.sx : plan_.sy) - cell.observed;
            }
            if (!std::isfinite(residual))
                return false;
            r[Eigen::Index(k)] = residual;
        }
        return true;
    }

    std::vector<double> valuesAt(const VectorXd &p) const
    {
        std::vector<double> v = space_.start;
        for (std::size_t j = 0; j < free_.size(); ++j)
            v[std::size_t(free_[j])] = p[Eigen::Index(j)];
        return v;
    }
    std::optional<FitParameters> parametersAt(const VectorXd &p) const { return space_.at(valuesAt(p)); }

    int evaluations() const { return evaluations_; }
    bool cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }

private:
    const Observations &series_;
    const ResidualPlan &plan_;
    const Space &space_;
    std::vector<int> free_;
    double dt_;
    const std::atomic<bool> *cancel_;
    int evaluations_ = 0;
};

FitResult refused(const FitParameters &start, std::string message)
{
    FitResult result;
    result.status = FitStatus::Refused;
    result.fitted = start;
    result.message = std::move(message);
    return result;
}

// R² of one species' residuals against its observations on the same scale.
std::optional<double> rSquared(const ResidualPlan &plan, const VectorXd &r, Species species)
{
    double sum = 0;
    int count = 0;
    for (const Cell &cell : plan.cells)
        if (cell.species == species) {
            sum += cell.observed;
            ++count;
        }
    if (count < 2)
        return std::nullopt;
    const double mean = sum / count;
    double total = 0;
    double residual = 0;
    for (std::size_t k = 0; k < plan.cells.size(); ++k)
        if (plan.cells[k].species == species) {
            total += (plan.cells[k].observed - mean) * (plan.cells[k].observed - mean);
            residual += r[Eigen::Index(k)] * r[Eigen::Index(k)];
        }
    if (!(total > 0))
        return std::nullopt;
    return 1 - residual / total;
}

// The standard errors from the Jacobian at the optimum, through a QR of its columns scaled to
// unit length (so the rank test does not depend on the parameters' units). False when the
// Jacobian is not of full rank. errors is indexed as the space's values.
bool standardErrors(const MatrixXd &jacobian, double ssr, int n, const std::vector<int> &free,
                    std::vector<std::optional<double>> &errors)
{
    const Eigen::Index p = jacobian.cols();
    VectorXd norms = jacobian.colwise().norm().transpose();
    for (Eigen::Index j = 0; j < p; ++j)
        if (!(norms[j] > 0) || !std::isfinite(norms[j]))
            return false;
    const MatrixXd scaled = jacobian * norms.cwiseInverse().asDiagonal();
    Eigen::ColPivHouseholderQR<MatrixXd> qr(scaled);
    qr.setThreshold(kRankThreshold);
    if (qr.rank() < p)
        return false;
    const MatrixXd r = qr.matrixR().topLeftCorner(p, p).triangularView<Eigen::Upper>();
    const MatrixXd rInverse = r.triangularView<Eigen::Upper>().solve(MatrixXd::Identity(p, p));
    const MatrixXd permuted = rInverse * rInverse.transpose();   // (RᵀR)⁻¹
    const MatrixXd inverse = qr.colsPermutation() * permuted * qr.colsPermutation().transpose();
    const double variance = ssr / double(n - p);
    for (Eigen::Index j = 0; j < p; ++j) {
        const double se = std::sqrt(inverse(j, j) * variance) / norms[j];
        if (std::isfinite(se))
            errors[std::size_t(free[std::size_t(j)])] = se;
    }
    return true;
}

std::string namesJoined(const std::vector<int> &indices, const Space &space)
{
    std::string text;
    for (int index : indices)
        text += (text.empty() ? "" : ", ") + space.name(index);
    return text;
}

} // namespace

fit::Values fit::valuesOf(const FitParameters &p)
{
    const Coefficients &k = p.coefficients;
    return {k.A, k.B, k.C, k.D, k.E, k.F, p.x0, p.y0};
}

FitParameters fit::parametersOf(const Values &v)
{
    return {{v[0], v[1], v[2], v[3], v[4], v[5]}, v[6], v[7]};
}

const char *fit::parameterName(int index)
{
    static const char *const kNames[kParameterCount] = {"A", "B", "C", "D", "E", "F", "x₀", "y₀"};
    return index >= 0 && index < kParameterCount ? kNames[index] : "";
}

FitOptions FitOptions::classicForm(ResidualScale scale)
{
    FitOptions options;
    options.scale = scale;
    options.held[1] = true;
    options.held[5] = true;
    return options;
}

std::optional<std::vector<SolutionPoint>> solutionAt(const FitParameters &p, const std::vector<double> &times, double dt)
{
    Model model;
    model.setCoefficients(p.coefficients);
    const double h = dt / Model::kStepsPerSample;
    if (!(h > 0) || !std::isfinite(h))
        return std::nullopt;
    std::vector<SolutionPoint> points;
    points.reserve(times.size());
    double x = p.x0;
    double y = p.y0;
    double t = 0;
    long stepsLeft = kMaxSteps;
    try {
        for (const double next : times) {
            const double interval = next - t;
            const double designedSteps = interval / h;
            if (!(designedSteps >= 0) || designedSteps > double(stepsLeft))
                return std::nullopt;
            long count = std::lround(designedSteps);
            double step = h;
            // Not a whole number of designed steps: the fewest equal ones no longer than h.
            if (std::fabs(designedSteps - double(count)) > 1e-9 * std::max(1.0, designedSteps)) {
                count = long(std::ceil(designedSteps));
                step = interval / double(count);
            }
            stepsLeft -= count;
            for (long i = 0; i < count; ++i)
                model.rk4Step(x, y, step, +1);
            points.push_back({x, y});
            t = next;
        }
    } catch (const Failure &) {
        return std::nullopt;
    }
    return points;
}

FitResult fitObservations(const Observations &series, const FitParameters &start, const FitOptions &options)
{
    if (!ascendingFromZero(series.times) || series.xs.size() != series.size() || series.ys.size() != series.size())
        return refused(start, "Los tiempos de las observaciones deben crecer a partir de t = 0.");
    const double dt = designedDt(series, options);
    if (!(dt / Model::kStepsPerSample > 0) || !std::isfinite(dt))
        return refused(start, "El paso de tiempo de la trayectoria no es un número positivo.");
    auto planned = planFor(series, options.scale);
    if (const std::string *why = std::get_if<std::string>(&planned))
        return refused(start, *why);
    const ResidualPlan &plan = std::get<ResidualPlan>(planned);

    // The values LM may move, and which of them it does.
    Space space;
    std::vector<bool> held;
    if (options.form) {
        if (!isValid(*options.form))
            return refused(start, std::string("Los parámetros de partida de «") + formName(options.form->form)
                                      + "» no están todos en su dominio.");
        space.form = options.form;
        for (int i = 0; i < options.form->count(); ++i) {
            const double v = options.form->values[std::size_t(i)];
            space.start.push_back(v);
            held.push_back(options.formHeld[std::size_t(i)] || !std::isfinite(v));
        }
        space.start.insert(space.start.end(), {start.x0, start.y0});
        held.insert(held.end(), {options.held[6], options.held[7]});
    } else {
        const fit::Values v = fit::valuesOf(start);
        space.start.assign(v.begin(), v.end());
        held.assign(options.held.begin(), options.held.end());
    }

    std::vector<int> free;
    for (int j = 0; j < int(space.start.size()); ++j)
        if (!held[std::size_t(j)])
            free.push_back(j);
    const int n = int(plan.cells.size());
    const int p = int(free.size());
    if (p == 0)
        return refused(start, "Todos los parámetros están fijados: no queda nada que ajustar.");
    if (n <= p)
        return refused(start, "Hay " + std::to_string(n) + " residuos para " + std::to_string(p)
                                  + " parámetros libres: el ajuste necesita más residuos que parámetros.");

    Residuals residuals(series, plan, space, free, dt, options.cancel);
    VectorXd x(p);
    for (int j = 0; j < p; ++j)
        x[j] = space.start[std::size_t(free[std::size_t(j)])];
    VectorXd r(n);
    if (!residuals.evaluate(x, r))
        return refused(start, options.scale == ResidualScale::Logarithmic
                                  ? "La solución desde los valores iniciales no es positiva y finita en todas las observaciones: pruebe «Estimar» u otros valores."
                                  : "La solución desde los valores iniciales no es finita en todas las observaciones: pruebe «Estimar» u otros valores.");

    Eigen::LevenbergMarquardt<Residuals> lm(residuals);
    lm.setXtol(fit::kTolerance);
    lm.setFtol(fit::kTolerance);
    lm.setMaxfev(20 * options.maxIterations + 100);
    FitResult result;
    result.fitted = start;
    result.residualCount = n;
    result.freeCount = p;
    using Status = Eigen::LevenbergMarquardtSpace::Status;
    Status status = lm.minimizeInit(x);
    int iterations = 0;
    while (status == Status::NotStarted || status == Status::Running) {
        if (iterations == options.maxIterations)
            break;
        status = lm.minimizeOneStep(x);
        ++iterations;
    }
    result.iterations = iterations;
    if (status == Status::UserAsked || residuals.cancelled()) {
        result.status = FitStatus::Cancelled;
        result.evaluations = residuals.evaluations();
        return result;
    }
    const bool converged = status != Status::NotStarted && status != Status::Running
                           && status != Status::TooManyFunctionEvaluation && status != Status::ImproperInputParameters;
    result.status = converged ? FitStatus::Converged : FitStatus::NotConverged;

    // LM only ever accepts points where the solution holds, so the residuals there exist.
    if (!residuals.evaluate(x, r))
        return refused(start, "La solución falló en el punto final del ajuste.");
    result.fitted = *residuals.parametersAt(x);
    result.ssr = r.squaredNorm();
    result.rSquaredX = rSquared(plan, r, Species::X);
    result.rSquaredY = rSquared(plan, r, Species::Y);

    MatrixXd jacobian(n, p);
    if (residuals.df(x, jacobian) < 0) {
        result.status = FitStatus::Cancelled;
        result.fitted = start;
        result.evaluations = residuals.evaluations();
        return result;
    }
    std::vector<std::optional<double>> errors(space.start.size());
    result.identifiable = standardErrors(jacobian, result.ssr, n, free, errors);
    result.evaluations = residuals.evaluations();
    if (!result.identifiable)
        errors.assign(errors.size(), std::nullopt);
    const std::vector<double> fitted = residuals.valuesAt(x);
    if (space.form) {
        result.fittedForm = space.formAt(fitted);
        const std::size_t count = std::size_t(space.form->count());
        for (std::size_t i = 0; i < count; ++i) {
            result.formErrors[i] = errors[i];
            result.formHeld[i] = held[i];
        }
        result.standardErrors[6] = errors[count];
        result.standardErrors[7] = errors[count + 1];
    } else {
        for (std::size_t i = 0; i < errors.size(); ++i)
            result.standardErrors[i] = errors[i];
    }

    if (result.status == FitStatus::NotConverged)
        result.warnings.push_back("El ajuste no ha convergido en " + std::to_string(iterations)
                                  + " iteraciones: los valores son los últimos alcanzados, no un mínimo.");
    if (!result.identifiable)
        result.warnings.push_back(
            "Algún parámetro no es identificable con estos datos (JᵀJ es singular): no hay errores estándar; pruebe a fijar alguno.");
    std::vector<int> uncertain;
    for (int j : free)
        if (const std::optional<double> &se = errors[std::size_t(j)]; se && *se > std::fabs(fitted[std::size_t(j)]))
            uncertain.push_back(j);
    if (!uncertain.empty())
        result.warnings.push_back("El error estándar supera al valor en " + namesJoined(uncertain, space)
                                  + ": esos valores no están determinados por los datos.");
    if (plan.zerosLeftOut > 0)
        result.warnings.push_back(std::to_string(plan.zerosLeftOut)
                                  + (plan.zerosLeftOut == 1 ? " observación nula queda" : " observaciones nulas quedan")
                                  + " fuera de la escala logarítmica.");
    return result;
}

namespace {

// One species' regression: growth = a + b x̄ + c ȳ over its usable intervals.
struct Regression {
    std::array<double, 3> coefficients{};
    std::array<std::optional<double>, 3> errors;
    int intervals = 0;
};

std::variant<Regression, std::string> regress(const Observations &series, const std::vector<std::optional<double>> &own,
                                              const std::array<double, 3> &current, const std::array<bool, 3> &held,
                                              const std::string &name)
{
    std::vector<std::array<double, 4>> rows;   // 1, x̄, ȳ, growth
    for (std::size_t i = 0; i + 1 < series.size(); ++i) {
        const auto &x1 = series.xs[i], &x2 = series.xs[i + 1], &y1 = series.ys[i], &y2 = series.ys[i + 1];
        const auto &a = own[i], &b = own[i + 1];
        if (!x1 || !x2 || !y1 || !y2 || !(*a > 0) || !(*b > 0))
            continue;
        const double growth = (std::log(*b) - std::log(*a)) / (series.times[i + 1] - series.times[i]);
        if (std::isfinite(growth))
            rows.push_back({1, (*x1 + *x2) / 2, (*y1 + *y2) / 2, growth});
    }
    std::vector<int> columns;
    for (int c = 0; c < 3; ++c)
        if (!held[std::size_t(c)])
            columns.push_back(c);
    const Eigen::Index m = Eigen::Index(rows.size());
    const Eigen::Index k = Eigen::Index(columns.size());
    Regression out;
    out.intervals = int(m);
    out.coefficients = current;
    if (k == 0)
        return out;
    if (m < k)
        return "Para «Estimar» hacen falta al menos " + std::to_string(k) + " intervalos con «" + name
               + "» y la otra especie observadas (positivas) en ambos extremos; hay " + std::to_string(m) + ".";
    MatrixXd design(m, k);
    VectorXd rhs(m);
    for (Eigen::Index i = 0; i < m; ++i) {
        double left = rows[std::size_t(i)][3];
        for (int c = 0; c < 3; ++c)
            if (held[std::size_t(c)])
                left -= current[std::size_t(c)] * rows[std::size_t(i)][std::size_t(c)];
        rhs[i] = left;
        for (Eigen::Index j = 0; j < k; ++j)
            design(i, j) = rows[std::size_t(i)][std::size_t(columns[std::size_t(j)])];
    }
    Eigen::ColPivHouseholderQR<MatrixXd> qr(design);
    if (qr.rank() < k)
        return "Para «Estimar», las tasas de crecimiento de «" + name + "» no determinan los coeficientes (regresión singular).";
    const VectorXd solution = qr.solve(rhs);
    for (Eigen::Index j = 0; j < k; ++j)
        out.coefficients[std::size_t(columns[std::size_t(j)])] = solution[j];
    if (m > k) {
        const double variance = (design * solution - rhs).squaredNorm() / double(m - k);
        const MatrixXd inverse = (design.transpose() * design).inverse();
        for (Eigen::Index j = 0; j < k; ++j) {
            const double se = std::sqrt(variance * inverse(j, j));
            if (std::isfinite(se))
                out.errors[std::size_t(columns[std::size_t(j)])] = se;
        }
    }
    for (double value : out.coefficients)
        if (!std::isfinite(value))
            return "Para «Estimar», la regresión de «" + name + "» no da números finitos.";
    return out;
}

std::optional<double> firstObserved(const std::vector<std::optional<double>> &column)
{
    for (const std::optional<double> &v : column)
        if (v)
            return v;
    return std::nullopt;
}

} // namespace

std::variant<GrowthEstimate, std::string> growthEstimate(const Observations &series, const FitParameters &current,
                                                         const std::array<bool, fit::kParameterCount> &held)
{
    const Coefficients &k = current.coefficients;
    const auto x = regress(series, series.xs, {k.A, k.B, k.C}, {held[0], held[1], held[2]}, series.xName);
    if (const std::string *why = std::get_if<std::string>(&x))
        return *why;
    const auto y = regress(series, series.ys, {k.D, k.E, k.F}, {held[3], held[4], held[5]}, series.yName);
    if (const std::string *why = std::get_if<std::string>(&y))
        return *why;
    const Regression &rx = std::get<Regression>(x);
    const Regression &ry = std::get<Regression>(y);

    GrowthEstimate estimate;
    const auto &cx = rx.coefficients;
    const auto &cy = ry.coefficients;
    estimate.start.coefficients = {cx[0], cx[1], cx[2], cy[0], cy[1], cy[2]};
    const std::optional<double> x0 = firstObserved(series.xs);
    const std::optional<double> y0 = firstObserved(series.ys);
    estimate.start.x0 = held[6] || !x0 ? current.x0 : *x0;
    estimate.start.y0 = held[7] || !y0 ? current.y0 : *y0;
    for (int c = 0; c < 6; ++c) {
        const Regression &from = c < 3 ? rx : ry;
        estimate.rows.push_back({c, from.coefficients[std::size_t(c % 3)], from.errors[std::size_t(c % 3)], held[std::size_t(c)]});
    }
    estimate.intervalsX = rx.intervals;
    estimate.intervalsY = ry.intervals;
    return estimate;
}
