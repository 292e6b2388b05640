// Equilibria, their linearisation and type, the nullcline lines, the field's direction, the
// separatrices, the first integral and Lyapunov claim, and the basins of attraction.
#include "model/analysis/basins.h"
#include "model/analysis/direction.h"
#include "model/analysis/equilibria.h"
#include "model/analysis/examples.h"
#include "model/analysis/first_integral.h"
#include "model/analysis/lyapunov.h"
#include "model/analysis/nullclines.h"
#include "model/analysis/nullclines.h"
#include "model/analysis/separatrices.h"
#include "model/model.h"

#include <QLineF>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <array>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string_view>

Q_DECLARE_METATYPE(Jacobian)
Q_DECLARE_METATYPE(EquilibriumType)
Q_DECLARE_METATYPE(Coefficients)
Q_DECLARE_METATYPE(StraightLine)

namespace {

// A plain matrix: each diagonal entry is its own single term.
Jacobian matrix(double xx, double xy, double yx, double yy)
{
    return {xx, xy, yx, yy, std::fabs(xx), std::fabs(yy)};
}

bool close(double actual, double expected)
{
    return std::fabs(actual - expected) <= 1e-12 * std::max(1.0, std::fabs(expected));
}

const char *nameOf(EquilibriumType type)
{
    switch (type) {
    case EquilibriumType::Saddle: return "saddle";
    case EquilibriumType::StableNode: return "stable node";
    case EquilibriumType::UnstableNode: return "unstable node";
    case EquilibriumType::StableDegenerateNode: return "stable degenerate node";
    case EquilibriumType::UnstableDegenerateNode: return "unstable degenerate node";
    case EquilibriumType::StableStarNode: return "stable star node";
    case EquilibriumType::UnstableStarNode: return "unstable star node";
    case EquilibriumType::StableFocus: return "stable focus";
    case EquilibriumType::UnstableFocus: return "unstable focus";
    case EquilibriumType::Centre: return "centre";
    case EquilibriumType::NonHyperbolic: return "non-hyperbolic";
    case EquilibriumType::Undetermined: return "undetermined";
    case EquilibriumType::LineOfEquilibria: return "line";
    case EquilibriumType::PlaneOfEquilibria: return "plane";
    }
    return "?";
}

// The list in one line: "(x, y) type" for each point, "line a b c" for each line.
QString describe(const std::vector<Equilibrium> &list)
{
    QStringList parts;
    for (const Equilibrium &e : list) {
        switch (e.shape) {
        case Equilibrium::Shape::Point:
            parts << QStringLiteral("(%1, %2) %3").arg(e.x, 0, 'g', 15).arg(e.y, 0, 'g', 15).arg(nameOf(e.type()));
            break;
        case Equilibrium::Shape::Line:
            parts << QStringLiteral("line %1 %2 %3").arg(e.line.a).arg(e.line.b).arg(e.line.c);
            break;
        case Equilibrium::Shape::Plane:
            parts << QStringLiteral("plane");
            break;
        }
    }
    return parts.join(QStringLiteral("; "));
}

// A line's coefficients divided by the largest of their sizes: equal for proportional lines.
std::array<double, 3> lineDirection(const StraightLine &line)
{
    const double largest = std::max({std::fabs(line.a), std::fabs(line.b), std::fabs(line.c)});
    if (largest == 0)
        return {0, 0, 0};
    return {line.a / largest, line.b / largest, line.c / largest};
}

// The true fate of (x, y) for the reference: RK4 with steps far finer than the map's, followed
// until it lies within 1e-7 (relative) of an attractor, passes a bound a thousand times the map's,
// or reaches five times the map's time limit: an attractor's index, basins::kEscapes, or
// basins::kNone for what stays bounded and reaches no attractor (closed orbits, saddles).
basins::Label referenceFate(const basins::BasinSystem &system, const std::vector<Equilibrium> &list, double x, double y)
{
    const Coefficients &k = system.coefficients;
    double scale = 20;
    for (const Equilibrium &e : list)
        if (e.shape == Equilibrium::Shape::Point)
            scale = std::max({scale, std::fabs(e.x), std::fabs(e.y)});
    const double bound = 1e9 * scale, limit = 5 * system.timeLimit;
    const auto field = [&k](double px, double py) {
        return std::array<double, 2>{px * (k.A + k.B * px + k.C * py), py * (k.D + k.E * px + k.F * py)};
    };
    double t = 0;
    for (int step = 0; step < 4000000 && t < limit; ++step) {
        if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > bound || std::fabs(y) > bound)
            return basins::kEscapes;
        for (std::size_t i = 0; i < system.attractors.size(); ++i) {
            const basins::Attractor &a = system.attractors[i];
            if (std::hypot(x - a.x, y - a.y) <= 1e-7 * (1 + std::fabs(a.x) + std::fabs(a.y)))
                return basins::Label(i);
        }
        auto f1 = field(x, y);
        // A coordinate below 1e-100 of the other that keeps dying out as the other runs away
        // is 0: on the axis, the steps need not follow its rate.
        if (std::fabs(y) < 1e-100 * std::fabs(x) && k.D + k.E * x < 0 && k.E * f1[0] <= 0)
            y = 0;
        if (std::fabs(x) < 1e-100 * std::fabs(y) && k.A + k.C * y < 0 && k.C * f1[1] <= 0)
            x = 0;
        f1 = field(x, y);
        // At least the Jacobian's spectral radius.
        const double xx = k.A + 2 * k.B * x + k.C * y, yy = k.D + k.E * x + 2 * k.F * y;
        const double half = (xx + yy) / 2, gap = half * half - (xx * yy - k.C * x * k.E * y);
        const double jacobian = y == 0 ? std::fabs(xx) : x == 0 ? std::fabs(yy) : std::fabs(half) + std::sqrt(std::fabs(gap));
        const double speed = std::hypot(f1[0], f1[1]);
        double h = limit - t;
        if (jacobian > 0)
            h = std::min(h, 0.1 / jacobian);
        if (speed > 0)
            h = std::min(h, 0.01 * std::max(1.0, std::max(std::fabs(x), std::fabs(y))) / speed);
        if (!(h > 0) || !std::isfinite(h))
            return basins::kNone;
        const auto f2 = field(x + h / 2 * f1[0], y + h / 2 * f1[1]);
        const auto f3 = field(x + h / 2 * f2[0], y + h / 2 * f2[1]);
        const auto f4 = field(x + h * f3[0], y + h * f3[1]);
        x += h / 6 * (f1[0] + 2 * f2[0] + 2 * f3[0] + f4[0]);
        y += h / 6 * (f1[1] + 2 * f2[1] + 2 * f3[1] + f4[1]);
        t += h;
    }
    return basins::kNone;
}

} // namespace

class AnalysisModelTest : public QObject {
    Q_OBJECT

private slots:
    void linearisation_data();
    void linearisation();
    void equilibriaOf_data();
    void equilibriaOf();
    void scaleChangesNoType_data();
    void scaleChangesNoType();
    void clipping_data();
    void clipping();
    void direction_data();
    void direction();
    void lyapunovClaim_data();
    void lyapunovClaim();
    void lyapunovClaimOnRandomSystems_data();
    void lyapunovClaimOnRandomSystems();
    void firstIntegralDrift_data();
    void firstIntegralDrift();
    void separatricesOf_data();
    void separatricesOf();
    void separatrixEnds_data();
    void separatrixEnds();
    void stableManifoldParts_data();
    void stableManifoldParts();
    void basinsBesideTheSeparatrix();
    void basinLabels_data();
    void basinLabels();
    void basinsAtEveryScale_data();
    void basinsAtEveryScale();
    void basinsAgreeWithAReference_data();
    void basinsAgreeWithAReference();
};

