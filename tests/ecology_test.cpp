// The ecological forms: their formulas, the way back from the coefficients, the text for
// coefficients of no form, and the outcome in words against the program's own equilibria.
#include "model/analysis/bifurcation.h"
#include "model/analysis/equilibria.h"
#include "model/analysis/examples.h"
#include "model/analysis/type_names.h"
#include "model/ecology/ecological_form.h"
#include "model/ecology/example_forms.h"
#include "model/ecology/form_mismatch.h"
#include "model/ecology/outcome.h"

#include <QRandomGenerator>
#include <QTest>

#include <bit>
#include <cmath>
#include <cstdint>
#include <set>

Q_DECLARE_METATYPE(Coefficients)
Q_DECLARE_METATYPE(EcologicalParameters)

namespace {

using F = EcologicalForm;

EcologicalParameters of(F form, std::initializer_list<double> values)
{
    EcologicalParameters p{form, {}};
    std::copy(values.begin(), values.end(), p.values.begin());
    return p;
}

std::string plainNumber(double value)
{
    return QString::number(value, 'g', 15).toStdString();
}

// How many doubles lie between a and b (of one sign, or zeros).
std::int64_t ulpsApart(double a, double b)
{
    if (a == b)
        return 0;
    const auto bits = [](double v) { return std::bit_cast<std::int64_t>(std::fabs(v)); };
    return std::signbit(a) != std::signbit(b) ? INT64_MAX : std::abs(bits(a) - bits(b));
}

// A rate, capacity or coefficient: on a grid of halves up to 4 half the time, so that ties such as
// K₁ = K₂/α₂₁ come up often, otherwise spread over six orders of magnitude.
double randomValue(QRandomGenerator &random)
{
    if (random.bounded(2) == 0)
        return (1 + random.bounded(8)) / 2.0;
    return std::exp(random.bounded(6.0) - 3);
}

// A harvest: none a third of the time, else on the grid of halves up to 4, often r or more.
double randomHarvest(QRandomGenerator &random)
{
    return random.bounded(3) == 0 ? 0 : random.bounded(9) / 2.0;
}

EcologicalParameters randomParameters(QRandomGenerator &random, F form, bool harvest)
{
    EcologicalParameters p{form, {}};
    const auto list = parametersOf(form);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const ParameterDomain domain = list[i].domain;
        p.values[i] = domain == ParameterDomain::NonNegative ? (harvest ? randomHarvest(random) : 0)
                    : domain == ParameterDomain::PositiveOrInfinite && random.bounded(3) == 0 ? HUGE_VAL
                                                                                            : randomValue(random);
    }
    return p;
}

// What the program's equilibria say of the closed first quadrant: which points are stable and
// which the linearisation leaves undecided, each named by where it lies.
struct Verdict {
    std::set<std::string> stable, undecided;
    bool line = false, centre = false;
    const Equilibrium *interior = nullptr;
    std::vector<Equilibrium> list;
};

Verdict verdictOf(const Coefficients &k)
{
    Verdict v;
    v.list = equilibria(k);
    for (const Equilibrium &e : v.list) {
        if (e.shape != Equilibrium::Shape::Point) {
            v.line = true;
            continue;
        }
        if (e.x < 0 || e.y < 0)
            continue;
        const std::string where = e.x == 0 && e.y == 0 ? "origin" : e.y == 0 ? "x" : e.x == 0 ? "y" : "interior";
        if (where == "interior")
            v.interior = &e;
        if (isStable(e.type()))
            v.stable.insert(where);
        if (e.type() == EquilibriumType::NonHyperbolic)
            v.undecided.insert(where);
        v.centre = v.centre || e.type() == EquilibriumType::Centre;
    }
    return v;
}

bool has(const std::string &text, const char *phrase)
{
    return text.find(phrase) != std::string::npos;
}

} // namespace

class EcologyTest : public QObject {
    Q_OBJECT

private slots:
    void formulas_data();
    void formulas();
    void outsideTheDomain_data();
    void outsideTheDomain();
    void mismatch_data();
    void mismatch();
    void examplesFitAForm();
    void roundTrips_data();
    void roundTrips();
    void outcome_data();
    void outcome();
    void outcomeAgreesWithTheEquilibria_data();
    void outcomeAgreesWithTheEquilibria();
};

