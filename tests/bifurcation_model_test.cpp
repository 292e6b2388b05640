// The example systems, the curves of the bifurcation diagram and its type changes.
#include "model/analysis/bifurcation.h"
#include "model/analysis/equilibria.h"
#include "model/analysis/examples.h"
#include "model/analysis/type_names.h"
#include "model/ecology/ecological_path.h"
#include "model/model.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(Coefficients)
Q_DECLARE_METATYPE(EquilibriumRole)
Q_DECLARE_METATYPE(EcologicalParameters)

namespace {

QString eigenvalues(const Eigenvalues &e)
{
    if (e.isComplex())
        return QStringLiteral("%1±%2i").arg(e.first, 0, 'g', 6).arg(e.imaginary, 0, 'g', 6);
    return QStringLiteral("%1, %2").arg(e.first, 0, 'g', 6).arg(e.second, 0, 'g', 6);
}

// "(x, y) type eigenvalues" for each point, in the order of equilibria().
QString describe(const std::vector<Equilibrium> &list)
{
    QStringList parts;
    for (const Equilibrium &e : list)
        parts << QStringLiteral("(%1, %2) %3 %4")
                     .arg(e.x, 0, 'g', 12)
                     .arg(e.y, 0, 'g', 12)
                     .arg(QString::fromUtf8(typeName(e.type())), eigenvalues(e.linearisation.eigenvalues));
    return parts.join(QStringLiteral("; "));
}

std::string plainPoint(double x, double y)
{
    return QStringLiteral("(%1, %2)").arg(x, 0, 'g', 15).arg(y, 0, 'g', 15).toStdString();
}

// "value: description" for each change, the value rounded to 9 decimals.
QString describe(const std::vector<TypeChange> &changes)
{
    QStringList parts;
    for (const TypeChange &c : changes)
        parts << QStringLiteral("%1: %2").arg(std::round(c.value * 1e9) / 1e9 + 0.0, 0, 'g', 12).arg(
            QString::fromStdString(describeChange(c, plainPoint)));
    return parts.join(QStringLiteral("; "));
}

} // namespace

class BifurcationModelTest : public QObject {
    Q_OBJECT

private slots:
    void examples_data();
    void examples();
    void curves_data();
    void curves();
    void typeChanges_data();
    void typeChanges();
    void parameterChanges_data();
    void parameterChanges();
};

void BifurcationModelTest::examples_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("expected");
    // J = [[A + 2Bx + Cy, Cx], [Ey, D + Ex + 2Fy]] at each point; an axis point has a triangular J
    // whose diagonal gives the eigenvalues, otherwise λ = (tr ± √(tr² - 4 det)) / 2.
    // A=4 B=0 C=-1 D=-4 E=1 F=0. No axis points (B = F = 0). Δ = 0 - (-1)(1) = 1, interior
    // ((-1)(-4) - 0, 4 - 0) = (4, 4), J = [[0, -4], [4, 0]]: tr 0, det 16, ±4i.
    QTest::newRow("predator-prey") << 0 << "depredador_presa"
        << "(0, 0) punto de silla 4, -4; (4, 4) centro (órbitas cerradas) 0±4i";
    // A=3 B=-1 C=-1 D=-2 E=1 F=0. (3, 0): J = [[3 - 6, -3], [0, -2 + 3]]. Δ = 1, interior
    // ((-1)(-2), 3 - 2) = (2, 1), J = [[-2, -2], [1, 0]]: tr -2, det 2, -1 ± i.
    QTest::newRow("logistic prey") << 1 << "presa_logistica"
        << "(0, 0) punto de silla 3, -2; (3, 0) punto de silla 1, -3; (2, 1) foco estable -1±1i";
    // A=6 B=-1 C=-1 D=4 E=-0.5 F=-1. (6, 0): J = [[-6, -6], [0, 4 - 3]]; (0, 4): J = [[6 - 4, 0],
    // [-2, 4 - 8]]. Δ = 1 - 0.5, interior (-4 + 6, -3 + 4) / 0.5 = (4, 2), J = [[-4, -4], [-1, -2]]:
    // tr -6, det 4, -3 ± √5.
    QTest::newRow("competition, coexistence") << 2 << "competencia_coexistencia"
        << "(0, 0) nodo inestable 6, 4; (6, 0) punto de silla 1, -6; (0, 4) punto de silla 2, -4; "
           "(4, 2) nodo estable -0.763932, -5.23607";
    // A=8 B=-1 C=-2 D=7 E=-2 F=-1. (8, 0): J = [[-8, -16], [0, 7 - 16]]; (0, 7): J = [[8 - 14, 0],
    // [-14, -7]]. Δ = 1 - 4, interior (-14 + 8, -16 + 7) / -3 = (2, 3), J = [[-2, -4], [-6, -3]]:
    // tr -5, det -18, (-5 ± √97) / 2.
    QTest::newRow("competition, exclusion") << 3 << "competencia_exclusion"
        << "(0, 0) nodo inestable 8, 7; (8, 0) nodo estable -8, -9; (0, 7) nodo estable -6, -7; "
           "(2, 3) punto de silla 2.42443, -7.42443";
    // A=2.5 B=-1 C=0.5 D=1 E=0.5 F=-1. (2.5, 0): J = [[-2.5, 1.25], [0, 1 + 1.25]]; (0, 1):
    // J = [[2.5 + 0.5, 0], [0.5, -1]]. Δ = 1 - 0.25, interior (0.5 + 2.5, 1.25 + 1) / 0.75 = (4, 3),
    // J = [[-4, 2], [1.5, -3]]: tr -7, det 9, (-7 ± √13) / 2.
    QTest::newRow("mutualism") << 4 << "mutualismo"
        << "(0, 0) nodo inestable 2.5, 1; (2.5, 0) punto de silla 2.25, -2.5; (0, 1) punto de silla 3, -1; "
           "(4, 3) nodo estable -1.69722, -5.30278";
}