void AnalysisModelTest::linearisation_data()
{
    QTest::addColumn<Jacobian>("jacobian");
    QTest::addColumn<EquilibriumType>("type");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("second");
    QTest::addColumn<double>("imaginary");
    using T = EquilibriumType;
    QTest::newRow("saddle, diagonal") << matrix(4, 0, 0, -4) << T::Saddle << 4.0 << -4.0 << 0.0;
    QTest::newRow("saddle, full") << matrix(1, 2, 3, 1) << T::Saddle << 1 + std::sqrt(6.0) << 1 - std::sqrt(6.0) << 0.0;
    QTest::newRow("stable node") << matrix(-1, 0, 0, -2) << T::StableNode << -1.0 << -2.0 << 0.0;
    QTest::newRow("unstable node") << matrix(2, 1, 0, 3) << T::UnstableNode << 3.0 << 2.0 << 0.0;
    QTest::newRow("stable degenerate node") << matrix(-1, 1, 0, -1) << T::StableDegenerateNode << -1.0 << -1.0 << 0.0;
    QTest::newRow("unstable degenerate node") << matrix(2, 0, 3, 2) << T::UnstableDegenerateNode << 2.0 << 2.0 << 0.0;
    // λ I: every direction is an eigenvector.
    QTest::newRow("unstable star node") << matrix(2, 0, 0, 2) << T::UnstableStarNode << 2.0 << 2.0 << 0.0;
    QTest::newRow("stable star node") << matrix(-0.5, 0, 0, -0.5) << T::StableStarNode << -0.5 << -0.5 << 0.0;
    QTest::newRow("stable focus") << matrix(-2, -4, 2, 0) << T::StableFocus << -1.0 << -1.0 << std::sqrt(7.0);
    QTest::newRow("unstable focus") << matrix(2, -4, 6, 0) << T::UnstableFocus << 1.0 << 1.0 << std::sqrt(23.0);
    // The interior point of a system with B = F = 0: the first integral closes the orbits.
    QTest::newRow("centre") << Jacobian{0, -4, 4, 0, 0, 0, true} << T::Centre << 0.0 << 0.0 << 4.0;
    QTest::newRow("non-hyperbolic") << matrix(0, -4, 0, -1) << T::NonHyperbolic << 0.0 << -1.0 << 0.0;
    // A zero trace of a general matrix leaves the type to the nonlinear terms.
    QTest::newRow("zero trace") << matrix(0, -4, 4, 0) << T::NonHyperbolic << 0.0 << 0.0 << 4.0;
    // Diagonal entries that are sums of terms of size 2 leave rounding of about 1e-16.
    QTest::newRow("trace zero within rounding")
        << Jacobian{1e-16, -4, 4, 0, 2, 2} << T::NonHyperbolic << 0.0 << 0.0 << 4.0;
    QTest::newRow("determinant zero within rounding")
        << Jacobian{1, 1, 1 + 2 * DBL_EPSILON, 1, 1, 1} << T::NonHyperbolic << 2.0 << 0.0 << 0.0;
    QTest::newRow("repeated eigenvalue within rounding")
        << Jacobian{-1, 1e-17, 1, -1 - 2 * DBL_EPSILON, 1, 1} << T::StableDegenerateNode << -1.0 << -1.0 << 0.0;
    // Eigenvalues 5e-5 apart are no repeated eigenvalue, whatever the scale.
    QTest::newRow("close complex pair") << matrix(-1, 5e-5, -5e-5, -1) << T::StableFocus << -1.0 << -1.0 << 5e-5;
    QTest::newRow("close complex pair, tiny")
        << matrix(-1e-300, 5e-305, -5e-305, -1e-300) << T::StableFocus << -1e-300 << -1e-300 << 5e-305;
    QTest::newRow("large entries") << matrix(1e200, 1e200, 1e200, 1e200) << T::NonHyperbolic << 2e200 << 0.0 << 0.0;
    QTest::newRow("large node") << matrix(3e307, 0, 1e308, 1e308) << T::UnstableNode << 1e308 << 3e307 << 0.0;
    QTest::newRow("large saddle") << matrix(1e308, 1e308, 1e308, -1e308) << T::Saddle << 1e308 * M_SQRT2
                                  << -1e308 * M_SQRT2 << 0.0;
    QTest::newRow("trace beyond the range of a double")
        << matrix(1e308, 0, 0, 1.7e308) << T::UnstableNode << 1.7e308 << 1e308 << 0.0;
    // Eigenvalues 3e308 and 0: the type is known, the eigenvalues cannot be shown.
    QTest::newRow("eigenvalues beyond the range of a double")
        << matrix(1.5e308, 1.5e308, 1.5e308, 1.5e308) << T::NonHyperbolic << 0.0 << 0.0 << 0.0;
    QTest::newRow("beyond the range of a double")
        << matrix(HUGE_VAL, 1, 1, 1) << T::Undetermined << 0.0 << 0.0 << 0.0;
}

void AnalysisModelTest::linearisation()
{
    QFETCH(Jacobian, jacobian);
    QFETCH(EquilibriumType, type);
    QFETCH(double, first);
    QFETCH(double, second);
    QFETCH(double, imaginary);
    const Linearisation l = linearise(jacobian);
    QCOMPARE(nameOf(l.type), nameOf(type));
    QVERIFY2(close(l.eigenvalues.first, first), qPrintable(QString::number(l.eigenvalues.first, 'g', 17)));
    QVERIFY2(close(l.eigenvalues.second, second), qPrintable(QString::number(l.eigenvalues.second, 'g', 17)));
    QVERIFY2(close(l.eigenvalues.imaginary, imaginary), qPrintable(QString::number(l.eigenvalues.imaginary, 'g', 17)));
    QVERIFY(std::isfinite(l.eigenvalues.first) && std::isfinite(l.eigenvalues.second)
            && std::isfinite(l.eigenvalues.imaginary));
}

