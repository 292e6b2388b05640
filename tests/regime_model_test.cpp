// The regime of a system against its equilibria and against integrated solutions.
#include "model/analysis/equilibria.h"
#include "model/analysis/regime.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <random>

Q_DECLARE_METATYPE(Regime)
Q_DECLARE_METATYPE(Coefficients)

namespace {

// The stable points in the quadrant a regime names: origin, x axis, y axis, interior.
struct StableSet {
    bool origin = false, xAxis = false, yAxis = false, interior = false;
    friend bool operator==(const StableSet &, const StableSet &) = default;
};

StableSet named(Regime r)
{
    using R = Regime;
    StableSet s;
    s.origin = r == R::Extinction || r == R::ExtinctionOrUnbounded || r == R::ExtinctionOrCoexistence;
    s.xAxis = r == R::XWins || r == R::XWinsOrUnbounded || r == R::Bistable || r == R::BistableOrUnbounded;
    s.yAxis = r == R::YWins || r == R::YWinsOrUnbounded || r == R::Bistable || r == R::BistableOrUnbounded;
    s.interior = r == R::Coexistence || r == R::CoexistenceOrUnbounded || r == R::ExtinctionOrCoexistence;
    return s;
}

// Whether the solution from (x0, y0) passes 1e6 within the time limit: RK4 with a step that
// moves the solution at most 0.02 (1 + x + y), at most 40 000 steps.
bool escapesFrom(const Coefficients &k, double x0, double y0)
{
    const auto field = [&k](double x, double y, double &dx, double &dy) {
        dx = x * (k.A + k.B * x + k.C * y);
        dy = y * (k.D + k.E * x + k.F * y);
    };
    double x = x0, y = y0, t = 0;
    for (int step = 0; step < 40000 && t < 60; ++step) {
        double ax, ay, bx, by, cx, cy, dx, dy;
        field(x, y, ax, ay);
        const double h = std::min(0.05, 0.02 * (1 + x + y) / (std::hypot(ax, ay) + 1e-9));
        field(x + h / 2 * ax, y + h / 2 * ay, bx, by);
        field(x + h / 2 * bx, y + h / 2 * by, cx, cy);
        field(x + h * cx, y + h * cy, dx, dy);
        x += h / 6 * (ax + 2 * bx + 2 * cx + dx);
        y += h / 6 * (ay + 2 * by + 2 * cy + dy);
        t += h;
        if (!(x + y < 1e6))
            return true;
    }
    return false;
}

// Whether some start on a grid of the closed quadrant escapes.
bool someStartEscapes(const Coefficients &k)
{
    const double starts[] = {0, 0.3, 1, 3, 10};
    for (double x0 : starts)
        for (double y0 : starts)
            if (escapesFrom(k, x0, y0))
                return true;
    return false;
}

} // namespace

class RegimeModelTest : public QObject {
    Q_OBJECT

private slots:
    void competitionPlane_data();
    void competitionPlane();
    void competitionBoundaries_data();
    void competitionBoundaries();
    void agreesWithEquilibria();
    void growthAgreesWithIntegration();
    void centreCyclesInsideAndGrowsOnAnAxis_data();
    void centreCyclesInsideAndGrowsOnAnAxis();
};

// x' = x (1 - x + C y), y' = y (1 + E x - y): the four cases of competition meet at (-1, -1).
// Half a pixel of a 400-pixel map of [-3, 1] either side of each line.
void RegimeModelTest::competitionPlane_data()
{
    QTest::addColumn<double>("C");
    QTest::addColumn<double>("E");
    QTest::addColumn<Regime>("regime");
    const double h = 0.005;
    QTest::newRow("weak both ways") << -1 + h << -1 + h << Regime::Coexistence;
    QTest::newRow("strong both ways") << -1 - h << -1 - h << Regime::Bistable;
    QTest::newRow("x strong on y") << -1 + h << -1 - h << Regime::XWins;
    QTest::newRow("y strong on x") << -1 - h << -1 + h << Regime::YWins;
    QTest::newRow("far weak") << -0.2 << 0.0 << Regime::Coexistence;
    QTest::newRow("far bistable") << -2.9 << -2.5 << Regime::Bistable;
}

void RegimeModelTest::competitionPlane()
{
    QFETCH(double, C);
    QFETCH(double, E);
    QFETCH(Regime, regime);
    QCOMPARE(regimeOf({1, -1, C, 1, E, -1}), regime);
}

// Along a row or a column of the map the boundary stands exactly on C = -1 or E = -1.
void RegimeModelTest::competitionBoundaries_data()
{
    QTest::addColumn<int>("coefficient");
    QTest::addColumn<double>("other");
    QTest::newRow("along C, E = -0.5") << 2 << -0.5;
    QTest::newRow("along C, E = -2") << 2 << -2.0;
    QTest::newRow("along E, C = -0.5") << 4 << -0.5;
    QTest::newRow("along E, C = -2.7") << 4 << -2.7;
}

void RegimeModelTest::competitionBoundaries()
{
    QFETCH(int, coefficient);
    QFETCH(double, other);
    Coefficients k{1, -1, other, 1, other, -1};
    const std::vector<double> found = regimeBoundaries(k, coefficient, -3, 1);
    QCOMPARE(found.size(), std::size_t(1));
    QCOMPARE(found.front(), -1.0);
}

