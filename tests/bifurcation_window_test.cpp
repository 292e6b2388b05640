// The bifurcation window: a press picks the value of its column, the current value's line,
// the tooltip of a mark, the range typed and the ticks of a range.
#include "display/bifurcation/bifurcation_canvas.h"
#include "display/bifurcation/bifurcation_window.h"
#include "display/bifurcation/diagram_ticks.h"
#include "display/bifurcation/equilibrium_colours.h"
#include "model/analysis/examples.h"
#include "tests/watchdog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <algorithm>
#include <cmath>

Q_DECLARE_METATYPE(EcologicalParameters)

namespace {

// r₁ = r₂ = 1, K₁ = 100, α₁₂ = 0.5, K₂ = 90, α₂₁ = 0.8: coexistence for 80 < K₂ < 200.
const EcologicalParameters kCompetition{EcologicalForm::Competition, {1, 100, 0.5, 1, 90, 0.8, 0, 0}};
// r = 1, a = 0.5, b = 0.25, m = 0.5, K = 5, h₁ = 0.5: the interior point (2, 2(1 − h₁) − 4/K)
// meets (K(1 − h₁), 0) at h₁ = 0.6 and, with no harvest, at K = m/b = 2.
const EcologicalParameters kPredation{EcologicalForm::PredatorPrey, {1, 0.5, 0.25, 0.5, 5, 0.5, 0}};

// An example system along one coefficient, in a window of the usual size on screen.
void showExample(BifurcationWindow &window, int example, int coefficient)
{
    window.setSystem(exampleSystems()[std::size_t(example)].coefficients);
    window.setCoefficient(coefficient);
    window.resize(760, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

// The logistic prey with D over [-4, 0]: the interior equilibrium meets (3, 0) at D = -3.
void showLogisticPrey(BifurcationWindow &window)
{
    showExample(window, 1, 3);
}

} // namespace

class BifurcationWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }
    void pressPicksItsColumn_data();
    void pressPicksItsColumn();
    void pressPicksWithinItsPixel_data();
    void pressPicksWithinItsPixel();
    void lineAtCurrentValue();
    void toolTipOfMark_data();
    void toolTipOfMark();
    void branchOutOfViewHasAnArrow();
    void coincidingBranchesShowTheStableOne();
    void rangeFollowsTheValue_data();
    void rangeFollowsTheValue();
    void typedRangeEnd_data();
    void typedRangeEnd();
    void ticksOfARange_data();
    void ticksOfARange();
    void alongParameter_data();
    void alongParameter();
    void formChanges_data();
    void formChanges();
};

void BifurcationWindowTest::pressPicksItsColumn_data()
{
    QTest::addColumn<double>("at");        // where to press, as a value of D
    QTest::addColumn<double>("expected");  // the tidiest value of that column
    QTest::newRow("the meeting at D = -3") << -3.0 << -3.0;
    QTest::newRow("node turns focus at D = -2.4") << -2.4 << -2.4;
    QTest::newRow("left end") << -4.0 << -4.0;
    QTest::newRow("right end") << 0.0 << 0.0;
}

void BifurcationWindowTest::pressPicksItsColumn()
{
    QFETCH(double, at);
    QFETCH(double, expected);
    BifurcationWindow window;
    showLogisticPrey(window);
    BifurcationCanvas *canvas = window.canvas();
    const BifurcationGeometry g = canvas->diagramGeometry();
    QSignalSpy picked(&window, &BifurcationWindow::coefficientPicked);
    const QPoint press(static_cast<int>(std::floor(g.coefficientX(at))), g.panels[1].center().y());
    QTest::mouseClick(canvas, Qt::LeftButton, {}, press);
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked.at(0).at(0).toInt(), 3);
    const double value = picked.at(0).at(1).toDouble();
    QVERIFY2(value == expected, qPrintable(QString::number(value, 'g', 17)));   // exactly, not within 1e-12
}

void BifurcationWindowTest::pressPicksWithinItsPixel_data()
{
    QTest::addColumn<double>("ratio");   // device pixels to a logical one
    for (double ratio : {1.0, 1.25, 1.5, 2.0, 3.0})
        QTest::newRow(qPrintable(QString::number(ratio))) << ratio;
}