void AnalysisModelTest::equilibriaOf_data()
{
    QTest::addColumn<Coefficients>("k");
    QTest::addColumn<QString>("expected");
    QTest::newRow("default predator-prey") << Coefficients{4, 0, -1, -4, 1, 0}
                                           << "(0, 0) saddle; (4, 4) centre";
    QTest::newRow("logistic prey") << Coefficients{4, -0.5, -1, -4, 1, 0}
                                   << "(0, 0) saddle; (8, 0) saddle; (4, 2) stable focus";
    QTest::newRow("prey growing faster when many") << Coefficients{4, 0.5, -1, -4, 1, 0}
                                                   << "(0, 0) saddle; (-8, 0) stable node; (4, 6) unstable focus";
    QTest::newRow("competition, coexistence")
        << Coefficients{1, -1, -0.5, 1, -0.5, -1}
        << "(0, 0) unstable star node; (1, 0) saddle; (0, 1) saddle; (0.666666666666667, 0.666666666666667) stable node";
    QTest::newRow("two logistic species") << Coefficients{1, -1, 0, 1, 0, -1}
        << "(0, 0) unstable star node; (1, 0) saddle; (0, 1) saddle; (1, 1) stable star node";
    QTest::newRow("two logistic species, star nodes") << Coefficients{4, -1, 0, 4, 0, -1}
        << "(0, 0) unstable star node; (4, 0) saddle; (0, 4) saddle; (4, 4) stable star node";
    QTest::newRow("repeated eigenvalue, one eigenvector") << Coefficients{1, -2, 1, 2, 0, -2}
        << "(0, 0) unstable node; (0.5, 0) saddle; (0, 1) saddle; (1, 1) stable degenerate node";
    // Eigenvalues -1 ± 5e-5 i at (1, 1), then -0.999999 and -1.000101: neither is repeated.
    QTest::newRow("close complex eigenvalues") << Coefficients{0.99995, -1, 0.00005, 1.00005, -0.00005, -1}
        << "(0, 0) unstable node; (0.99995, 0) saddle; (0, 1.00005) saddle; (1, 1) stable focus";
    QTest::newRow("close real eigenvalues") << Coefficients{0.99999, -1, 0.00001, 1.00009, 0.00001, -1.0001}
        << "(0, 0) unstable node; (0.99999, 0) saddle; (0, 0.9999900009999) saddle; (1, 1) stable node";
    QTest::newRow("non-hyperbolic origin") << Coefficients{0, -1, 0, -1, 0, 0} << "(0, 0) non-hyperbolic";
    QTest::newRow("A = B = 0: the x axis") << Coefficients{0, 0, -1, -4, 1, 0}
        << "(0, 0) non-hyperbolic; (4, 0) non-hyperbolic; line 0 0 1";
    QTest::newRow("D = F = 0: the y axis") << Coefficients{4, 0, -1, 0, 1, 0}
        << "(0, 0) non-hyperbolic; (0, 4) non-hyperbolic; line 0 1 0";
    QTest::newRow("coinciding nullclines") << Coefficients{1, -1, -1, 2, -2, -2}
        << "(0, 0) unstable node; (1, 0) non-hyperbolic; (0, 1) non-hyperbolic; line 1 -1 -1";
    QTest::newRow("parallel nullclines") << Coefficients{1, -1, -1, 2, -1, -1}
        << "(0, 0) unstable node; (1, 0) saddle; (0, 2) stable node";
    QTest::newRow("x' = 0 everywhere") << Coefficients{0, 0, 0, -4, 1, 0}
        << "(0, 0) non-hyperbolic; line 0 0 1; line -4 1 0";
    QTest::newRow("nothing moves") << Coefficients{} << "plane";
    // The interior point is the axis point (3, 0), where the two meet in a transcritical
    // exchange; the two formulas round apart.
    QTest::newRow("one point reached by two formulas") << Coefficients{0.3, -0.1, -0.1, -0.9, 0.3, 0}
        << "(0, 0) saddle; (3, 0) non-hyperbolic";
    QTest::newRow("-A/B beyond the range of a double") << Coefficients{1e300, 1e-300, 0, -1, 0, 0}
        << "(0, 0) saddle";
    // Multiplying all six coefficients by one number only rescales time.
    QTest::newRow("default, slowed down by 1e-170") << Coefficients{4e-170, 0, -1e-170, -4e-170, 1e-170, 0}
                                                    << "(0, 0) saddle; (4, 4) centre";
    QTest::newRow("default, sped up by 1e155") << Coefficients{4e155, 0, -1e155, -4e155, 1e155, 0}
                                               << "(0, 0) saddle; (4, 4) centre";
    QTest::newRow("logistic prey, sped up by 1e153") << Coefficients{4e153, -1e153, -1e153, -2e153, 1e153, 0}
                                                     << "(0, 0) saddle; (4, 0) saddle; (2, 2) stable focus";
    QTest::newRow("F near the largest double") << Coefficients{1, 0, 0, 2, 0, 1e308}
                                               << "(0, 0) unstable node; (0, -2e-308) saddle";
    // Regression: with B or F not zero a trace within rounding of 0 was a centre, judged against
    // the large cancelling terms of A + 2Bx + Cy. At the interior point the trace is Bx + Fy;
    // here Bx = 2.58e-7 > 0, and the eigenvalues are 1.29e-7 ± 1.107i.
    QTest::newRow("weak unstable focus") << Coefficients{-194, -0.001405, -289.1, 0.006321, 34.4, 0}
        << "(0, 0) saddle; (-138078.291814947, 0) saddle; (-0.00018375, -0.67104807935604) unstable focus";
    // Bx + Fy = -1 + 1 exactly: the linearisation does not decide; only B = F = 0 proves a centre.
    QTest::newRow("zero trace, B and F not 0") << Coefficients{3, -1, -2, -2, 1, 1}
        << "(0, 0) saddle; (3, 0) saddle; (0, 2) saddle; (1, 1) non-hyperbolic";
    // Regression: nearly parallel nullclines (Δ = BF - CE some 1e-8 of its terms) with the meeting
    // point's numerator CD - AF below 1e-9 of its terms: it was rounded to 0, and a saddle shown on
    // the y axis where y' ≠ 0. Exact in binary: Δ = -2^-26, the saddle (1, 4); the eigenvalue
    // A + Cy = -2^-26 of (0, -D/F) is not zero either.
    QTest::newRow("nearly parallel nullclines, exact")
        << Coefficients{8.125, -0.125, -2, 4.0625 + std::ldexp(1, -27), -0.0625 - std::ldexp(1, -27), -1}
        << "(0, 0) unstable node; (65, 0) stable node; (0, 4.06250000745058) stable node; (1, 4) saddle";
    // The point solved for the doubles nearest the typed coefficients, whose rounding moves it
    // by 1e-7 of its size: the typed system has its saddle at (1, 5).
    QTest::newRow("nearly parallel nullclines, typed") << Coefficients{10.1, -0.1, -2, 5.050000005, -0.050000005, -1}
        << "(0, 0) unstable node; (101, 0) stable node; (0, 5.050000005) stable node; "
           "(1.00000008326673, 4.99999999583666) saddle";
}

void AnalysisModelTest::equilibriaOf()
{
    QFETCH(Coefficients, k);
    QFETCH(QString, expected);
    QCOMPARE(describe(equilibria(k)), expected);
}

// Coefficients all multiplied by 2^k, for every k that keeps them finite and normal, give the
// same equilibria and types, and eigenvalues 2^k times as large.
void AnalysisModelTest::scaleChangesNoType_data()
{
    QTest::addColumn<int>("largest");   // random integer coefficients in -largest..largest
    QTest::addColumn<int>("systems");
    QTest::newRow("digits, often zero") << 3 << 40;
    QTest::newRow("up to a thousand") << 1000 << 20;
}

void AnalysisModelTest::scaleChangesNoType()
{
    QFETCH(int, largest);
    QFETCH(int, systems);
    QRandomGenerator random(20261209);
    for (int n = 0; n < systems; ++n) {
        double c[6];
        for (double &v : c)
            v = random.bounded(-largest, largest + 1);
        const Coefficients k{c[0], c[1], c[2], c[3], c[4], c[5]};
        const std::vector<Equilibrium> unscaled = equilibria(k);
        for (int power = -1000; power <= 1000; ++power) {
            const Coefficients scaled{std::ldexp(k.A, power), std::ldexp(k.B, power), std::ldexp(k.C, power),
                                      std::ldexp(k.D, power), std::ldexp(k.E, power), std::ldexp(k.F, power)};
            const bool representable = std::all_of(c, c + 6, [power](double v) {
                const double s = std::ldexp(v, power);
                return std::isfinite(s) && (v == 0 || std::isnormal(s));
            });
            if (!representable)
                continue;
            const std::vector<Equilibrium> found = equilibria(scaled);
            bool same = found.size() == unscaled.size();
            for (std::size_t i = 0; same && i < found.size(); ++i) {
                const Equilibrium &e = found[i], &u = unscaled[i];
                const Eigenvalues &a = e.linearisation.eigenvalues, &b = u.linearisation.eigenvalues;
                same = e.shape == u.shape && e.x == u.x && e.y == u.y && e.type() == u.type()
                    && lineDirection(e.line) == lineDirection(u.line) && close(std::ldexp(a.first, -power), b.first)
                    && close(std::ldexp(a.second, -power), b.second)
                    && close(std::ldexp(a.imaginary, -power), b.imaginary);
            }
            if (!same)
                QFAIL(qPrintable(QStringLiteral("%1 %2 %3 %4 %5 %6 times 2^%7: %8")
                                     .arg(c[0]).arg(c[1]).arg(c[2]).arg(c[3]).arg(c[4]).arg(c[5]).arg(power)
                                     .arg(describe(found))));
        }
    }
}