void EcologyTest::formulas_data()
{
    QTest::addColumn<EcologicalParameters>("parameters");
    QTest::addColumn<Coefficients>("expected");
    QTest::newRow("competition") << of(F::Competition, {1, 100, 0.5, 2, 80, 0.25, 0, 0})
                                 << Coefficients{1, -0.01, -0.005, 2, -0.00625, -0.025};
    QTest::newRow("competition, harvest") << of(F::Competition, {1, 100, 0.5, 2, 80, 0.25, 0.25, 2.5})
                                          << Coefficients{0.75, -0.01, -0.005, -0.5, -0.00625, -0.025};
    // No limit is a plain 0, not the −0 that −r/∞ makes.
    QTest::newRow("predator-prey, K = ∞") << of(F::PredatorPrey, {4, 1, 1, 4, HUGE_VAL, 0, 0})
                                          << Coefficients{4, 0, -1, -4, 1, 0};
    QTest::newRow("predator-prey, K = 3") << of(F::PredatorPrey, {3, 1, 1, 2, 3, 0, 0})
                                          << Coefficients{3, -1, -1, -2, 1, 0};
    QTest::newRow("predator-prey, harvest") << of(F::PredatorPrey, {3, 0.5, 0.25, 2, 6, 1, 0.5})
                                            << Coefficients{2, -0.5, -0.5, -2.5, 0.25, 0};
    QTest::newRow("mutualism") << of(F::Mutualism, {2.5, 2.5, 0.5, 1, 1, 0.5, 0, 0})
                               << Coefficients{2.5, -1, 0.5, 1, 0.5, -1};
}

void EcologyTest::formulas()
{
    QFETCH(EcologicalParameters, parameters);
    QFETCH(Coefficients, expected);
    QVERIFY(isValid(parameters) && fitsItsForm(parameters));
    QVERIFY(bitIdentical(coefficientsOf(parameters), expected));
    const auto back = parametersFrom(expected, parameters.form, parameters.value("h1"), parameters.value("h2"));
    QVERIFY(back);
    QCOMPARE(*back, parameters);
}

void EcologyTest::outsideTheDomain_data()
{
    QTest::addColumn<EcologicalParameters>("parameters");
    QTest::addColumn<bool>("valid");   // isValid; fitsItsForm is false in every row
    QTest::newRow("K₁ = 0") << of(F::Competition, {1, 0, 0.5, 1, 1, 1, 0, 0}) << false;
    QTest::newRow("α₁₂ < 0") << of(F::Competition, {1, 1, -0.5, 1, 1, 1, 0, 0}) << false;
    QTest::newRow("K₂ = ∞ outside predator-prey") << of(F::Mutualism, {1, 1, 0.5, 1, HUGE_VAL, 1, 0, 0}) << false;
    QTest::newRow("r NaN") << of(F::PredatorPrey, {NAN, 1, 1, 1, 1, 0, 0}) << false;
    QTest::newRow("h₂ < 0") << of(F::PredatorPrey, {1, 1, 1, 1, 1, 0, -0.25}) << false;
    QTest::newRow("h₁ = ∞") << of(F::Competition, {1, 1, 1, 1, 1, 1, HUGE_VAL, 0}) << false;
    // Valid one by one, but r₁/K₁ leaves the doubles: B would be −∞, or −0 and no competition.
    QTest::newRow("r₁/K₁ overflows") << of(F::Competition, {1e10, 1e-300, 1, 1, 1, 1, 0, 0}) << true;
    QTest::newRow("r₁/K₁ underflows") << of(F::Mutualism, {1e-300, 1e300, 1, 1, 1, 1, 0, 0}) << true;
    // r/K underflows to 0, which reads back as K = ∞.
    QTest::newRow("finite K read as none") << of(F::PredatorPrey, {1e-300, 1, 1, 1, 1e300, 0, 0}) << true;
}

void EcologyTest::outsideTheDomain()
{
    QFETCH(EcologicalParameters, parameters);
    QFETCH(bool, valid);
    QCOMPARE(isValid(parameters), valid);
    QVERIFY(!fitsItsForm(parameters));
    QCOMPARE(outcomeSentence(parameters, plainNumber), std::string());
}