// At a pixel ratio above 1 a pointer's pixel holds several columns: a press on the pixel where
// -2.5 is drawn gives -2.5, whichever of its columns that is.
void BifurcationWindowTest::pressPicksWithinItsPixel()
{
    QFETCH(double, ratio);
    BifurcationScene scene;
    scene.system = exampleSystems()[1].coefficients;
    scene.coefficient = 1;
    for (int shift = 0; shift < 10; ++shift) {
        scene.from = -4 - shift * 0.0013;
        scene.to = 0;
        const BifurcationGeometry g(QRect(0, 0, 500, 400), scene, QFont(), ratio);
        const double pixel = std::floor(g.coefficientX(-2.5));
        QCOMPARE(g.pickedValue(pixel + 0.5), -2.5);
    }
}

void BifurcationWindowTest::lineAtCurrentValue()
{
    BifurcationWindow window;
    showLogisticPrey(window);
    BifurcationCanvas *canvas = window.canvas();
    const BifurcationGeometry g = canvas->diagramGeometry();
    const QImage image = canvas->grab().toImage();
    const int line = static_cast<int>(std::floor(g.coefficientX(-2)));
    const QColor red(210, 0, 0);
    // Upper part of both panels: no curve of this system passes there.
    for (const QRect &area : g.panels) {
        for (int y = area.top() + area.height() / 4; y < area.center().y(); y += 7) {
            QCOMPARE(image.pixelColor(line, y), red);
            QVERIFY(image.pixelColor(line - 2, y) != red && image.pixelColor(line + 2, y) != red);
        }
    }
}

void BifurcationWindowTest::toolTipOfMark_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QPointF>("point");   // the equilibrium there
    QTest::addColumn<QString>("expected");
    QTest::newRow("exchange of stability") << -3.0 << QPointF(3, 0)
        << "D = -3\nEl equilibrio interior se une a (3; 0): intercambio de estabilidad";
    QTest::newRow("node turns focus, decimal comma") << -2.4 << QPointF(2.4, 0.6)
        << "D = -2,4\nEl equilibrio interior pasa de nodo estable a foco estable";
}

void BifurcationWindowTest::toolTipOfMark()
{
    QFETCH(double, value);
    QFETCH(QPointF, point);
    QFETCH(QString, expected);
    BifurcationWindow window;
    showLogisticPrey(window);
    const BifurcationCanvas *canvas = window.canvas();
    const BifurcationGeometry g = canvas->diagramGeometry();
    const double x = g.coefficientX(value);
    QCOMPARE(canvas->toolTipAt({x + 2, g.valueY(BifurcationGeometry::XPanel, point.x()) - 2}), expected);
    QCOMPARE(canvas->toolTipAt({x, g.valueY(BifurcationGeometry::YPanel, point.y())}), expected);
    // Away from the mark no change is described; lines lying on one another may still be named.
    const QString away = canvas->toolTipAt({x + 20, g.valueY(BifurcationGeometry::YPanel, point.y())});
    QVERIFY2(away.isEmpty() || away.startsWith(QStringLiteral("Coinciden aquí: ")), qPrintable(away));
}

// Regression: a branch out of one panel's view showed in the other panel only. Exclusion with E
// over -4..0: Δ = 1 + 2E, interior x = -6/Δ, y = (8E + 7)/Δ. Past the pole at E = -0.5, x runs
// from -inf to -6, all below the x panel's 0..10, while y comes down into view.
void BifurcationWindowTest::branchOutOfViewHasAnArrow()
{
    BifurcationWindow window;
    showExample(window, 3, 4);   // "Competencia con exclusión"
    const BifurcationCanvas *canvas = window.canvas();
    const BifurcationGeometry g = canvas->diagramGeometry();
    const QImage image = const_cast<BifurcationCanvas *>(canvas)->grab().toImage();
    const QColor interior = equilibriumColour(EquilibriumRole::Interior);
    const auto interiorPixels = [&](double value, int panel, bool atBottom) {
        const QRect &area = g.panels[panel];
        const int x = static_cast<int>(g.coefficientX(value));
        const int y = atBottom ? area.bottom() - 10 : area.top();
        int count = 0;
        for (int dx = -60; dx <= 60; ++dx)
            for (int dy = 0; dy <= 10; ++dy)
                count += image.pixelColor(x + dx, y + dy) == interior;
        return count;
    };
    // At the bottom of the x panel, over the stretch past the pole: an arrow.
    QVERIFY(interiorPixels(-0.25, BifurcationGeometry::XPanel, true) >= 10);
    // Before the pole x goes up out of view: an arrow at the top where it leaves.
    QVERIFY(interiorPixels(-0.8, BifurcationGeometry::XPanel, false) >= 10);
}