void AnalysisModelTest::clipping_data()
{
    QTest::addColumn<StraightLine>("line");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QLineF>("expected");   // ends in either order
    QTest::newRow("x' = 0 of the defaults, y = 4") << StraightLine{4, 0, -1} << true << QLineF(0, 4, 10, 4);
    QTest::newRow("y' = 0 of the defaults, x = 4") << StraightLine{-4, 1, 0} << true << QLineF(4, 0, 4, 10);
    QTest::newRow("through two corners") << StraightLine{0, 1, -1} << true << QLineF(0, 0, 10, 10);
    QTest::newRow("through bottom and top") << StraightLine{-8, 4, -1} << true << QLineF(2, 0, 4.5, 10);
    QTest::newRow("through left and right") << StraightLine{-2, -0.5, 1} << true << QLineF(0, 2, 10, 7);
    QTest::newRow("along an edge") << StraightLine{0, 0, 1} << true << QLineF(0, 0, 10, 0);
    QTest::newRow("touching a corner") << StraightLine{0, 1, 1} << true << QLineF(0, 0, 0, 0);
    QTest::newRow("missing the rectangle") << StraightLine{-30, 1, 1} << false << QLineF();
    QTest::newRow("no points: B = C = 0") << StraightLine{4, 0, 0} << false << QLineF();
    QTest::newRow("every point: A = B = C = 0") << StraightLine{0, 0, 0} << false << QLineF();
    QTest::newRow("beyond the range of a double") << StraightLine{1e308, 1e-308, 0} << false << QLineF();
}

void AnalysisModelTest::clipping()
{
    QFETCH(StraightLine, line);
    QFETCH(bool, visible);
    QFETCH(QLineF, expected);
    const auto segment = clipToRect(line, PlaneRect{0, 10, 0, 10});
    QCOMPARE(segment.has_value(), visible);
    if (!segment)
        return;
    QLineF actual(segment->x1, segment->y1, segment->x2, segment->y2);
    if (std::tie(actual.p1().rx(), actual.p1().ry()) > std::tie(actual.p2().rx(), actual.p2().ry()))
        actual = QLineF(actual.p2(), actual.p1());
    for (const auto &[a, e] : {std::pair{actual.x1(), expected.x1()}, {actual.y1(), expected.y1()},
                               {actual.x2(), expected.x2()}, {actual.y2(), expected.y2()}})
        QVERIFY2(close(a, e), qPrintable(QStringLiteral("%1 for %2").arg(a, 0, 'g', 17).arg(e)));
}

void AnalysisModelTest::direction_data()
{
    QTest::addColumn<Coefficients>("k");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<bool>("defined");
    QTest::addColumn<QPointF>("expected");
    const Coefficients defaults{4, 0, -1, -4, 1, 0};
    QTest::newRow("along the x axis") << defaults << QPointF(5, 0) << true << QPointF(1, 0);
    QTest::newRow("on x' = 0") << defaults << QPointF(2, 4) << true << QPointF(0, -1);
    QTest::newRow("diagonal") << defaults << QPointF(5, 5) << true << QPointF(-M_SQRT1_2, M_SQRT1_2);
    QTest::newRow("at an equilibrium") << defaults << QPointF(4, 4) << false << QPointF();
    QTest::newRow("at an equilibrium, within rounding") << Coefficients{0.3, 0, -0.1, -0.3, 0.1, 0}
                                                        << QPointF(3, 3) << false << QPointF();
    QTest::newRow("beyond the range of a double") << Coefficients{1e300, 0, 0, 0, 0, 0}
                                                  << QPointF(1e10, 1) << false << QPointF();
}

void AnalysisModelTest::direction()
{
    QFETCH(Coefficients, k);
    QFETCH(QPointF, at);
    QFETCH(bool, defined);
    QFETCH(QPointF, expected);
    const auto d = fieldDirection(k, at.x(), at.y());
    QCOMPARE(d.has_value(), defined);
    if (d) {
        QVERIFY(close(d->dx, expected.x()));
        QVERIFY(close(d->dy, expected.y()));
    }
}

void AnalysisModelTest::lyapunovClaim_data()
{
    QTest::addColumn<Coefficients>("k");
    QTest::addColumn<bool>("proved");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    for (const ExampleSystem &e : exampleSystems()) {
        const QByteArray id(e.id);
        // The classic predator–prey form has a first integral instead; exclusion has a saddle.
        const bool proved = id != "depredador_presa" && id != "competencia_exclusion";
        QTest::newRow(e.id) << e.coefficients << proved << 0.0 << 0.0;
    }
    QTest::newRow("logistic prey: C + c2 E = 0") << Coefficients{3, -1, -1, -2, 1, 0} << true << 2.0 << 1.0;
    QTest::newRow("a species growing on itself (B > 0)") << Coefficients{-1, 0.5, -1, 3, -1, -1} << false << 0.0 << 0.0;
    QTest::newRow("no interior equilibrium") << Coefficients{1, -1, -1, -3, 1, -1} << false << 0.0 << 0.0;
    QTest::newRow("BF = CE: no single interior equilibrium") << Coefficients{3, -1, -1, 3, -1, -1} << false << 0.0 << 0.0;
    QTest::newRow("F = 0, CE > 0") << Coefficients{3, -1, 1, 1, -1, 0} << false << 0.0 << 0.0;
    QTest::newRow("huge coefficients") << Coefficients{6e300, -1e300, -1e300, 4e300, -5e299, -1e300} << true << 4.0 << 2.0;
    // Regression: a coefficient far below the others was scaled to 0, and a positive F = 5e-324,
    // where no weights exist, passed for F = 0. F < 0 however tiny leaves c1 C + c2 E = 0.
    const double x = 7.368489406417498, y = 4.522659826020499;
    QTest::newRow("F = 5e-324 > 0") << Coefficients{10.69668885465229, -1.27, -0.296, -14.884348600963346, 2.02, 5e-324}
                                    << false << 0.0 << 0.0;
    QTest::newRow("F = -1e-300") << Coefficients{10.69668885465229, -1.27, -0.296, -14.884348600963346, 2.02, -1e-300}
                                 << true << x << y;
    QTest::newRow("F = -5e-324") << Coefficients{10.69668885465229, -1.27, -0.296, -14.884348600963346, 2.02, -5e-324}
                                 << true << x << y;
    QTest::newRow("B = 5e-324 > 0") << Coefficients{1, 5e-324, -1, -2, 1, -1} << false << 0.0 << 0.0;
    QTest::newRow("B = -1e-300, F = -1e-300, CE < 0") << Coefficients{1, -1e-300, -1, -2, 1, -1e-300} << true << 2.0
                                                      << 1.0;
    // E = 0: c2/c1 must exceed C²/(4BF), near 1e299 here.
    QTest::newRow("B = -1e-300, E = 0") << Coefficients{4, -1e-300, -1, 3, 0, -1} << true << 1e300 << 3.0;
}