void BifurcationModelTest::examples()
{
    QFETCH(int, index);
    QFETCH(QString, id);
    QFETCH(QString, expected);
    QCOMPARE(exampleSystems().size(), std::size_t{5});
    const ExampleSystem &example = exampleSystems()[static_cast<std::size_t>(index)];
    QCOMPARE(QString::fromLatin1(example.id), id);
    QCOMPARE(describe(equilibria(example.coefficients)), expected);

    // Its trajectory stays within |x|, |y| < 20 forwards, and ends in the visible window.
    Model model;
    const Coefficients &k = example.coefficients;
    std::tie(model.A, model.B, model.C, model.D, model.E, model.F) = std::tie(k.A, k.B, k.C, k.D, k.E, k.F);
    model.dt = example.span / 100;
    model.calcula([&] { return example.x0; }, [&] { return example.y0; });
    for (int sample = 0; sample <= kLastSample; ++sample)
        QVERIFY2(model.ok(sample), qPrintable(QString::number(sample)));
    QVERIFY(model.xs(kLastSample) >= 0 && model.xs(kLastSample) <= 10);
    QVERIFY(model.ys(kLastSample) >= 0 && model.ys(kLastSample) <= 10);
}

void BifurcationModelTest::curves_data()
{
    QTest::addColumn<Coefficients>("k");
    QTest::addColumn<int>("coefficient");
    QTest::addColumn<double>("value");
    QTest::addColumn<EquilibriumRole>("role");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("stable");
    QTest::addColumn<bool>("neutral");   // a centre or a zero eigenvalue: neither of the two
    using R = EquilibriumRole;
    const Coefficients logistic{3, -1, -1, -2, 1, 0};
    const Coefficients defaults{4, 0, -1, -4, 1, 0};
    // Logistic prey with D varied: interior (-D, 3 + D), J = [[D, D], [3 + D, 0]], tr D, det -D (3 + D);
    // (3, 0) with J = [[-3, -3], [0, D + 3]].
    QTest::newRow("D = -4: interior, saddle") << logistic << 3 << -4.0 << R::Interior << true << QPointF(4, -1) << false << false;
    QTest::newRow("D = -4: (3, 0), stable node") << logistic << 3 << -4.0 << R::XAxis << true << QPointF(3, 0) << true << false;
    QTest::newRow("D = -2: interior, stable focus") << logistic << 3 << -2.0 << R::Interior << true << QPointF(2, 1) << true << false;
    QTest::newRow("D = -2: (3, 0), saddle") << logistic << 3 << -2.0 << R::XAxis << true << QPointF(3, 0) << false << false;
    QTest::newRow("D = 0: origin, non-hyperbolic") << logistic << 3 << 0.0 << R::Origin << true << QPointF(0, 0) << false << true;
    QTest::newRow("no y-axis point while F = 0") << logistic << 3 << -2.0 << R::YAxis << false << QPointF() << false << false;
    // The defaults with B varied: (-4/B, 0) with J = [[-4, 4/B], [0, -4 - 4/B]]; interior (4, 4 + 4B).
    QTest::newRow("B = -2: (2, 0), stable node") << defaults << 1 << -2.0 << R::XAxis << true << QPointF(2, 0) << true << false;
    QTest::newRow("B = 0: no x-axis point") << defaults << 1 << 0.0 << R::XAxis << false << QPointF() << false << false;
    QTest::newRow("B = 1: (-4, 0), stable node") << defaults << 1 << 1.0 << R::XAxis << true << QPointF(-4, 0) << true << false;
    // J = [[4B, -4], [4 + 4B, 0]]: tr 4, det 32.
    QTest::newRow("B = 1: interior, unstable focus") << defaults << 1 << 1.0 << R::Interior << true << QPointF(4, 8) << false << false;
    // Regression: a centre was drawn as unstable. The defaults with A varied: interior (4, A),
    // J = [[0, -4], [A, 0]], tr 0, det 4A: a centre for every A > 0.
    QTest::newRow("A = 1: interior, centre") << defaults << 0 << 1.0 << R::Interior << true << QPointF(4, 1) << false << true;
}