// Regression: the stable (-A/B, 0) at y = 0 was hidden under the unstable origin's line; the
// tooltip there names both. Exclusion
// along A: the origin is an unstable node, (A, 0) a stable node for A above 3.5.
void BifurcationWindowTest::coincidingBranchesShowTheStableOne()
{
    BifurcationWindow window;
    showExample(window, 3, 0);   // "Competencia con exclusión"
    const BifurcationCanvas *canvas = window.canvas();
    const BifurcationGeometry g = canvas->diagramGeometry();
    const QImage image = const_cast<BifurcationCanvas *>(canvas)->grab().toImage();
    const QColor stable = equilibriumColour(EquilibriumRole::XAxis);
    const int y = static_cast<int>(g.valueY(BifurcationGeometry::YPanel, 0));
    const int x = static_cast<int>(g.coefficientX(8));
    int count = 0;
    for (int dx = -20; dx <= 20; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            count += image.pixelColor(x + dx, y + dy) == stable;
    QVERIFY2(count >= 20, qPrintable(QString::number(count)));
    // The tooltip names both.
    const QString tip = canvas->toolTipAt(QPointF(x, y));
    QVERIFY2(tip.startsWith(QStringLiteral("Coinciden aquí: ")) && tip.contains(QStringLiteral("0) (inestable)"))
                 && tip.contains(QStringLiteral("-A/B")) && tip.contains(QStringLiteral("(estable)")),
             qPrintable(tip));
}

// Regression: with D's range at -6..-2, an example with D = 4 left the current value's line off
// the diagram. A value that leaves the range takes it along, same width, centred on the value.
void BifurcationWindowTest::rangeFollowsTheValue_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::newRow("above") << 4.0 << 2.0 << 6.0;
    QTest::newRow("below") << -10.1 << -12.1 << -8.1;
    QTest::newRow("inside: the range stays") << -2.5 << -6.0 << -2.0;
    QTest::newRow("at an end: the range stays") << -6.0 << -6.0 << -2.0;
}

void BifurcationWindowTest::rangeFollowsTheValue()
{
    QFETCH(double, value);
    QFETCH(double, from);
    QFETCH(double, to);
    BifurcationWindow window;
    showLogisticPrey(window);
    auto *fromBox = window.findChild<QDoubleSpinBox *>(QStringLiteral("desde"));
    auto *toBox = window.findChild<QDoubleSpinBox *>(QStringLiteral("hasta"));
    fromBox->setValue(-6);
    toBox->setValue(-2);
    Coefficients k = exampleSystems()[1].coefficients;
    k.D = value;
    window.setSystem(k);
    QCOMPARE(fromBox->value(), from);
    QCOMPARE(toBox->value(), to);
    QCOMPARE(window.canvas()->scene().from, from);
    QCOMPARE(window.canvas()->scene().to, to);
}

// Regression: "1e300" typed in "Hasta" became 1300, and 1.23456789 became 1.234568. A range end
// is taken exactly as typed, or refused with a message at the box.
void BifurcationWindowTest::typedRangeEnd_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("to");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("typedFrom");   // typed in "Desde" afterwards, when not empty
    QTest::newRow("nine digits, decimal comma") << "1,23456789" << 1.23456789 << false << "";
    QTest::newRow("beyond the range") << "1e300" << 0.0 << true << "";
    QTest::newRow("no number") << "mucho" << 0.0 << true << "";
    // Regression: the diagram's ticks never ended, and the window froze.
    QTest::newRow("two doubles wide") << "1,0000000000000002" << 1.0000000000000002 << false << "1";
}

void BifurcationWindowTest::typedRangeEnd()
{
    QFETCH(QString, typed);
    QFETCH(double, to);
    QFETCH(bool, refused);
    QFETCH(QString, typedFrom);
    BifurcationWindow window;
    showLogisticPrey(window);   // D = -2: the range is -4..0
    auto *toBox = window.findChild<QDoubleSpinBox *>(QStringLiteral("hasta"));
    QSignalSpy refusals(toBox, SIGNAL(refused(QString)));
    const Watchdog watchdog("typing a range end and drawing the diagram");
    const auto type = [](QDoubleSpinBox *box, const QString &text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    };
    type(toBox, typed);
    if (!typedFrom.isEmpty()) {
        auto *fromBox = window.findChild<QDoubleSpinBox *>(QStringLiteral("desde"));
        type(fromBox, typedFrom);
        QCOMPARE(window.canvas()->scene().from, QLocale().toDouble(typedFrom));
    }
    window.canvas()->grab();
    QCOMPARE(toBox->value(), to);
    QCOMPARE(window.canvas()->scene().to, to);
    QCOMPARE(refusals.isEmpty(), !refused);
    if (refused)
        QVERIFY2(QToolTip::isVisible() && QToolTip::text().contains(typed), qPrintable(QToolTip::text()));
}