// Guards the claim of global stability: made where the criterion holds, never elsewhere.
void AnalysisModelTest::lyapunovClaim()
{
    QFETCH(Coefficients, k);
    QFETCH(bool, proved);
    QFETCH(double, x);
    QFETCH(double, y);
    const std::optional<LyapunovFunction> v = gohLyapunovFunction(k);
    QCOMPARE(v.has_value(), proved);
    if (!v)
        return;
    QVERIFY(v->c1 > 0 && v->c2 > 0);
    if (x > 0) {
        QVERIFY(close(v->x, x));
        QVERIFY(close(v->y, y));
    }
}

void AnalysisModelTest::lyapunovClaimOnRandomSystems_data()
{
    QTest::addColumn<QList<double>>("rare");   // values drawn besides the halves -3..3, one in three times
    QTest::newRow("halves") << QList<double>{};
    QTest::newRow("halves, subnormal and tiny") << QList<double>{5e-324, -5e-324, 1e-300, -1e-300, 3e-310, -3e-310};
}

// Guards the criterion against an independent test: on random small systems a claim is made
// exactly where B, F ≤ 0 (not both 0), an interior equilibrium exists (and is found) and BF > CE (or, with B or
// F zero, CE < 0 or C = E = 0); where it is made, dV/dt ≤ 0 on a grid of the open quadrant. The
// test's products are taken in long double, whose exponent range holds a product of any two
// doubles, subnormal ones included.
void AnalysisModelTest::lyapunovClaimOnRandomSystems()
{
    static_assert(std::numeric_limits<long double>::min_exponent < -2200);
    QFETCH(QList<double>, rare);
    QRandomGenerator random(20261209);
    int claims = 0;
    for (int n = 0; n < 4000; ++n) {
        double c[6];
        for (double &value : c)
            value = !rare.isEmpty() && random.bounded(3) == 0 ? rare[random.bounded(int(rare.size()))]
                                                              : random.bounded(-6, 7) / 2.0;
        const Coefficients k{c[0], c[1], c[2], c[3], c[4], c[5]};
        using L = long double;
        const L det = L(k.B) * k.F - L(k.C) * k.E;
        const L lx = (L(k.C) * k.D - L(k.A) * k.F) / det, ly = (L(k.A) * k.E - L(k.B) * k.D) / det;
        const double x = double(lx), y = double(ly);
        const bool interior = det != 0 && x > 0 && y > 0 && std::isfinite(x) && std::isfinite(y);
        const bool oppositeSigns = (k.C < 0 && k.E > 0) || (k.C > 0 && k.E < 0);
        const bool criterion = k.B <= 0 && k.F <= 0 && !(k.B == 0 && k.F == 0) && interior
            && (k.B < 0 && k.F < 0 ? det > 0 : (oppositeSigns || (k.C == 0 && k.E == 0)));
        // Where the products of the coefficients leave the range of a double, equilibria() may not
        // find the interior point: the criterion then has nothing to prove stable.
        const std::vector<Equilibrium> found = equilibria(k);
        const bool listed = std::any_of(found.begin(), found.end(), [](const Equilibrium &e) {
            return e.shape == Equilibrium::Shape::Point && e.x > 0 && e.y > 0;
        });
        const std::optional<LyapunovFunction> v = gohLyapunovFunction(k);
        QVERIFY2(v.has_value() == (criterion && listed), qPrintable(QStringLiteral("%1 %2 %3 %4 %5 %6")
                                                            .arg(c[0]).arg(c[1]).arg(c[2]).arg(c[3]).arg(c[4]).arg(c[5])));
        if (!v)
            continue;
        ++claims;
        QVERIFY(std::isnormal(v->c1) && std::isnormal(v->c2) && v->c1 > 0 && v->c2 > 0);
        for (int i = 1; i <= 12; ++i)
            for (int j = 1; j <= 12; ++j) {
                const double px = x * i / 4, py = y * j / 4;
                const double dv = v->derivative(k, px, py);
                const double size = std::fabs(px * (std::fabs(k.A) + std::fabs(k.B * px) + std::fabs(k.C * py)))
                    + std::fabs(py * (std::fabs(k.D) + std::fabs(k.E * px) + std::fabs(k.F * py)));
                if (!std::isfinite(size))
                    continue;   // the field itself is beyond the range of a double there
                QVERIFY2(dv <= 1e-9 * size * (v->c1 + v->c2),
                         qPrintable(QStringLiteral("%1 at (%2, %3) for %4 %5 %6 %7 %8 %9, c %10 %11")
                                        .arg(dv).arg(px).arg(py).arg(c[0]).arg(c[1]).arg(c[2]).arg(c[3]).arg(c[4])
                                        .arg(c[5]).arg(v->c1).arg(v->c2)));
            }
    }
    QVERIFY(claims > 50);
}

void AnalysisModelTest::firstIntegralDrift_data()
{
    QTest::addColumn<double>("x0");
    QTest::addColumn<double>("y0");
    QTest::newRow("from (5, 5)") << 5.0 << 5.0;
    // H(0) is 0 to the last digits there, while H's terms are about 32.
    QTest::newRow("where H is near 0") << 5.0 << 11.0460394050717;
}

// Guards the drift of H along the default trajectory: the integration keeps it to rounding,
// measured against the size of H's terms at the start, not against H(0).
void AnalysisModelTest::firstIntegralDrift()
{
    QFETCH(double, x0);
    QFETCH(double, y0);
    Model model;
    model.setDefaults();
    model.calcula([x0] { return x0; }, [y0] { return y0; });
    const Coefficients k{model.A, model.B, model.C, model.D, model.E, model.F};
    QVERIFY(hasFirstIntegral(k));
    const std::optional<double> drift = relativeDrift(k, model.xs, model.ys, model.ok);
    QVERIFY(drift.has_value());
    QVERIFY2(*drift < 1e-9, qPrintable(QString::number(*drift)));
    QVERIFY(*drift > 0);   // a true measure, not a constant
    // The largest change of H over the samples, by hand, over the sizes of its terms.
    double largest = 0;
    for (int s = kFirstSample; s <= kLastSample; ++s)
        if (model.ok(s))
            largest = std::max(largest, std::fabs(firstIntegral(k, model.xs(s), model.ys(s)) - firstIntegral(k, x0, y0)));
    const double terms = 4 * std::log(x0) + x0 + 4 * std::log(y0) + y0;
    QCOMPARE(*drift, largest / terms);
    QVERIFY(!relativeDrift({3, -1, -1, -2, 1, 0}, model.xs, model.ys, model.ok));
}

void AnalysisModelTest::separatricesOf_data()
{
    QTest::addColumn<Coefficients>("k");
    QTest::addColumn<int>("branches");   // -1: any number
    QTest::addColumn<bool>("onAxes");    // stable branches on x = 0, unstable on y = 0
    const Coefficients defaults{4, 0, -1, -4, 1, 0};
    QTest::newRow("default predator-prey") << defaults << 4 << true;
    QTest::newRow("default, sped up by 1e155") << Coefficients{4e155, 0, -1e155, -4e155, 1e155, 0} << 4 << true;
    QTest::newRow("default, slowed down by 1e-170") << Coefficients{4e-170, 0, -1e-170, -4e-170, 1e-170, 0} << 4
                                                    << true;
    QTest::newRow("competition, exclusion") << Coefficients{8, -1, -2, 7, -2, -1} << 4 << false;
    QTest::newRow("no saddle: both species die out") << Coefficients{-1, 0, 0, -2, 0, 0} << 0 << false;
    QTest::newRow("saddle beyond the border") << Coefficients{-30, 1, 0, -1, 0, 0} << 0 << false;
    QTest::newRow("coefficients of 1e300") << Coefficients{1e300, -1e300, 1e300, -1e300, 1e300, 1e300} << -1 << false;
    QTest::newRow("a field that overflows to NaN") << Coefficients{1e308, 1e308, -1e308, -1e308, 1e308, 1e308} << -1
                                                   << false;
    QTest::newRow("tiny coefficients") << Coefficients{1e-300, -1e-308, 0, -1e-300, 1e-308, 0} << -1 << false;
}

