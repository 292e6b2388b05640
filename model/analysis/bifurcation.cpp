#include "bifurcation.h"

#include "tolerance.h"
#include "type_names.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int kMaxColumns = 1 << 20;

int signOf(double value)
{
    return (value > 0) - (value < 0);
}

// A difference of two products, taken as zero within rounding, as equilibria() takes it.
double difference(double first, double second)
{
    const double value = first - second;
    return isNegligible(value, std::fabs(first) + std::fabs(second)) ? 0 : value;
}

double interiorDenominator(const Coefficients &k)
{
    return difference(k.B * k.F, k.C * k.E);
}

CurvePoint pointAt(const Coefficients &k, double x, double y, int branch)
{
    CurvePoint p;
    if (!std::isfinite(x) || !std::isfinite(y))
        return p;
    p.exists = true;
    p.branch = branch;
    p.x = x + 0.0;   // -0 becomes 0
    p.y = y + 0.0;
    p.type = linearise(jacobianAt(k, p.x, p.y)).type;
    p.stable = isStable(p.type);
    return p;
}

// What is watched for a change of type. A quantity is followed only between two values where
// it is defined and on the same branch: a sign change across a pole is no zero.
struct Watch {
    TypeChange::Kind kind;
    EquilibriumRole role;
    EquilibriumRole other;
};

struct Watched {
    bool defined = false;
    int branch = 0;
    double value = 0;
};

using R = EquilibriumRole;
using K = TypeChange::Kind;

// Meetings first: where one is found, the other changes at the same place say nothing new.
constexpr Watch kWatches[] = {
    {K::Meeting, R::Interior, R::XAxis},    // y of the interior point is 0: AE - BD = 0
    {K::Meeting, R::Interior, R::YAxis},    // x of the interior point is 0: CD - AF = 0
    {K::Meeting, R::XAxis, R::Origin},      // A = 0
    {K::Meeting, R::YAxis, R::Origin},      // D = 0
    {K::Determinant, R::Origin, R::Origin},  {K::Determinant, R::XAxis, R::XAxis},
    {K::Determinant, R::YAxis, R::YAxis},    {K::Determinant, R::Interior, R::Interior},
    {K::Trace, R::Origin, R::Origin},        {K::Trace, R::XAxis, R::XAxis},
    {K::Trace, R::YAxis, R::YAxis},          {K::Trace, R::Interior, R::Interior},
    {K::Discriminant, R::Origin, R::Origin}, {K::Discriminant, R::XAxis, R::XAxis},
    {K::Discriminant, R::YAxis, R::YAxis},   {K::Discriminant, R::Interior, R::Interior},
};
constexpr int kWatchCount = static_cast<int>(std::size(kWatches));
using WatchedValues = std::array<Watched, kWatchCount>;

// Every watched quantity at k, from the plain formulas: no rounding is cut to zero here, so that
// a sign change can be located to the last digits.
WatchedValues watchedValues(const Coefficients &k)
{
    const double delta = interiorDenominator(k);
    struct Raw {
        bool exists;
        int branch;
        double x, y;
    };
    std::array<Raw, kRoleCount> raw{};
    raw[0] = {true, 1, 0, 0};
    if (k.B != 0)
        raw[1] = {true, signOf(k.B), -k.A / k.B, 0};
    if (k.F != 0)
        raw[2] = {true, signOf(k.F), 0, -k.D / k.F};
    if (delta != 0)
        raw[3] = {true, signOf(delta), (k.C * k.D - k.A * k.F) / delta, (k.A * k.E - k.B * k.D) / delta};

    WatchedValues values;
    for (int w = 0; w < kWatchCount; ++w) {
        const Watch &watch = kWatches[w];
        const Raw &p = raw[static_cast<int>(watch.role)];
        const Raw &q = raw[static_cast<int>(watch.other)];
        if (!p.exists || !q.exists || !std::isfinite(p.x) || !std::isfinite(p.y))
            continue;
        double value = 0;
        if (watch.kind == K::Meeting) {
            switch (watch.other) {
            case R::XAxis: value = k.A * k.E - k.B * k.D; break;
            case R::YAxis: value = k.C * k.D - k.A * k.F; break;
            default: value = watch.role == R::XAxis ? k.A : k.D; break;
            }
        } else {
            const Jacobian j = jacobianAt(k, p.x, p.y);
            switch (watch.kind) {
            case K::Determinant: value = j.xx * j.yy - j.xy * j.yx; break;
            case K::Trace: value = j.xx + j.yy; break;
            default: value = (j.xx - j.yy) * (j.xx - j.yy) + 4 * j.xy * j.yx; break;
            }
        }
        if (std::isfinite(value))
            values[w] = {true, p.branch * 3 + q.branch, value};
    }
    return values;
}