void BifurcationModelTest::curves()
{
    QFETCH(Coefficients, k);
    QFETCH(int, coefficient);
    QFETCH(double, value);
    QFETCH(EquilibriumRole, role);
    QFETCH(bool, exists);
    QFETCH(QPointF, point);
    QFETCH(bool, stable);
    QFETCH(bool, neutral);
    // Five columns at -4, -3, ..., 0 (D), 0, 1, ..., 4 (A) or -2, -1, ..., 2: the value is one of them.
    const double from = coefficient == 3 ? -4 : coefficient == 0 ? 0 : -2;
    const BifurcationDiagram diagram = bifurcationDiagram(k, coefficient, from, from + 4, 5);
    const auto column = static_cast<std::size_t>(value - from);
    QCOMPARE(diagram.values.at(column), value);
    const CurvePoint &p = diagram.curve(role).at(column);
    QCOMPARE(p.exists, exists);
    if (!exists)
        return;
    QCOMPARE(p.x, point.x());
    QCOMPARE(p.y, point.y());
    QCOMPARE(p.stable, stable);
    QCOMPARE(p.neutral, neutral);
}

void BifurcationModelTest::typeChanges_data()
{
    QTest::addColumn<Coefficients>("k");
    QTest::addColumn<int>("coefficient");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<double>("first");   // the first change's exact value
    // Interior (-D, 3 + D): y = 0 at D = -3, where det -D(3 + D) of the interior and -3(D + 3) of
    // (3, 0) change sign together; tr² - 4 det = 5D² + 12D is 0 at D = -12/5. The trace of the
    // origin, 3 + D, crosses 0 at D = -3 too, but det 3D < 0 keeps it a saddle. At the end D = 0
    // the origin's det 3D and the interior's det change sign: both ends are in range.
    QTest::newRow("logistic prey, D") << Coefficients{3, -1, -1, -2, 1, 0} << 3 << -4.0 << 0.0
        << "-3: el equilibrio interior se une a (3, 0): intercambio de estabilidad; "
           "-2.4: el equilibrio interior pasa de nodo estable a foco estable; "
           "0: el origen pasa de punto de silla a nodo inestable; "
           "0: el equilibrio interior pasa de foco estable a punto de silla" << -3.0;
    // Interior (4, 4 + 4B), J = [[4B, -4], [4 + 4B, 0]]: meets (-4/B, 0) at B = -1; tr² - 4 det =
    // 16 (B² - 4B - 4) is 0 at B = 2 - 2√2; tr 4B crosses 0 at B = 0 with det > 0. The x-axis
    // point goes through a pole at B = 0: no change there.
    QTest::newRow("predator-prey, B") << Coefficients{4, 0, -1, -4, 1, 0} << 1 << -2.0 << 2.0
        << "-1: el equilibrio interior se une a (4, 0): intercambio de estabilidad; "
           "-0.828427125: el equilibrio interior pasa de nodo estable a foco estable; "
           "0: el equilibrio interior pasa de foco estable a foco inestable" << -1.0;
    // Regression: a change within one column of another of the same equilibrium was lost.
    // X = CD - AF = -0.5 - 2.5F, Y = AE - BD = 1.5, Δ = -F - 0.5: x = 0 at F = -0.2, where the
    // interior point meets (0, -D/F) = (0, -5). tr·Δ = BX + FY = 0.5 + 4F is 0 at F = -1/8;
    // (tr² - 4 det)·Δ² = (BX - FY)² + 4CE·XY = F² - 6.5F - 1.25 is 0 at (6.5 ± √47.25) / 2,
    // -0.186932 (0.013 after the meeting) and 6.686932. The eigenvalues of (0, -D/F), 2.5 + 0.5/F
    // and 1, sum to 0 at F = -1/7 where it is a saddle on both sides.
    QTest::newRow("mutualism, F") << Coefficients{2.5, -1, 0.5, -1, 1, -1} << 5 << -11.0 << 9.0
        << "-0.2: el equilibrio interior se une a (0, -5): intercambio de estabilidad; "
           "-0.186931771: el equilibrio interior pasa de nodo inestable a foco inestable; "
           "-0.125: el equilibrio interior pasa de foco inestable a foco estable; "
           "6.686931771: el equilibrio interior pasa de foco estable a nodo estable" << -0.2;
    // Regression: a saddle and an unstable node that meet and swap read as a plain meeting.
    // Interior (4 - 4F, 4): tr 4F, det 16(1 - F), tr² - 4 det = 16(F² + 4F - 4), 0 at -2 + 2√2.
    // (0, -D/F) = (0, 4/F) has eigenvalues 4 - 4/F and 4: for 0 < F < 1 a saddle beside an
    // unstable interior point, for F > 1 an unstable node beside an interior saddle.
    QTest::newRow("predator-prey, F") << Coefficients{4, 0, -1, -4, 1, 0} << 5 << -2.0 << 2.0
        << "0: el equilibrio interior pasa de foco estable a foco inestable; "
           "0.828427125: el equilibrio interior pasa de foco inestable a nodo inestable; "
           "1: el equilibrio interior se une a (0, 4): intercambio de estabilidad" << 0.0;
    // Regression: the type before a change was taken halfway to the neighbouring break, here
    // where a node has two equal eigenvalues. (-A/B, 0) has the eigenvalues -A = -0.5 and
    // D - EA/B = 0.5 - 1.5/B: a stable node for 0 < B < 3, equal ones only at B = 1.5, halfway
    // from the pole at B = 0. At B = 3 the interior point (0, -0.25) goes through its own pole.
    QTest::newRow("sample on a repeated eigenvalue") << Coefficients{0.5, -1.5, 2, 0.5, 3, 2} << 1 << -1.0 << 4.0
        << "3: el equilibrio del eje x pasa de nodo estable a punto de silla" << 3.0;
    // Regression: a discriminant that touches 0 rounded into two zeros 5e-8 apart, and the
    // sample between them made two marks of a node degenerate at one value only. X = 3 - 2F,
    // Y = -7, Δ = F + 3.75: (BX - FY)² + 4CE·XY = (5F - 18)², a stable node on both sides of
    // F = 3.6; x = 0 at F = 1.5, where it meets (0, -D/F).
    QTest::newRow("discriminant touching 0") << Coefficients{2, 1, 1.5, 2, -2.5, 0} << 5 << -4.0 << 4.0
        << "1.5: el equilibrio interior se une a (0, -1.33333333333333): intercambio de estabilidad" << 1.5;
}