// Guards the branches: each starts at its saddle, stays finite and inside the border, and follows
// the axes where they are the manifolds.
void AnalysisModelTest::separatricesOf()
{
    QFETCH(Coefficients, k);
    QFETCH(int, branches);
    QFETCH(bool, onAxes);
    const std::vector<Separatrix> found = separatrices(k, equilibria(k));
    if (branches >= 0)
        QCOMPARE(int(found.size()), branches);
    for (const Separatrix &s : found) {
        QVERIFY(s.points.size() >= 2);
        QCOMPARE(s.points.front().x, s.saddle.x);
        QCOMPARE(s.points.front().y, s.saddle.y);
        for (const PlanePoint &p : s.points) {
            QVERIFY(std::isfinite(p.x) && std::isfinite(p.y));
            QVERIFY(std::fabs(p.x) <= separatrix_limits::kBound && std::fabs(p.y) <= separatrix_limits::kBound);
            if (onAxes)
                QVERIFY(std::fabs(s.kind == Separatrix::Kind::Stable ? p.x : p.y) <= 1e-12);
        }
    }
    if (onAxes) {
        // Each half-axis reaches the border: none ends early.
        for (const Separatrix &s : found)
            QCOMPARE(std::max(std::fabs(s.points.back().x), std::fabs(s.points.back().y)), separatrix_limits::kBound);
    }
}

void AnalysisModelTest::separatrixEnds_data()
{
    QTest::addColumn<Coefficients>("k");
    QTest::addColumn<int>("kind");         // Separatrix::Kind
    QTest::addColumn<QPointF>("end");      // where one branch of that kind ends
    QTest::addColumn<double>("length");    // and its length in the plane
    using Kind = Separatrix::Kind;
    // The saddle (0; -0,000646) lies that close to the node at the origin.
    const Coefficients beside{-4.24, -17.4, -0.438, -0.0341, -65.3, -52.8};
    QTest::newRow("saddle beside a node: stable branch to the border")
        << beside << int(Kind::Stable) << QPointF(20, -18.14) << 27.17;
    QTest::newRow("saddle beside a node: stable branch to the unstable node")
        << beside << int(Kind::Stable) << QPointF(-0.2437, 0) << 0.239;
    // The saddle (0,01; 6,98) lies 0,022 from the node (0; 7).
    const Coefficients designed{13.97, -1, -2, 7, -2, -1};
    QTest::newRow("saddle beside a node: unstable branch to the far node")
        << designed << int(Kind::Unstable) << QPointF(13.97, 0) << 16.29;
    QTest::newRow("saddle beside a node: stable branch from the origin")
        << designed << int(Kind::Stable) << QPointF(0, 0) << 6.96;
}

// Guards the step's growth away from a saddle that lies close to another equilibrium: each
// branch reaches its end (the border or an equilibrium) within the steps it is allowed.
void AnalysisModelTest::separatrixEnds()
{
    QFETCH(Coefficients, k);
    QFETCH(int, kind);
    QFETCH(QPointF, end);
    QFETCH(double, length);
    const std::vector<Equilibrium> points = equilibria(k);
    bool found = false;
    for (const Separatrix &s : separatrices(k, points)) {
        QVERIFY(s.points.size() < std::size_t(separatrix_limits::kMaxSteps) + 2);
        const PlanePoint last = s.points.back();
        const bool onBorder = std::max(std::fabs(last.x), std::fabs(last.y)) == separatrix_limits::kBound;
        const bool atEquilibrium = std::any_of(points.begin(), points.end(), [last](const Equilibrium &e) {
            return e.shape == Equilibrium::Shape::Point && std::hypot(last.x - e.x, last.y - e.y) < 0.021;
        });
        QVERIFY2(onBorder || atEquilibrium, qPrintable(QStringLiteral("%1 %2").arg(last.x).arg(last.y)));
        double travelled = 0;
        for (std::size_t i = 1; i < s.points.size(); ++i)
            travelled += std::hypot(s.points[i].x - s.points[i - 1].x, s.points[i].y - s.points[i - 1].y);
        found = found
            || (int(s.kind) == kind && std::hypot(last.x - end.x(), last.y - end.y()) < 0.03
                && std::fabs(travelled - length) < 0.01 * length);
    }
    QVERIFY(found);
}

void AnalysisModelTest::stableManifoldParts_data()
{
    QTest::addColumn<double>("along");    // where on the stable branch, as a part of its points
    QTest::addColumn<double>("offset");   // how far off it, across
    QTest::newRow("near the saddle") << 0.05 << 0.02;
    QTest::newRow("halfway") << 0.5 << 0.02;
    QTest::newRow("far out, very near") << 0.9 << 0.002;
}

// Guards the stable manifold of the exclusion example's saddle: points just either side of it
// end at different stable nodes.
void AnalysisModelTest::stableManifoldParts()
{
    QFETCH(double, along);
    QFETCH(double, offset);
    const auto examples = exampleSystems();
    const auto example = std::find_if(examples.begin(), examples.end(), [](const ExampleSystem &e) {
        return std::string_view(e.id) == "competencia_exclusion";
    });
    QVERIFY(example != examples.end());
    const Coefficients k = example->coefficients;
    const std::vector<Equilibrium> points = equilibria(k);
    std::vector<PlanePoint> stableNodes;
    for (const Equilibrium &e : points)
        if (e.shape == Equilibrium::Shape::Point && isStable(e.type()))
            stableNodes.push_back({e.x, e.y});
    QCOMPARE(int(stableNodes.size()), 2);
    int checked = 0;
    for (const Separatrix &s : separatrices(k, points)) {
        if (s.kind != Separatrix::Kind::Stable || s.points.size() < 20)
            continue;
        const std::size_t i = std::size_t(along * double(s.points.size() - 2)) + 1;
        const PlanePoint a = s.points[i - 1], b = s.points[i + 1];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        const PlanePoint across{-(b.y - a.y) / length * offset, (b.x - a.x) / length * offset};
        std::vector<int> ends;
        for (double side : {1.0, -1.0}) {
            PlanePoint p{s.points[i].x + side * across.x, s.points[i].y + side * across.y};
            for (int step = 0; step < 20000; ++step)
                p = fieldRk4Step(k, p, 0.005);
            const auto nearest = std::min_element(stableNodes.begin(), stableNodes.end(), [p](PlanePoint m, PlanePoint n) {
                return std::hypot(p.x - m.x, p.y - m.y) < std::hypot(p.x - n.x, p.y - n.y);
            });
            QVERIFY(std::hypot(p.x - nearest->x, p.y - nearest->y) < 1e-3);
            ends.push_back(int(nearest - stableNodes.begin()));
        }
        QVERIFY(ends[0] != ends[1]);
        ++checked;
    }
    QCOMPARE(checked, 2);
}