// Where a watched quantity that has the sign `lowSign` at `low` reaches zero before `high`,
// by bisection down to neighbouring doubles. Nothing if it stops being defined on the way.
std::optional<double> bisect(const Coefficients &k, int coefficient, int watch, double low, double high,
                             int lowSign, int branch)
{
    // Each halving takes one bit off the bracket: about 2100 reach neighbouring doubles from
    // any bracket, the widest included.
    for (int step = 0; step < 2100; ++step) {
        const double middle = low + (high - low) / 2;
        if (middle <= low || middle >= high)
            break;
        const Watched at = watchedValues(withCoefficient(k, coefficient, middle))[watch];
        if (!at.defined || at.branch != branch)
            return std::nullopt;
        const int sign = signOf(at.value);
        if (sign == 0)
            return middle;
        (sign == lowSign ? low : high) = middle;
    }
    return low + (high - low) / 2;
}

bool involves(const TypeChange &change, EquilibriumRole role)
{
    return change.role == role || (change.kind == K::Meeting && change.other == role);
}

// The change at `value`, with the types on either side taken `offset` away. Nothing when the
// type does not change (a trace through zero in a saddle, for instance).
std::optional<TypeChange> changeAt(const Coefficients &k, int coefficient, const Watch &watch, double value,
                                   double offset)
{
    TypeChange change;
    change.kind = watch.kind;
    change.value = value;
    change.role = watch.role;
    change.other = watch.other;
    const Coefficients at = withCoefficient(k, coefficient, value);
    const Coefficients below = withCoefficient(k, coefficient, value - offset);
    const Coefficients above = withCoefficient(k, coefficient, value + offset);
    const CurvePoint roleBelow = equilibriumOfRole(below, watch.role);
    const CurvePoint roleAbove = equilibriumOfRole(above, watch.role);
    change.before = roleBelow.type;
    change.after = roleAbove.type;

    const CurvePoint where = equilibriumOfRole(at, watch.kind == K::Meeting ? watch.other : watch.role);
    if (!where.exists)
        return std::nullopt;
    change.x = where.x;
    change.y = where.y;

    if (watch.kind != K::Meeting)
        return change.before == change.after ? std::nullopt : std::optional(change);
    const CurvePoint otherBelow = equilibriumOfRole(below, watch.other);
    const CurvePoint otherAbove = equilibriumOfRole(above, watch.other);
    change.exchange = roleBelow.exists && roleAbove.exists && otherBelow.exists && otherAbove.exists
        && roleBelow.stable != roleAbove.stable && otherBelow.stable != otherAbove.stable
        && roleBelow.stable != otherBelow.stable;
    return change;
}

// Every zero crossing of each watched quantity between the sampled values.
std::vector<TypeChange> findChanges(const Coefficients &k, int coefficient, const std::vector<double> &values,
                                    const std::vector<WatchedValues> &samples)
{
    const double columnWidth = (values.back() - values.front()) / static_cast<double>(values.size() - 1);
    std::vector<TypeChange> found;
    for (int w = 0; w < kWatchCount; ++w) {
        for (std::size_t i = 0; i + 1 < values.size(); ++i) {
            const Watched &a = samples[i][w];
            const Watched &b = samples[i + 1][w];
            if (!a.defined || !b.defined || a.branch != b.branch)
                continue;
            const int signA = signOf(a.value), signB = signOf(b.value);
            std::optional<double> root;
            if (signA * signB < 0) {
                root = bisect(k, coefficient, w, values[i], values[i + 1], signA, a.branch);
            } else if (signA == 0 && signB != 0 && i > 0) {
                // Exactly zero at a sample: a crossing if the sign before is the other one.
                const Watched &before = samples[i - 1][w];
                if (before.defined && before.branch == a.branch && signOf(before.value) == -signB)
                    root = values[i];
            }
            if (!root)
                continue;
            const auto change = changeAt(k, coefficient, kWatches[w], *root, columnWidth / 4);
            if (!change)
                continue;
            // The same place for an equilibrium already described: one mark says it.
            const bool known = std::any_of(found.begin(), found.end(), [&](const TypeChange &c) {
                return involves(c, change->role) && std::fabs(c.value - change->value) <= columnWidth;
            });
            if (!known)
                found.push_back(*change);
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const TypeChange &p, const TypeChange &q) { return p.value < q.value; });
    return found;
}