void BifurcationModelTest::typeChanges()
{
    QFETCH(Coefficients, k);
    QFETCH(int, coefficient);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(QString, expected);
    const BifurcationDiagram diagram = bifurcationDiagram(k, coefficient, from, to, 800);
    QCOMPARE(describe(diagram.changes), expected);
    QCOMPARE(describe(bifurcationDiagram(k, coefficient, from, to, 97).changes), expected);
    QFETCH(double, first);
    QVERIFY(std::fabs(diagram.changes.front().value - first) <= 1e-15);
}

void BifurcationModelTest::parameterChanges_data()
{
    QTest::addColumn<EcologicalParameters>("parameters");
    QTest::addColumn<QString>("id");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<double>("first");        // the first change's exact value
    QTest::addColumn<int>("coefficient");     // the one coefficient the parameter moves, or -1
    using F = EcologicalForm;
    // r₁ = r₂ = 1 (A = D = 1), K₁ = 100, α₁₂ = 0.5, α₂₁ = 0.8: E = −0.8/K₂, F = −1/K₂. The interior
    // point meets (K₁, 0) where Y = AE − BD = 0.01 − 0.8/K₂ is 0, at K₂ = K₁α₂₁ = 80, and (0, K₂)
    // where X = CD − AF = 1/K₂ − 0.005 is 0, at K₂ = K₁/α₁₂ = 200: coexistence between them.
    const EcologicalParameters competition{F::Competition, {1, 100, 0.5, 1, 90, 0.8, 0, 0}};
    QTest::newRow("competition, K2") << competition << "K2" << 0.0 << 300.0
        << "80: el equilibrio interior se une a (100, 0): intercambio de estabilidad; "
           "200: el equilibrio interior se une a (0, 200): intercambio de estabilidad" << 80.0 << -1;
    // r = 1, a = 0.5, b = 0.25, m = 0.5, K = 10: A = 1 − h₁, B = −0.1, interior (2, 1.6 − 2h₁) with
    // tr −0.2 and det 0.25y: a focus while 0.04 − y < 0, up to h₁ = 0.78; it meets (10 − 10h₁, 0) at
    // h₁ = 0.8, which meets the origin at h₁ = 1. The same marks as along A = 1 − h₁.
    const EcologicalParameters predation{F::PredatorPrey, {1, 0.5, 0.25, 0.5, 10, 0, 0}};
    QTest::newRow("predator-prey, h1") << predation << "h1" << 0.0 << 1.5
        << "0.78: el equilibrio interior pasa de foco estable a nodo estable; "
           "0.8: el equilibrio interior se une a (2, 0): intercambio de estabilidad; "
           "1: el equilibrio del eje x se une a (0, 0): intercambio de estabilidad" << 0.78 << 0;
    // Along K: B = −1/K, interior (2, 2 − 4/K), tr −2/K, det y/4; it meets (K, 0) at K = m/b = 2 and
    // turns a focus where 4/K² + 4/K − 2 = 0, at K = 1 + √3. Towards K = ∞ the trace tends to 0
    // and never reaches it: no mark there. The same marks as along B = −1/K.
    QTest::newRow("predator-prey, K towards infinity") << predation << "K" << 1.0 << 1e5
        << "2: el equilibrio interior se une a (2, 0): intercambio de estabilidad; "
           "2.732050808: el equilibrio interior pasa de nodo estable a foco estable" << 2.0 << 1;
    // A range reaching below K = 0: nothing is found there, nor at the pole.
    QTest::newRow("predator-prey, K from below 0") << predation << "K" << -5.0 << 10.0
        << "2: el equilibrio interior se une a (2, 0): intercambio de estabilidad; "
           "2.732050808: el equilibrio interior pasa de nodo estable a foco estable" << 2.0 << -1;
}