namespace {

// The stable manifold of the saddle (sx, sy), both branches backwards in time in small RK4 steps
// of their own, ordered by x: y as a function of x along it.
std::vector<QPointF> stableManifold(const Coefficients &k, double sx, double sy)
{
    const Jacobian j = jacobianAt(k, sx, sy);
    const double tr = j.xx + j.yy, det = j.xx * j.yy - j.xy * j.yx;
    const double stable = tr / 2 - std::sqrt(tr * tr / 4 - det);
    // (J - λ I) v = 0: v = (xy, λ - xx).
    const double vx = j.xy, vy = stable - j.xx, norm = std::hypot(vx, vy);
    auto f = [&k](double x, double y) {
        return QPointF(-x * (k.A + k.B * x + k.C * y), -y * (k.D + k.E * x + k.F * y));
    };
    std::vector<QPointF> points{{sx, sy}};
    for (const double sign : {-1.0, 1.0}) {
        QPointF p(sx + sign * 1e-9 * vx / norm, sy + sign * 1e-9 * vy / norm);
        for (int step = 0; step < 200000 && std::hypot(p.x(), p.y()) > 1e-9 && std::fabs(p.x()) < 25
                           && std::fabs(p.y()) < 25;
             ++step) {
            const QPointF k1 = f(p.x(), p.y());
            const double h = std::min(1e-3, 0.003 / std::hypot(k1.x(), k1.y()));
            const QPointF k2 = f(p.x() + h / 2 * k1.x(), p.y() + h / 2 * k1.y());
            const QPointF k3 = f(p.x() + h / 2 * k2.x(), p.y() + h / 2 * k2.y());
            const QPointF k4 = f(p.x() + h * k3.x(), p.y() + h * k3.y());
            p += h / 6 * (k1 + 2 * k2 + 2 * k3 + k4);
            points.push_back(p);
        }
    }
    std::sort(points.begin(), points.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); });
    return points;
}

} // namespace

// Guards the map's exactness by the separatrix of "Competencia con exclusión": a pixel more than
// one pixel from the saddle's stable manifold has the node on its side, and the labels do not
// depend on the order in which the rows are computed.
void AnalysisModelTest::basinsBesideTheSeparatrix()
{
    const Coefficients k{8, -1, -2, 7, -2, -1};
    const basins::BasinSystem system = basins::basinSystem(k, equilibria(k));
    QCOMPARE(system.attractors.size(), std::size_t(2));
    const int nodeOnX = system.attractors[0].y == 0 ? 0 : 1;   // (8, 0); the other is (0, 7)
    const basins::Grid grid{-0.375, 10.375, -0.5, 10.25, 287, 287};
    basins::Map map(grid);
    const std::atomic<bool> running{false};
    basins::computeMap(system, map, running);

    basins::Map reversed(grid);
    for (const int spacing : basins::kLevels)
        for (int row = (grid.height - 1) / spacing * spacing; row >= 0; row -= spacing)
            basins::computeRow(system, reversed, spacing, row, running);
    QVERIFY(map.labels == reversed.labels);

    const std::vector<QPointF> manifold = stableManifold(k, 2, 3);
    QVERIFY(manifold.size() > 1000);
    const double pixel = (grid.right - grid.left) / grid.width;
    // Pixels near the manifold: within one pixel of any of its points, which lie far closer
    // together than a pixel.
    std::vector<bool> near(map.labels.size(), false);
    for (std::size_t i = 1; i < manifold.size(); ++i)
        QVERIFY(std::hypot(manifold[i].x() - manifold[i - 1].x(), manifold[i].y() - manifold[i - 1].y()) < pixel / 4);
    for (const QPointF &p : manifold) {
        const int c = int(std::floor((p.x() - grid.left) / pixel)), r = int(std::floor((grid.top - p.y()) / pixel));
        for (int dr = -2; dr <= 2; ++dr)
            for (int dc = -2; dc <= 2; ++dc)
                if (c + dc >= 0 && c + dc < grid.width && r + dr >= 0 && r + dr < grid.height
                    && std::hypot(grid.x(c + dc) - p.x(), grid.y(r + dr) - p.y()) <= pixel)
                    near[std::size_t(r + dr) * std::size_t(grid.width) + std::size_t(c + dc)] = true;
    }
    int checked = 0;
    for (int row = 0; row < grid.height; ++row)
        for (int column = 0; column < grid.width; ++column) {
            const double x = grid.x(column), y = grid.y(row);
            // The open quadrant, a pixel clear of the axes (invariant lines, basin boundaries too).
            if (x <= pixel || y <= pixel || near[std::size_t(row) * std::size_t(grid.width) + std::size_t(column)])
                continue;
            const auto after = std::lower_bound(manifold.begin(), manifold.end(), x,
                                                [](QPointF p, double value) { return p.x() < value; });
            QVERIFY(after != manifold.begin() && after != manifold.end());
            const QPointF a = *(after - 1), b = *after;
            const double manifoldY = a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
            const int expected = y < manifoldY ? nodeOnX : 1 - nodeOnX;
            if (map.at(column, row) != expected)
                QFAIL(qPrintable(QStringLiteral("(%1, %2) labelled %3").arg(x).arg(y).arg(map.at(column, row))));
            ++checked;
        }
    QVERIFY(checked > 70000);
}

void AnalysisModelTest::basinLabels_data()
{
    QTest::addColumn<Coefficients>("k");
    QTest::addColumn<QRectF>("plane");
    QTest::addColumn<bool>("attractorsAllowed");
    QTest::addColumn<bool>("escapeAllowed");
    const QRectF window(-0.375, -0.5, 10.75, 10.75);
    QTest::newRow("around a centre") << Coefficients{4, 0, -1, -4, 1, 0} << QRectF(3, 3, 2, 2) << false << false;
    QTest::newRow("no stable equilibrium") << Coefficients{1, 0, 0.5, 1, 0.5, 0} << window << false << true;
    QTest::newRow("huge") << Coefficients{1e300, -1e300, 1e300, -1e300, 1e300, -1e300} << window << true << true;
    QTest::newRow("tiny") << Coefficients{1e-300, -1e-300, 0, 1e-300, 0, -1e-300} << window << true << true;
    QTest::newRow("products overflow") << Coefficients{1e308, -1e-308, 1e308, -1e308, 1e-308, 1e308} << window
                                       << true << true;
    QTest::newRow("stiff node") << Coefficients{1e6, -1e6, 0, 1e-6, 0, -1e-6} << window << true << true;
    QTest::newRow("no number") << Coefficients{NAN, 1, 0, 1, 0, 1} << window << false << false;
    QTest::newRow("all zero") << Coefficients{} << window << false << false;
}

// Guards against bad input: every cell ends with a valid label, only of the kinds the system allows.
void AnalysisModelTest::basinLabels()
{
    QFETCH(Coefficients, k);
    QFETCH(QRectF, plane);
    QFETCH(bool, attractorsAllowed);
    QFETCH(bool, escapeAllowed);
    const basins::BasinSystem system = basins::basinSystem(k, equilibria(k));
    basins::Map map({plane.left(), plane.right(), plane.top(), plane.bottom(), 40, 40});
    const std::atomic<bool> running{false};
    basins::computeMap(system, map, running);
    for (const basins::Label label : map.labels) {
        // Closed orbits only around a centre of a first integral.
        QVERIFY((label >= basins::kNone && label < basins::Label(system.attractors.size()))
                || (label == basins::kClosed && hasFirstIntegral(k)));
        QVERIFY(attractorsAllowed || label < 0);
        QVERIFY(escapeAllowed || label != basins::kEscapes);
    }
}