void EcologyTest::mismatch_data()
{
    QTest::addColumn<Coefficients>("k");
    QTest::addColumn<int>("form");
    QTest::addColumn<double>("h1");
    QTest::addColumn<double>("h2");
    QTest::addColumn<QString>("expected");
    const QString head = QStringLiteral("Estos coeficientes no tienen la forma de ");
    QTest::newRow("fits") << Coefficients{1, -0.01, -0.005, 2, -0.00625, -0.025} << 0 << 0.0 << 0.0 << QString();
    QTest::newRow("competition, C") << Coefficients{1, -0.01, 0.005, -2, 0.1, -0.025} << 0 << 0.0 << 0.0
                                    << head + "«Competencia»: C debe ser negativo y es 0.005";
    QTest::newRow("competition, A with harvest") << Coefficients{-1, -1, -1, 1, -1, -1} << 0 << 0.5 << 0.0
                                                 << head + "«Competencia»: r₁ = A + h₁ debe ser positivo y es -0.5";
    QTest::newRow("predator-prey, F") << Coefficients{4, 0, -1, -4, 1, -1} << 1 << 0.0 << 0.0
                                      << head + "«Depredador y presa»: F debe ser cero y es -1";
    QTest::newRow("predator-prey, m with harvest") << Coefficients{4, 0, -1, 0.5, 1, 0} << 1 << 0.0 << 1.0
                                                   << head + "«Depredador y presa»: m = −D − h₂ debe ser positivo y es -1.5";
    // An obligate mutualist: y dies out without x.
    QTest::newRow("mutualism, D") << Coefficients{2.5, -1, 0.5, -1, 1, -1} << 2 << 0.0 << 0.0
                                  << head + "«Mutualismo»: D debe ser positivo y es -1";
    QTest::newRow("bad harvest") << Coefficients{4, 0, -1, -4, 1, 0} << 1 << -1.0 << 0.0
                                 << head + "«Depredador y presa»: la cosecha debe ser positiva o cero";
    // Regression: a B so small that r/−B overflowed came back as K = ∞, which gives B = 0.
    QTest::newRow("K beyond the doubles") << Coefficients{4, -1e-320, -1, -4, 1, 0} << 1 << 0.0 << 0.0
        << head + "«Depredador y presa»: sus parámetros no caben en el intervalo de los números del programa";
}

void EcologyTest::mismatch()
{
    QFETCH(Coefficients, k);
    QFETCH(int, form);
    QFETCH(double, h1);
    QFETCH(double, h2);
    QFETCH(QString, expected);
    const auto f = static_cast<F>(form);
    QCOMPARE(QString::fromStdString(mismatchSentence(k, f, plainNumber, h1, h2)), expected);
    QCOMPARE(parametersFrom(k, f, h1, h2).has_value(), expected.isEmpty());
}

// Each example opens with its form shown, and its parameters give its coefficients back to
// the last bit: every quotient of these round coefficients is exact.
void EcologyTest::examplesFitAForm()
{
    const char *const forms[] = {"Depredador y presa", "Depredador y presa", "Competencia", "Competencia", "Mutualismo"};
    QCOMPARE(exampleSystems().size(), std::size(forms));
    for (std::size_t i = 0; i < std::size(forms); ++i) {
        const ExampleSystem &example = exampleSystems()[i];
        QCOMPARE(exampleFormName(example), forms[i]);
        const auto p = formOf(example.coefficients);
        QVERIFY(p && fitsItsForm(*p));
        QVERIFY2(bitIdentical(coefficientsOf(*p), example.coefficients), example.id);
        QVERIFY(!outcomeSentence(*p, plainNumber).empty());
    }
}

void EcologyTest::roundTrips_data()
{
    QTest::addColumn<int>("form");
    QTest::newRow("competition") << 0;
    QTest::newRow("predator-prey") << 1;
    QTest::newRow("mutualism") << 2;
}