// Regression: a range two doubles wide never finished its ticks, and 0 to 1e-20 wrote
// "0,000000000000000" at every tick. The ticks of a range are few, each with its own number;
// a range too narrow for round ticks has its ends.
void BifurcationWindowTest::ticksOfARange_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<int>("maxCount");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("the value axis, 0 to 10") << 0.0 << 10.0 << 6 << QStringList{"0", "2", "4", "6", "8", "10"};
    QTest::newRow("D over -4..0") << -4.0 << 0.0 << 8
        << QStringList{"-4,0", "-3,5", "-3,0", "-2,5", "-2,0", "-1,5", "-1,0", "-0,5", "0,0"};
    QTest::newRow("small") << 0.0012 << 0.0031 << 4 << QStringList{"0,0015", "0,0020", "0,0025", "0,0030"};
    QTest::newRow("fifteen decimals") << 1.0 << 1.00000000000001 << 4
        << QStringList{"1,000000000000000", "1,000000000000005"};
    QTest::newRow("two doubles wide") << 1.0 << 1.0000000000000002 << 9
        << QStringList{"1,0000000000000000", "1,0000000000000002"};
    QTest::newRow("a few doubles wide, negative") << -2.000000000000001 << -2.0 << 9
        << QStringList{"-2,000000000000001", "-2,000000000000000"};
    QTest::newRow("0 to 1e-20") << 0.0 << 1e-20 << 9 << QStringList{"0", "2E-21", "4E-21", "6E-21", "8E-21", "1E-20"};
    QTest::newRow("tiny, away from 0") << 1e-20 << 1.0000000000000002e-20 << 9
        << QStringList{"1E-20", "1,0000000000000002E-20"};
    QTest::newRow("the least doubles") << 0.0 << 1e-323 << 9 << QStringList{"0", "1E-323"};
}

void BifurcationWindowTest::ticksOfARange()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(int, maxCount);
    QFETCH(QStringList, labels);
    Ticks ticks;
    {
        const Watchdog watchdog("rounding the ticks of a range");
        ticks = roundTicks(min, max, maxCount);
    }
    QStringList got;
    for (double value : ticks.values)
        got << tickText(value, ticks);
    QVERIFY2(got == labels, qPrintable(got.join(QStringLiteral(" | "))));
    QVERIFY(std::is_sorted(ticks.values.cbegin(), ticks.values.cend()));
    QVERIFY(ticks.values.front() >= min && ticks.values.back() <= max);
}

void BifurcationWindowTest::alongParameter_data()
{
    QTest::addColumn<EcologicalParameters>("parameters");
    QTest::addColumn<QString>("id");
    QTest::addColumn<double>("at");          // where to press and where the mark is, on y = 0
    QTest::addColumn<QStringList>("items");  // the choice of what varies after A..F
    QTest::addColumn<QString>("toolTip");    // the chosen item's
    QTest::addColumn<QString>("mark");
    EcologicalParameters noHarvest = kPredation;
    noHarvest.values[5] = 0;
    const QStringList predation{"r", "a", "b", "m", "K", "h₁", "h₂"};
    QTest::newRow("competition, K2") << kCompetition << "K2" << 80.0
        << QStringList{"r₁", "K₁", "α₁₂", "r₂", "K₂", "α₂₁", "h₁", "h₂"} << "K₂: capacidad de carga de la especie y"
        << "K₂ = 80\nEl equilibrio interior se une a (100; 0): intercambio de estabilidad";
    QTest::newRow("predator-prey, h1") << kPredation << "h1" << 0.6 << predation
        << "h₁: tasa de cosecha de la presa x" << "h₁ = 0,6\nEl equilibrio interior se une a (2; 0): intercambio de estabilidad";
    QTest::newRow("predator-prey, K") << noHarvest << "K" << 2.0 << predation
        << "K: capacidad de carga de la presa x (∞: sin límite)"
        << "K = 2\nEl equilibrio interior se une a (2; 0): intercambio de estabilidad";
}