void AnalysisModelTest::basinsAtEveryScale_data()
{
    QTest::addColumn<int>("exponent");
    // "Competencia con exclusión" has coefficients of sizes 1 to 8: 2^-1022 and 2^1020 are the
    // extreme scales that keep them all normal; 2^-548 is about 1e-165, 2^515 about 1e155.
    for (const int exponent : {-1022, -548, -60, -1, 1, 60, 515, 1020})
        QTest::newRow(qPrintable(QStringLiteral("2^%1").arg(exponent))) << exponent;
}

// Guards the basins against a scale of the coefficients: multiplying all six by one number only
// changes the speed along each trajectory, so the map of exclusion is the same at every scale.
void AnalysisModelTest::basinsAtEveryScale()
{
    QFETCH(int, exponent);
    const Coefficients k{8, -1, -2, 7, -2, -1};
    const Coefficients scaled{std::ldexp(k.A, exponent), std::ldexp(k.B, exponent), std::ldexp(k.C, exponent),
                              std::ldexp(k.D, exponent), std::ldexp(k.E, exponent), std::ldexp(k.F, exponent)};
    const basins::Grid grid{-0.375, 10.375, -0.5, 10.25, 48, 48};
    const std::atomic<bool> running{false};
    basins::Map designed(grid), map(grid);
    basins::computeMap(basins::basinSystem(k, equilibria(k)), designed, running);
    basins::computeMap(basins::basinSystem(scaled, equilibria(scaled)), map, running);
    // Both nodes' basins show at the designed scale.
    QVERIFY(std::count(designed.labels.begin(), designed.labels.end(), basins::Label(0)) > 100);
    QVERIFY(std::count(designed.labels.begin(), designed.labels.end(), basins::Label(1)) > 100);
    for (std::size_t i = 0; i < map.labels.size(); ++i)
        if (map.labels[i] != designed.labels[i])
            QFAIL(qPrintable(QStringLiteral("cell %1: %2 at this scale, %3 at the designed one")
                                 .arg(i)
                                 .arg(map.labels[i])
                                 .arg(designed.labels[i])));
}

void AnalysisModelTest::basinsAgreeWithAReference_data()
{
    QTest::addColumn<Coefficients>("k");
    QTest::addColumn<QRectF>("plane");
    QTest::addColumn<QList<QPointF>>("witnesses");   // points checked beside the sampled pixels
    QTest::addColumn<int>("side");                    // of the map, in cells
    const QRectF designed(-0.375, -0.5, 10.75, 10.75), square(-20, -20, 40, 40);
    struct Named {
        const char *name;
        Coefficients k;
        QList<QPointF> witnesses;
    };
    std::vector<Named> systems;
    for (const ExampleSystem &example : exampleSystems())
        systems.push_back({example.id, example.coefficients, {}});
    // Slow spirals into (4, 4 + 100 B): 60 time constants are thousands of time units. From
    // (1, 0.05) the solution passes x = 23 before it turns back.
    systems.push_back({"predator-prey B = -0.05", {4, -0.05, -1, -4, 1, 0}, {{1, 0.05}, {9, 9}}});
    systems.push_back({"predator-prey B = -0.01", {4, -0.01, -1, -4, 1, 0}, {{8, 8}, {1, 0.05}, {0.5, 9}}});
    systems.push_back({"predator-prey B = -0.001", {4, -0.001, -1, -4, 1, 0}, {{4.5, 4}, {8, 8}, {1, 0.05}}});
    // A thin tongue of the origin's basin along the y axis, 12.7 < y < 20.
    systems.push_back({"tongue", {-3, -1, 0.5, -0.5, 3, 0}, {{-0.3, 16}, {-0.5, 19}, {-0.2, 14}, {0, 15}}});
    // The rest drawn once from a fixed seed: every equilibrium an isolated point.
    QRandomGenerator random(35);
    while (systems.size() < 39) {
        Coefficients k;
        for (double *c : {&k.A, &k.B, &k.C, &k.D, &k.E, &k.F})
            *c = random.bounded(17) / 2.0 - 4;
        const std::vector<Equilibrium> list = equilibria(k);
        if (std::all_of(list.begin(), list.end(), [](const Equilibrium &e) {
                return e.shape == Equilibrium::Shape::Point && e.type() != EquilibriumType::NonHyperbolic
                       && e.type() != EquilibriumType::Undetermined;
            }))
            systems.push_back({nullptr, k, {}});
    }
    for (std::size_t i = 0; i < systems.size(); ++i) {
        const Named &s = systems[i];
        const QString name = s.name ? QString::fromUtf8(s.name) : QStringLiteral("system %1").arg(i);
        // Odd sides put a column and a row on the axes in the whole square.
        const int side = s.name ? 143 : 71;
        QTest::newRow(qPrintable(name + QStringLiteral(", designed view"))) << s.k << designed << s.witnesses << side;
        QTest::newRow(qPrintable(name + QStringLiteral(", whole square"))) << s.k << square << s.witnesses << side;
    }
}

// Guards every label against a careful reference integration that follows each solution to its
// true fate however far it travels: on sampled pixels, and on the witness points, a label differs
// from the reference only within one pixel of a boundary, where some neighbour's reference differs.
void AnalysisModelTest::basinsAgreeWithAReference()
{
    QFETCH(Coefficients, k);
    QFETCH(QRectF, plane);
    QFETCH(QList<QPointF>, witnesses);
    QFETCH(int, side);
    const std::vector<Equilibrium> list = equilibria(k);
    const basins::BasinSystem system = basins::basinSystem(k, list);
    const basins::Grid grid{plane.left(), plane.right(), plane.top(), plane.bottom(), side, side};
    basins::Map map(grid);
    const std::atomic<bool> running{false};
    basins::computeMap(system, map, running);
    // Closed orbits and "nothing reached" are alike to the reference: bounded, no attractor.
    const auto same = [](basins::Label label, basins::Label reference) {
        return label == reference || (reference == basins::kNone && label == basins::kClosed);
    };
    std::vector<std::pair<int, int>> cells;
    for (const QPointF &p : witnesses)
        if (plane.contains(p))
            cells.emplace_back(int((p.x() - grid.left) / (grid.right - grid.left) * grid.width),
                               int((grid.top - p.y()) / (grid.top - grid.bottom) * grid.height));
    QRandomGenerator random(7);
    for (int i = 0; i < 24; ++i)
        cells.emplace_back(int(random.bounded(grid.width)), int(random.bounded(grid.height)));
    for (const auto &[column, row] : cells) {
        const basins::Label reference = referenceFate(system, list, grid.x(column), grid.y(row));
        const basins::Label label = map.at(column, row);
        if (same(label, reference))
            continue;
        bool nearBoundary = false;
        for (int dr = -1; dr <= 1 && !nearBoundary; ++dr)
            for (int dc = -1; dc <= 1 && !nearBoundary; ++dc)
                nearBoundary = (dr != 0 || dc != 0) && column + dc >= 0 && column + dc < grid.width && row + dr >= 0
                               && row + dr < grid.height
                               && referenceFate(system, list, grid.x(column + dc), grid.y(row + dr)) != reference;
        if (!nearBoundary)
            QFAIL(qPrintable(QStringLiteral("(%1, %2) labelled %3, its fate is %4")
                                 .arg(grid.x(column))
                                 .arg(grid.y(row))
                                 .arg(label)
                                 .arg(reference)));
    }
}

QTEST_GUILESS_MAIN(AnalysisModelTest)
#include "analysis_model_test.moc"