// A–F → form → A–F and parameters → A–F → parameters on 10 000 seeded systems of each form.
// Each operation rounds once, by at most half an ulp, so a value made by n operations from one
// that is exact lies within n ulps of it:
//   A, D               r = A + h, then r − h: bitwise without harvest; with it within an ulp of
//                      |A| + h, the size of the terms.
//   B, F (and B of     K = r/(−B), then −(r/K): 2 ulps.
//   predator-prey)
//   C, E               α = C/B and K, then −((r α)/K): 4 ulps.
//   C, D, E, F of predator-prey: bitwise (a sign change, or 0).
// The other way, without harvest, r and a, b, m come back bitwise, K within 2 ulps (r/K, then
// r over that) and α within 3 ((r α)/K, then over r/K).
void EcologyTest::roundTrips()
{
    QFETCH(int, form);
    const auto f = static_cast<F>(form);
    QRandomGenerator random(31 + form);
    const bool twoSpecies = f != F::PredatorPrey;
    const std::int64_t bound[6] = {0, 2, twoSpecies ? 4 : 0, 0, twoSpecies ? 4 : 0, twoSpecies ? 2 : 0};
    std::int64_t worst[6] = {};
    for (int n = 0; n < 10000; ++n) {
        const EcologicalParameters p = randomParameters(random, f, n % 2 == 1);
        const double h1 = p.value("h1"), h2 = p.value("h2");
        const Coefficients k = coefficientsOf(p);
        const auto back = parametersFrom(k, f, h1, h2);
        QVERIFY(back);
        const Coefficients again = coefficientsOf(*back);
        const double before[6] = {k.A, k.B, k.C, k.D, k.E, k.F}, after[6] = {again.A, again.B, again.C, again.D, again.E, again.F};
        for (int i = 0; i < 6; ++i) {
            if ((i == 0 && h1 != 0) || (i == 3 && h2 != 0)) {
                const double terms = std::fabs(before[i]) + (i == 0 ? h1 : h2);
                QVERIFY2(std::fabs(after[i] - before[i]) <= std::nextafter(terms, HUGE_VAL) - terms, coefficientName(i));
                continue;
            }
            worst[i] = std::max(worst[i], ulpsApart(after[i], before[i]));
            QVERIFY2(worst[i] <= bound[i], qPrintable(QStringLiteral("%1: %2 ulps").arg(coefficientName(i)).arg(worst[i])));
        }
        if (h1 == 0 && h2 == 0) {
            const auto list = parametersOf(f);
            for (std::size_t i = 0; i < list.size(); ++i) {
                const std::string id = list[i].id;
                const std::int64_t allowed = id[0] == 'K' ? 2 : id.starts_with("alfa") || id.starts_with("beta") ? 3 : 0;
                QVERIFY2(ulpsApart(back->values[i], p.values[i]) <= allowed, list[i].id);
            }
        }
    }
    qInfo("worst ulps, A to F: %lld %lld %lld %lld %lld %lld", static_cast<long long>(worst[0]),
          static_cast<long long>(worst[1]), static_cast<long long>(worst[2]), static_cast<long long>(worst[3]),
          static_cast<long long>(worst[4]), static_cast<long long>(worst[5]));
}