const char *roleName(EquilibriumRole role)
{
    switch (role) {
    case R::Origin: return "el origen";
    case R::XAxis: return "el equilibrio del eje x";
    case R::YAxis: return "el equilibrio del eje y";
    case R::Interior: return "el equilibrio interior";
    }
    return "";
}

} // namespace

EquilibriumRole roleAt(double x, double y)
{
    if (x == 0)
        return y == 0 ? R::Origin : R::YAxis;
    return y == 0 ? R::XAxis : R::Interior;
}

double coefficientValue(const Coefficients &k, int index)
{
    const double values[] = {k.A, k.B, k.C, k.D, k.E, k.F};
    return index >= 0 && index < 6 ? values[index] : 0;
}

Coefficients withCoefficient(Coefficients k, int index, double value)
{
    double *slots[] = {&k.A, &k.B, &k.C, &k.D, &k.E, &k.F};
    if (index >= 0 && index < 6)
        *slots[index] = value;
    return k;
}

const char *coefficientName(int index)
{
    static const char *const names[] = {"A", "B", "C", "D", "E", "F"};
    return index >= 0 && index < 6 ? names[index] : "";
}

CurvePoint equilibriumOfRole(const Coefficients &k, EquilibriumRole role)
{
    switch (role) {
    case R::Origin:
        return pointAt(k, 0, 0, 1);
    case R::XAxis:
        return k.B == 0 ? CurvePoint{} : pointAt(k, -k.A / k.B, 0, signOf(k.B));
    case R::YAxis:
        return k.F == 0 ? CurvePoint{} : pointAt(k, 0, -k.D / k.F, signOf(k.F));
    case R::Interior: {
        const double delta = interiorDenominator(k);
        if (delta == 0)
            return {};
        return pointAt(k, difference(k.C * k.D, k.A * k.F) / delta, difference(k.A * k.E, k.B * k.D) / delta,
                       signOf(delta));
    }
    }
    return {};
}

BifurcationDiagram bifurcationDiagram(const Coefficients &k, int coefficient, double from, double to,
                                      int columns)
{
    BifurcationDiagram diagram;
    diagram.coefficient = coefficient;
    if (coefficient < 0 || coefficient >= 6 || columns < 2 || columns > kMaxColumns || !std::isfinite(from)
        || !std::isfinite(to) || !(from < to) || !std::isfinite(to - from))
        return diagram;

    const auto count = static_cast<std::size_t>(columns);
    diagram.values.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        diagram.values[i] = from + (to - from) * static_cast<double>(i) / static_cast<double>(count - 1);
    diagram.values.back() = to;

    for (auto &curve : diagram.curves)
        curve.resize(count);
    std::vector<WatchedValues> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Coefficients at = withCoefficient(k, coefficient, diagram.values[i]);
        for (int role = 0; role < kRoleCount; ++role)
            diagram.curves[role][i] = equilibriumOfRole(at, static_cast<EquilibriumRole>(role));
        samples[i] = watchedValues(at);
    }
    diagram.changes = findChanges(k, coefficient, diagram.values, samples);
    return diagram;
}

std::string describeChange(const TypeChange &change, const std::function<std::string(double)> &number)
{
    std::string text = roleName(change.role);
    if (change.kind == K::Meeting) {
        text += " se une a (" + number(change.x) + ", " + number(change.y) + ")";
        if (change.exchange)
            text += ": intercambio de estabilidad";
        return text;
    }
    return text + " pasa de " + typeName(change.before) + " a " + typeName(change.after);
}