// Along a parameter the changes are those of the coefficients it moves: where it moves one, the
// same changes as along that coefficient, at the coefficient's value there.
void BifurcationModelTest::parameterChanges()
{
    QFETCH(EcologicalParameters, parameters);
    QFETCH(QString, id);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(QString, expected);
    QFETCH(double, first);
    QFETCH(int, coefficient);
    const int index = parameters.indexOf(id.toStdString());
    const CoefficientPath path = parameterPath(parameters, index);
    const BifurcationDiagram diagram = bifurcationDiagram(path, from, to, 800);
    QCOMPARE(describe(diagram.changes), expected);
    QVERIFY2(diagram.changes.front().value == first, qPrintable(QString::number(diagram.changes.front().value, 'g', 17)));
    // No equilibrium outside the parameter's domain.
    for (std::size_t i = 0; i < diagram.values.size(); ++i)
        QCOMPARE(diagram.curve(EquilibriumRole::Origin)[i].exists,
                 fitsDomain(diagram.values[i], parametersOf(parameters.form)[std::size_t(index)].domain));
    if (coefficient < 0)
        return;
    const auto valueOf = [&](double p) { return coefficientValue(path.at(p), coefficient); };
    const Coefficients k = coefficientsOf(parameters);
    const double ends[] = {valueOf(from), valueOf(to)};
    const bool increasing = ends[0] < ends[1];
    const auto along = ::typeChanges(k, coefficient, std::min(ends[0], ends[1]), std::max(ends[0], ends[1]));
    QCOMPARE(along.size(), diagram.changes.size());
    for (std::size_t i = 0; i < along.size(); ++i) {
        const TypeChange &c = along[increasing ? i : along.size() - 1 - i], &p = diagram.changes[i];
        QVERIFY2(std::fabs(c.value - valueOf(p.value)) <= 1e-12 * std::fabs(c.value), qPrintable(QString::number(i)));
        QCOMPARE(c.role, p.role);
        QCOMPARE(c.kind, p.kind);
        QCOMPARE(increasing ? c.before : c.after, p.before);
        QCOMPARE(increasing ? c.after : c.before, p.after);
    }
}

QTEST_GUILESS_MAIN(BifurcationModelTest)
#include "bifurcation_model_test.moc"