void EcologyTest::outcome_data()
{
    QTest::addColumn<EcologicalParameters>("parameters");
    QTest::addColumn<QString>("expected");
    const auto competition = [](double K1, double alpha12, double K2, double alpha21, double h1 = 0, double h2 = 0) {
        return of(F::Competition, {1, K1, alpha12, 1, K2, alpha21, h1, h2});
    };
    QTest::newRow("x wins") << competition(100, 0.5, 90, 1.125)
        << QStringLiteral("K₁ = 100 > K₂/α₂₁ = 80 y K₂ = 90 < K₁/α₁₂ = 200: gana la especie x");
    QTest::newRow("y wins") << competition(60, 1, 90, 1.125)
        << QStringLiteral("K₁ = 60 < K₂/α₂₁ = 80 y K₂ = 90 > K₁/α₁₂ = 60: gana la especie y");
    QTest::newRow("coexistence") << competition(6, 1, 4, 0.5)
        << QStringLiteral("K₁ = 6 < K₂/α₂₁ = 8 y K₂ = 4 < K₁/α₁₂ = 6: las dos especies coexisten: el equilibrio interior es un nodo estable");
    QTest::newRow("the start decides") << competition(8, 2, 7, 2)
        << QStringLiteral("K₁ = 8 > K₂/α₂₁ = 3.5 y K₂ = 7 > K₁/α₁₂ = 4: biestable: gana quien empieza con ventaja, según el lado de la separatriz del punto de silla interior en que empiecen");
    QTest::newRow("K₁ = K₂/α₂₁") << competition(80, 0.5, 90, 1.125)
        << QStringLiteral("K₁ = K₂/α₂₁ = 80 y K₂ = 90 < K₁/α₁₂ = 160: gana la especie x (despacio: su equilibrio no es hiperbólico)");
    QTest::newRow("K₂ = K₁/α₁₂") << competition(15, 0.5, 30, 1.125)
        << QStringLiteral("K₁ = 15 < K₂/α₂₁ = 26.6666666666667 y K₂ = K₁/α₁₂ = 30: gana la especie y (despacio: su equilibrio no es hiperbólico)");
    QTest::newRow("isoclines one line") << competition(2, 2, 1, 0.5)
        << QStringLiteral("K₁ = K₂/α₂₁ = 2 y K₂ = K₁/α₁₂ = 1: las isoclinas coinciden en una recta de equilibrios, y cada solución se detiene en el punto de ella que le corresponde según su inicio");
    QTest::newRow("harvest") << competition(100, 0.5, 90, 1.125, 0.25, 0.5)
        << QStringLiteral("Con la cosecha, K₁(1 − h₁/r₁) = 75 > K₂(1 − h₂/r₂)/α₂₁ = 40 y K₂(1 − h₂/r₂) = 45 < K₁(1 − h₁/r₁)/α₁₂ = 150: gana la especie x");
    QTest::newRow("overharvest of x") << competition(100, 0.5, 90, 1.125, 1, 0.5)
        << QStringLiteral("r₁ = 1 ≤ h₁ = 1: la especie x se extingue aunque esté sola; gana la especie y, en K₂(1 − h₂/r₂) = 45");
    QTest::newRow("overharvest of both") << competition(100, 0.5, 90, 1.125, 2, 1.5)
        << QStringLiteral("r₁ = 1 ≤ h₁ = 2 y r₂ = 1 ≤ h₂ = 1.5: la cosecha acaba con las dos especies, aunque estén solas: se extinguen");
    QTest::newRow("neutral cycles") << of(F::PredatorPrey, {4, 1, 1, 4, HUGE_VAL, 0, 0})
        << QStringLiteral("x* = m/b = 4, y* = r/a = 4: sin capacidad de carga de la presa, ciclos neutros: órbitas cerradas alrededor de ese centro, cada una según su punto inicial, y en cada ciclo la media de x es x* y la de y, y*");
    QTest::newRow("damped") << of(F::PredatorPrey, {3, 1, 1, 2, 3, 0, 0})
        << QStringLiteral("x* = m/b = 2, y* = (r/a)(1 − m/(bK)) = 1: con K = 3, las oscilaciones se amortiguan hacia ese equilibrio (foco estable)");
    QTest::newRow("damped without oscillation") << of(F::PredatorPrey, {3, 1, 1, 2, 2.1, 0, 0})
        << QStringLiteral("x* = m/b = 2, y* = (r/a)(1 − m/(bK)) = 0.142857142857143: con K = 2.1, las poblaciones se acercan a ese equilibrio sin oscilar (nodo estable)");
    QTest::newRow("K < x*") << of(F::PredatorPrey, {3, 1, 1, 2, 1.5, 0, 0})
        << QStringLiteral("K = 1.5 < x* = m/b = 2: el depredador no puede persistir y la presa se estabiliza en su capacidad de carga");
    QTest::newRow("K = x*") << of(F::PredatorPrey, {3, 1, 1, 2, 2, 0, 0})
        << QStringLiteral("K = x* = m/b = 2: el depredador no puede persistir y la presa se estabiliza en su capacidad de carga (despacio: su equilibrio no es hiperbólico)");
    QTest::newRow("Volterra, cycles") << of(F::PredatorPrey, {4, 1, 1, 4, HUGE_VAL, 1, 1})
        << QStringLiteral("x* = (m + h₂)/b = 5, y* = (r − h₁)/a = 3: sin capacidad de carga de la presa, ciclos neutros: órbitas cerradas alrededor de ese centro, cada una según su punto inicial, y en cada ciclo la media de x es x* y la de y, y*. Principio de Volterra: cosechar las dos especies sube la media de la presa en cada ciclo de 4 a 5 y baja la del depredador de 4 a 3");
    QTest::newRow("Volterra, damped") << of(F::PredatorPrey, {4, 1, 1, 4, 20, 1, 1})
        << QStringLiteral("x* = (m + h₂)/b = 5, y* = ((r − h₁)/a)(1 − x*/(K(1 − h₁/r))) = 2: con K(1 − h₁/r) = 15, las oscilaciones se amortiguan hacia ese equilibrio (foco estable). Principio de Volterra: cosechar las dos especies sube el nivel de equilibrio de la presa de 4 a 5 y baja el del depredador de 3.2 a 2");
    QTest::newRow("prey overharvested") << of(F::PredatorPrey, {4, 1, 1, 4, 20, 5, 0})
        << QStringLiteral("r = 4 ≤ h₁ = 5: la cosecha acaba con la presa aunque esté sola, y el depredador se extingue con ella");
    QTest::newRow("r = h₁, no K") << of(F::PredatorPrey, {4, 1, 1, 4, HUGE_VAL, 4, 0})
        << QStringLiteral("r = 4 ≤ h₁ = 4: sin depredadores la presa ni crece ni mengua; el depredador se extingue y la presa se queda en un nivel que depende del inicio");
    QTest::newRow("bounded mutualism") << of(F::Mutualism, {2.5, 2.5, 0.5, 1, 1, 0.5, 0, 0})
        << QStringLiteral("β₁₂β₂₁ = 0.25 < 1: coexistencia acotada: las dos especies tienden al equilibrio interior (nodo estable), cada una por encima de su capacidad de carga");
    QTest::newRow("unbounded mutualism") << of(F::Mutualism, {2.5, 2.5, 2, 1, 1, 1, 0, 0})
        << QStringLiteral("β₁₂β₂₁ = 2 > 1: el beneficio mutuo puede más que la competencia dentro de cada especie: las dos poblaciones crecen sin límite");
    QTest::newRow("β₁₂β₂₁ = 1") << of(F::Mutualism, {2.5, 2.5, 2, 1, 1, 0.5, 0, 0})
        << QStringLiteral("β₁₂β₂₁ = 1: el beneficio mutuo iguala a la competencia dentro de cada especie: las dos poblaciones crecen sin límite");
    QTest::newRow("mutualism, harvest of y") << of(F::Mutualism, {2.5, 2.5, 0.5, 1, 1, 0.5, 0, 2})
        << QStringLiteral("β₁₂β₂₁ = 0.25 < 1 y r₂ = 1 ≤ h₂ = 2: coexistencia acotada: las dos especies tienden al equilibrio interior (nodo estable), donde la especie y se mantiene gracias a la especie x");
    QTest::newRow("mutualism, threshold") << of(F::Mutualism, {1, 1, 2, 1, 1, 2, 2, 2})
        << QStringLiteral("β₁₂β₂₁ = 4 > 1, r₁ = 1 ≤ h₁ = 2 y r₂ = 1 ≤ h₂ = 2: depende del punto de partida: más allá de una separatriz las dos crecen sin límite; más acá, las dos especies se extinguen");
}