// The stable points the regime names are those equilibria() finds stable in the quadrant, and
// a borderline regime comes only with an undecided point there or undecided growth.
void RegimeModelTest::agreesWithEquilibria()
{
    std::mt19937_64 random(33);
    std::uniform_real_distribution<double> real(-2, 2);
    std::uniform_int_distribution<int> small(-2, 2);
    for (int i = 0; i < 10000; ++i) {
        // Half of them with small integers, where zeros and ties are common.
        const bool whole = i % 2 == 0;
        const auto draw = [&] { return whole ? double(small(random)) : real(random); };
        const Coefficients k{draw(), draw(), draw(), draw(), draw(), draw()};
        StableSet found;
        bool undecided = false, line = false, centre = false;
        for (const Equilibrium &e : equilibria(k)) {
            if (e.shape != Equilibrium::Shape::Point) {
                line = line || e.shape == Equilibrium::Shape::Plane || e.line.a == 0
                    || (e.line.b != 0 && (e.line.b > 0) != (e.line.a > 0))
                    || (e.line.c != 0 && (e.line.c > 0) != (e.line.a > 0));
                continue;
            }
            if (e.x < 0 || e.y < 0)
                continue;
            const EquilibriumType t = e.type();
            undecided = undecided || t == EquilibriumType::NonHyperbolic || t == EquilibriumType::Undetermined;
            centre = centre || t == EquilibriumType::Centre;
            if (isStable(t))
                (e.x == 0 && e.y == 0 ? found.origin : e.y == 0 ? found.xAxis : e.x == 0 ? found.yAxis : found.interior) = true;
        }
        const Regime r = regimeOf(k);
        const QByteArray what = QByteArray::number(i) + ": " + regimeName(r);
        // Times a power of two, exactly, the system keeps its regime, at the edges of the
        // scaling's shortcuts too.
        for (int power : {-1010, -1000, 1000, 1015}) {
            const auto times = [power](double v) { return std::ldexp(v, power); };
            const Coefficients big{times(k.A), times(k.B), times(k.C), times(k.D), times(k.E), times(k.F)};
            QVERIFY2(regimeOf(big) == r, what + " times 2^" + QByteArray::number(power));
        }
        QVERIFY2((r == Regime::LineOfEquilibria || r == Regime::PlaneOfEquilibria) == line, what);
        if (line)
            continue;
        QVERIFY2((r == Regime::Borderline) == (undecided || growthOf(k) == Growth::Undecided
                                               || (!centre && named(r) != found)),
                 what);
        if (r != Regime::Borderline)
            QVERIFY2(named(r) == found && (r == Regime::NeutralCyclesUnboundedOnAxis) == centre, what);
    }
}

// Where the regime claims growth without bound some start of a grid escapes, and where it claims
// none none does.
void RegimeModelTest::growthAgreesWithIntegration()
{
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> small(-2, 2);
    int unbounded = 0, bounded = 0;
    for (int i = 0; i < 400; ++i) {
        const Coefficients k{double(small(random)), double(small(random)), double(small(random)),
                             double(small(random)), double(small(random)), double(small(random))};
        const Growth growth = growthOf(k);
        if (growth == Growth::Undecided)
            continue;
        const bool escapes = someStartEscapes(k);
        (growth == Growth::Unbounded ? unbounded : bounded) += 1;
        QVERIFY2(escapes == (growth == Growth::Unbounded),
                 qPrintable(QStringLiteral("A=%1 B=%2 C=%3 D=%4 E=%5 F=%6")
                                .arg(k.A).arg(k.B).arg(k.C).arg(k.D).arg(k.E).arg(k.F)));
    }
    QVERIFY(unbounded > 50 && bounded > 50);
}

// Guards the centre's name: closed orbits inside, and one species alone growing on its axis.
void RegimeModelTest::centreCyclesInsideAndGrowsOnAnAxis_data()
{
    QTest::addColumn<Coefficients>("k");
    QTest::addColumn<double>("xAlone");   // the start on the x axis, 0 for none
    QTest::addColumn<double>("yAlone");
    QTest::newRow("x the prey") << Coefficients{1, 0, -1, -1, 1, 0} << 0.5 << 0.0;
    QTest::newRow("y the prey") << Coefficients{-1, 0, 1, 1, -1, 0} << 0.0 << 0.5;
    QTest::newRow("x the prey, unequal rates") << Coefficients{2, 0, -0.5, -0.3, 0.2, 0} << 1.0 << 0.0;
}

void RegimeModelTest::centreCyclesInsideAndGrowsOnAnAxis()
{
    QFETCH(Coefficients, k);
    QFETCH(double, xAlone);
    QFETCH(double, yAlone);
    QCOMPARE(regimeOf(k), Regime::NeutralCyclesUnboundedOnAxis);
    QCOMPARE(growthOf(k), Growth::Unbounded);
    const double x = -k.D / k.E, y = -k.A / k.C;
    for (double factor : {0.2, 0.7, 1.5, 4.0})
        QVERIFY2(!escapesFrom(k, x * factor, y), qPrintable(QString::number(factor)));
    QVERIFY(escapesFrom(k, xAlone, yAlone));
    QVERIFY(!escapesFrom(k, yAlone == 0 ? 0 : 5, xAlone == 0 ? 0 : 5));   // the other axis decays
}

QTEST_GUILESS_MAIN(RegimeModelTest)
#include "regime_model_test.moc"