// Along a parameter of the form in force: its symbol and meaning in the choice, a press picks its
// tidiest value of the column, and a mark names it.
void BifurcationWindowTest::alongParameter()
{
    QFETCH(EcologicalParameters, parameters);
    QFETCH(QString, id);
    QFETCH(double, at);
    QFETCH(QStringList, items);
    QFETCH(QString, toolTip);
    QFETCH(QString, mark);
    BifurcationWindow window;
    window.setSystem(coefficientsOf(parameters));
    window.setEcology(parameters);
    auto *choice = window.findChild<QComboBox *>(QStringLiteral("coeficiente"));
    QStringList listed;
    for (int i = 6; i < choice->count(); ++i)
        listed << choice->itemText(i);
    QCOMPARE(listed, items);
    QVERIFY(window.setParameterById(id));
    QCOMPARE(choice->itemData(choice->currentIndex(), Qt::ToolTipRole).toString(), toolTip);
    window.resize(760, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    BifurcationCanvas *canvas = window.canvas();
    const BifurcationGeometry g = canvas->diagramGeometry();
    const double y = g.valueY(BifurcationGeometry::YPanel, 0);
    QCOMPARE(canvas->toolTipAt({g.coefficientX(at), y}), mark);

    QSignalSpy picked(&window, &BifurcationWindow::ecologicalParameterPicked);
    QSignalSpy coefficientPicked(&window, &BifurcationWindow::coefficientPicked);
    QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(int(std::floor(g.coefficientX(at))), int(y) - 30));
    // At the column of 0, outside the domain of K and α (h ≥ 0 holds it), nothing is picked.
    QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(int(std::floor(g.coefficientX(0))), int(y) - 30));
    QCOMPARE(picked.count(), id == QLatin1String("h1") ? 2 : 1);
    QCOMPARE(picked.at(0).at(0).toInt(), parameters.indexOf(id.toStdString()));
    QVERIFY2(picked.at(0).at(1).toDouble() == at, qPrintable(QString::number(picked.at(0).at(1).toDouble(), 'g', 17)));
    QVERIFY(coefficientPicked.isEmpty());
}

void BifurcationWindowTest::formChanges_data()
{
    QTest::addColumn<bool>("hasForm");
    QTest::addColumn<EcologicalParameters>("next");
    QTest::addColumn<int>("items");
    QTest::addColumn<QString>("axis");   // what varies afterwards
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    EcologicalParameters larger = kCompetition;
    larger.values[4] = 250;
    // Along K₂ over 0..180; before it the diagram ran along D = 1, over -1..3.
    QTest::newRow("the form stays, K2 leaves the range") << true << larger << 14 << "K₂" << 160.0 << 340.0;
    QTest::newRow("no form any more") << false << EcologicalParameters{} << 6 << "D" << -1.0 << 3.0;
    QTest::newRow("another form") << true << kPredation << 13 << "D" << -2.5 << 1.5;
}

// A diagram along a parameter never outlives its form: it goes back to the coefficient chosen
// before, over a range about that coefficient's value.
void BifurcationWindowTest::formChanges()
{
    QFETCH(bool, hasForm);
    QFETCH(EcologicalParameters, next);
    QFETCH(int, items);
    QFETCH(QString, axis);
    QFETCH(double, from);
    QFETCH(double, to);
    BifurcationWindow window;
    window.setSystem(coefficientsOf(kCompetition));
    window.setEcology(kCompetition);
    window.setCoefficient(3);
    window.setParameter(4);
    QCOMPARE(window.range(), std::pair(0.0, 180.0));
    QCOMPARE(window.canvas()->scene().axisSymbol(), QStringLiteral("K₂"));
    const std::optional<EcologicalParameters> given = hasForm ? std::optional(next) : std::nullopt;
    window.setSystem(coefficientsOf(given.value_or(kCompetition)));
    window.setEcology(given);
    QCOMPARE(window.findChild<QComboBox *>(QStringLiteral("coeficiente"))->count(), items);
    QCOMPARE(window.canvas()->scene().axisSymbol(), axis);
    QCOMPARE(window.coefficient(), 3);
    QCOMPARE(window.range(), std::pair(from, to));
    QCOMPARE(window.canvas()->scene().from, from);
}

QTEST_MAIN(BifurcationWindowTest)
#include "bifurcation_window_test.moc"