void EcologyTest::outcome()
{
    QFETCH(EcologicalParameters, parameters);
    QFETCH(QString, expected);
    const QString text = QString::fromStdString(outcomeSentence(parameters, plainNumber));
    QCOMPARE(text, expected);
}

void EcologyTest::outcomeAgreesWithTheEquilibria_data()
{
    roundTrips_data();
}

// On 10 000 seeded systems of each form, half of them harvested, the outcome named is the one
// the types of the equilibria in the closed first quadrant tell: the stable ones, or where none
// is, those the linearisation leaves undecided or a line of equilibria.
void EcologyTest::outcomeAgreesWithTheEquilibria()
{
    QFETCH(int, form);
    const auto f = static_cast<F>(form);
    QRandomGenerator random(131 + form);
    using Set = std::set<std::string>;
    // The phrases of the outcomes, of which a sentence names exactly one.
    const std::vector<const char *> phrases[] = {
        {"gana la especie x", "gana la especie y", "coexisten", "biestable", "se extinguen", "recta de equilibrios"},
        {"ciclos neutros", "hacia ese equilibrio", "a ese equilibrio sin oscilar", "no puede persistir",
         "acaba con la presa", "depende del inicio"},
        {"coexistencia acotada", "la especie x queda sola", "la especie y queda sola", "se extinguen",
         "crecen sin límite", "recta de equilibrios"}};
    int slow = 0, lines = 0, checked = 0;
    for (int n = 0; n < 10000; ++n) {
        const EcologicalParameters p = randomParameters(random, f, n % 2 == 1);
        if (!fitsItsForm(p))
            continue;
        ++checked;
        const std::string text = outcomeSentence(p, plainNumber);
        const Verdict v = verdictOf(coefficientsOf(p));
        const auto &S = v.stable;
        const auto undecided = [&](const char *where) { return S.empty() && v.undecided.count(where) > 0; };
        const auto named = [&](const char *phrase) { return has(text, phrase); };
        const char *expected = nullptr;
        bool limit = false;   // the sentence says the linearisation does not decide
        if (f == F::Competition) {
            expected = S == Set{"x"} ? "gana la especie x" : S == Set{"y"} ? "gana la especie y"
                     : S == Set{"interior"} ? "coexisten" : S == Set{"x", "y"} ? "biestable"
                     : S == Set{"origin"} ? "se extinguen" : nullptr;
            if (!expected && S.empty()) {
                limit = !v.line && (undecided("x") || undecided("y"));
                expected = v.line ? "recta de equilibrios" : undecided("x") ? "gana la especie x"
                         : undecided("y") ? "gana la especie y" : undecided("origin") ? "se extinguen" : nullptr;
            }
        } else if (f == F::PredatorPrey) {
            const bool inside = v.interior && (v.centre || S == Set{"interior"});
            if (inside) {
                QVERIFY2(named(plainNumber(v.interior->x).c_str()) && named(plainNumber(v.interior->y).c_str()), text.c_str());
                QVERIFY2(v.centre || named(typeName(v.interior->type())), text.c_str());
                expected = v.centre ? "ciclos neutros"
                         : v.interior->type() == EquilibriumType::StableFocus ? "hacia ese equilibrio"
                                                                              : "a ese equilibrio sin oscilar";
                // Volterra's principle: harvesting both raises the prey's level and lowers the predator's.
                const bool both = p.value("h1") > 0 && p.value("h2") > 0;
                QCOMPARE(named("Principio de Volterra"), both);
                if (both) {
                    EcologicalParameters unharvested = p;
                    unharvested.values[5] = unharvested.values[6] = 0;
                    const Verdict before = verdictOf(coefficientsOf(unharvested));
                    QVERIFY(before.interior && before.interior->x < v.interior->x && before.interior->y > v.interior->y);
                    QVERIFY2(named(("de " + plainNumber(before.interior->x) + " a " + plainNumber(v.interior->x)).c_str()),
                             text.c_str());
                }
            } else if (S.empty() && v.line) {
                expected = "depende del inicio";
            } else if (S == Set{"x"} || undecided("x")) {
                limit = S.empty();
                expected = "no puede persistir";
                QVERIFY2(named(plainNumber(-coefficientsOf(p).A / coefficientsOf(p).B).c_str()), text.c_str());
            } else if (S == Set{"origin"} || undecided("origin")) {
                expected = "acaba con la presa";
            }
        } else {
            expected = S == Set{"interior"} ? "coexistencia acotada" : S == Set{"x"} ? "la especie x queda sola"
                     : S == Set{"y"} ? "la especie y queda sola" : S == Set{"origin"} ? "se extinguen" : nullptr;
            if (!expected && S.empty()) {
                limit = !v.line && (undecided("x") || undecided("y"));
                expected = v.line ? "recta de equilibrios" : undecided("x") ? "la especie x queda sola"
                         : undecided("y") ? "la especie y queda sola"
                         : named("se extinguen") && undecided("origin") ? "se extinguen" : "crecen sin límite";
            }
            // A saddle inside: the start decides between growth without limit and the rest.
            if (v.interior && v.interior->type() == EquilibriumType::Saddle)
                QVERIFY2(named("depende del punto de partida"), text.c_str());
        }
        QVERIFY2(expected, text.c_str());
        QVERIFY2(named(expected), qPrintable(QStringLiteral("%1 / %2").arg(expected, text.c_str())));
        // A threshold names both sides of it.
        const int sides = named("depende del punto de partida") ? 2 : 1;
        QVERIFY2(std::count_if(phrases[form].begin(), phrases[form].end(), named) == sides, text.c_str());
        // "despacio: no es hiperbólico" where, and only where, the program finds such a point.
        QVERIFY2(!limit || named("no es hiperbólico"), text.c_str());
        QVERIFY2(!named("no es hiperbólico") || !v.undecided.empty(), text.c_str());
        slow += limit;
        lines += v.line;
    }
    qInfo("%d systems, %d at a limit, %d with a line of equilibria", checked, slow, lines);
    QVERIFY(checked > 9000);
}

QTEST_GUILESS_MAIN(EcologyTest)
#include "ecology_test.moc"
