// The map of regimes: the colour of pixels either side of a boundary, and a press picking the
// tidiest pair of values within its pixel, over two coefficients or two ecological parameters.
#include "display/regime/regime_map.h"
#include "display/regime/regime_window.h"
#include "model/analysis/bifurcation.h"
#include "model/ecology/ecological_form.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

// Competition x' = x (1 − x + C y), y' = y (1 + E x − y) over C, E in [−3, 1], at 400 × 400
// pixels of 0.01: the regions meet on the lines C = −1 (between columns 199 and 200) and
// E = −1 (between rows 199 and 200).
constexpr Coefficients kCompetition{1, -1, -2, 1, -2, -1};

void showCompetition(RegimeWindow &window)
{
    window.setSystem(kCompetition);
    window.setAxes(2, 4);
    window.setRanges(-3, 1, -3, 1);
    window.map()->setFixedSize(400, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

// The same system in the competition form: r₁ = K₁ = r₂ = K₂ = 1, α₁₂ = α₂₁ = 2, with α₁₂ across
// and α₂₁ up over [from, from + 4]. From 0 the regions meet on α₁₂ = 1 (between columns 99 and
// 100) and α₂₁ = 1 (between rows 299 and 300).
const EcologicalParameters kCompetitionForm{EcologicalForm::Competition, {1, 1, 2, 1, 1, 2, 0, 0}};

void showCompetitionForm(RegimeWindow &window, double from)
{
    window.setSystem(kCompetition);
    window.setEcology(kCompetitionForm);
    QVERIFY(window.setParameters(2, 5));
    window.setRanges(from, from + 4, from, from + 4);
    window.map()->setFixedSize(400, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

// The regime at a pixel's centre, computed apart from the map: -1 outside the domain.
int regimeAtPixel(QPoint pixel, bool alongParameters, double from)
{
    const double h = from + (pixel.x() + 0.5) * 0.01, v = from + 4 - (pixel.y() + 0.5) * 0.01;
    if (!alongParameters)
        return int(regimeOf(withCoefficient(withCoefficient(kCompetition, 2, h), 4, v)));
    if (h <= 0 || v <= 0)
        return -1;
    EcologicalParameters p = kCompetitionForm;
    p.values[2] = h;
    p.values[5] = v;
    return int(regimeOf(coefficientsOf(p)));
}

} // namespace

class RegimeWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }
    void pixelsEitherSideOfABoundary_data();
    void pixelsEitherSideOfABoundary();
    void pressPicksTidiestPair_data();
    void pressPicksTidiestPair();
    void legendFollowsThePictureMadeOnItsThread();
    void arrowsMoveTheCrosshairAndEnterApplies();
    void trailFollowsTheTwoCoefficients_data();
    void trailFollowsTheTwoCoefficients();
    void parameterAxesFollowTheForm_data();
    void parameterAxesFollowTheForm();
};

void RegimeWindowTest::pixelsEitherSideOfABoundary_data()
{
    QTest::addColumn<bool>("alongParameters");
    QTest::addColumn<double>("from");   // of both ranges along parameters
    QTest::addColumn<QPoint>("one");
    QTest::addColumn<QPoint>("other");
    QTest::addColumn<int>("oneRegime");   // -1: outside the domain
    QTest::addColumn<int>("otherRegime");
    QTest::newRow("C = −1, E > −1") << false << 0.0 << QPoint(198, 100) << QPoint(201, 100) << int(Regime::YWins)
                                    << int(Regime::Coexistence);
    QTest::newRow("C = −1, E < −1") << false << 0.0 << QPoint(198, 300) << QPoint(201, 300) << int(Regime::Bistable)
                                    << int(Regime::XWins);
    QTest::newRow("E = −1, C > −1") << false << 0.0 << QPoint(300, 198) << QPoint(300, 201) << int(Regime::Coexistence)
                                    << int(Regime::XWins);
    QTest::newRow("E = −1, C < −1") << false << 0.0 << QPoint(100, 198) << QPoint(100, 201) << int(Regime::YWins)
                                    << int(Regime::Bistable);
    // Along α₁₂ = −C and α₂₁ = −E, mirrored: each boundary found by halving between pixels.
    QTest::newRow("α₁₂ = 1, α₂₁ > 1") << true << 0.0 << QPoint(98, 100) << QPoint(101, 100) << int(Regime::XWins)
                                      << int(Regime::Bistable);
    QTest::newRow("α₁₂ = 1, α₂₁ < 1") << true << 0.0 << QPoint(98, 350) << QPoint(101, 350) << int(Regime::Coexistence)
                                      << int(Regime::YWins);
    QTest::newRow("α₂₁ = 1, α₁₂ < 1") << true << 0.0 << QPoint(50, 298) << QPoint(50, 301) << int(Regime::XWins)
                                      << int(Regime::Coexistence);
    QTest::newRow("α₂₁ = 1, α₁₂ > 1") << true << 0.0 << QPoint(300, 298) << QPoint(300, 301) << int(Regime::Bistable)
                                      << int(Regime::YWins);
    // From −1: α₁₂ = 0 between columns 99 and 100, left of it no competition at all.
    QTest::newRow("α₁₂ ≤ 0 outside the domain") << true << -1.0 << QPoint(98, 100) << QPoint(101, 100) << -1
                                                << int(Regime::XWins);
}

// Each pixel takes the colour of the regime at its centre, and the boundary passes exactly
// between the pixels on either side of its line.
void RegimeWindowTest::pixelsEitherSideOfABoundary()
{
    QFETCH(bool, alongParameters);
    QFETCH(double, from);
    QFETCH(QPoint, one);
    QFETCH(QPoint, other);
    QFETCH(int, oneRegime);
    QFETCH(int, otherRegime);
    RegimeWindow window;
    alongParameters ? showCompetitionForm(window, from) : showCompetition(window);
    const QImage &image = window.map()->picture().image;
    QCOMPARE(image.size(), QSize(400, 400));
    const auto colourOf = [](int regime) { return regime < 0 ? outsideDomainColour() : regimeColour(Regime(regime)); };
    for (const auto &[pixel, regime] : {std::pair{one, oneRegime}, std::pair{other, otherRegime}}) {
        QCOMPARE(regimeAtPixel(pixel, alongParameters, alongParameters ? from : -3.0), regime);
        QCOMPARE(QColor(image.pixel(pixel)), colourOf(regime));
    }
    QVERIFY(image.pixel(one) != image.pixel(other));
    // A boundary between two regimes is drawn on the two pixels between them, and on no other.
    const QPoint step = (other - one) / 3;
    const bool marked = image.pixel(one + step) != colourOf(oneRegime).rgb()
                        && image.pixel(one + 2 * step) != colourOf(otherRegime).rgb();
    QCOMPARE(marked, oneRegime >= 0);
}

void RegimeWindowTest::pressPicksTidiestPair_data()
{
    QTest::addColumn<bool>("alongParameters");
    QTest::addColumn<double>("from");   // of both ranges along parameters
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<double>("c");   // or α₁₂
    QTest::addColumn<double>("e");   // or α₂₁
    QTest::addColumn<bool>("picks");
    QTest::newRow("inside") << false << 0.0 << QPoint(250, 149) << -0.5 << -0.5 << true;
    QTest::newRow("bottom left") << false << 0.0 << QPoint(0, 399) << -3.0 << -3.0 << true;
    QTest::newRow("top right") << false << 0.0 << QPoint(399, 0) << 1.0 << 1.0 << true;
    QTest::newRow("round within a pixel") << false << 0.0 << QPoint(137, 263) << -1.63 << -1.64 << true;
    QTest::newRow("parameters inside") << true << 0.0 << QPoint(250, 149) << 2.5 << 2.5 << true;
    QTest::newRow("parameters from 0: the tidiest above 0") << true << 0.0 << QPoint(0, 399) << 0.001 << 0.001 << true;
    QTest::newRow("parameters outside the domain pick nothing") << true << -1.0 << QPoint(10, 100) << 0.0 << 0.0 << false;
}

void RegimeWindowTest::pressPicksTidiestPair()
{
    QFETCH(bool, alongParameters);
    QFETCH(double, from);
    QFETCH(QPoint, pixel);
    QFETCH(double, c);
    QFETCH(double, e);
    QFETCH(bool, picks);
    RegimeWindow window;
    alongParameters ? showCompetitionForm(window, from) : showCompetition(window);
    QSignalSpy started(&window, &RegimeWindow::dragStarted);
    QSignalSpy picked(&window, &RegimeWindow::valuesPicked);
    QSignalSpy pickedParameters(&window, &RegimeWindow::parametersPicked);
    QSignalSpy finished(&window, &RegimeWindow::dragFinished);
    QTest::mouseClick(window.map(), Qt::LeftButton, {}, pixel);
    QCOMPARE(started.count(), 1);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(picked.count(), picks && !alongParameters ? 1 : 0);
    QCOMPARE(pickedParameters.count(), picks && alongParameters ? 1 : 0);
    if (!picks)
        return;
    const QList<QVariant> args = alongParameters ? pickedParameters.first() : picked.first();
    QCOMPARE(args[0].toInt(), 2);   // C, or α₁₂
    QCOMPARE(args[1].toDouble(), c);
    QCOMPARE(args[2].toInt(), alongParameters ? 5 : 4);
    QCOMPARE(args[3].toDouble(), e);
}

// The picture made on the map's thread reaches the screen and the legend: the four cases of
// competition, and after D changes to -1 (only extinction or x's win left along C, E), those.
void RegimeWindowTest::legendFollowsThePictureMadeOnItsThread()
{
    RegimeWindow window;
    showCompetition(window);
    auto *legend = window.findChild<QLabel *>(QStringLiteral("leyenda"));
    QVERIFY(legend);
    QTRY_VERIFY(legend->text().contains(QStringLiteral("biestable")));
    for (const char *name : {"coexistencia", "gana x", "gana y"})
        QVERIFY2(legend->text().contains(QString::fromUtf8(name)), name);
    Coefficients dying = kCompetition;
    dying.D = -1;
    window.setSystem(dying);
    QTRY_VERIFY(!legend->text().contains(QStringLiteral("biestable")));
    QVERIFY(!legend->text().contains(QStringLiteral("gana y")));
}

// From the crosshair at C = E = -2 (pixel 100, 300), three pixels right and one up, then Enter.
void RegimeWindowTest::arrowsMoveTheCrosshairAndEnterApplies()
{
    RegimeWindow window;
    showCompetition(window);
    QSignalSpy picked(&window, &RegimeWindow::valuesPicked);
    RegimeMap *map = window.map();
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Up})
        QTest::keyClick(map, key);
    QCOMPARE(map->keyPixel(), std::optional<QPoint>(QPoint(103, 299)));
    QVERIFY(map->accessibleDescription().contains(QStringLiteral("C = -1,97; E = -2")));
    QCOMPARE(picked.count(), 0);
    QTest::keyClick(map, Qt::Key_Return);
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked.first()[1].toDouble(), -1.97);
    QCOMPARE(picked.first()[3].toDouble(), -2.0);
    QVERIFY(!map->keyPixel());
}

void RegimeWindowTest::trailFollowsTheTwoCoefficients_data()
{
    QTest::addColumn<int>("changes");      // of C, by 0.01 each
    QTest::addColumn<bool>("otherChanges");   // A changes too, each time
    QTest::addColumn<bool>("axisChanges");    // then the horizontal axis becomes A
    QTest::addColumn<int>("length");
    QTest::newRow("three steps") << 3 << false << false << 4;
    QTest::newRow("a third coefficient alone moves nothing") << 0 << true << false << 1;
    QTest::newRow("with a third coefficient") << 3 << true << false << 4;
    QTest::newRow("bounded") << 100 << false << false << RegimeMap::kTrailLength;
    QTest::newRow("a new axis forgets it") << 5 << false << true << 1;
}

// The trail holds the values on the axes in order, the present ones last, and no more of them
// than its bound.
void RegimeWindowTest::trailFollowsTheTwoCoefficients()
{
    QFETCH(int, changes);
    QFETCH(bool, otherChanges);
    QFETCH(bool, axisChanges);
    QFETCH(int, length);
    RegimeWindow window;
    showCompetition(window);
    Coefficients k = kCompetition;
    for (int i = 0; i < std::max(changes, otherChanges ? 3 : 0); ++i) {
        if (i < changes)
            k.C += 0.01;
        if (otherChanges)
            k.A += 0.1;
        window.setSystem(k);
    }
    if (axisChanges)
        window.setAxes(0, 4);
    const std::deque<QPointF> &trail = window.map()->trail();
    QCOMPARE(int(trail.size()), length);
    QCOMPARE(trail.back().x(), axisChanges ? k.A : k.C);
    QCOMPARE(trail.back().y(), k.E);
    if (length > 1)
        QVERIFY(trail[trail.size() - 2].x() < trail.back().x());
}

void RegimeWindowTest::parameterAxesFollowTheForm_data()
{
    QTest::addColumn<bool>("formStays");     // the next form is competition again, with α₁₂ = 3
    QTest::addColumn<bool>("formGone");      // no form at all
    QTest::newRow("the same form follows its values") << true << false;
    QTest::newRow("another form: back to C and E") << false << false;
    QTest::newRow("no form: back to C and E") << false << true;
}

// Axes along parameters keep them while the form stays, and go back to their coefficients when
// it changes: no map of parameters that no longer exist.
void RegimeWindowTest::parameterAxesFollowTheForm()
{
    QFETCH(bool, formStays);
    QFETCH(bool, formGone);
    RegimeWindow window;
    showCompetitionForm(window, 0);
    auto *across = window.findChild<QComboBox *>(QStringLiteral("ejeHorizontal"));
    QCOMPARE(across->count(), 6 + 8);
    QCOMPARE(window.verticalParameterId(), QStringLiteral("alfa21"));
    EcologicalParameters next = kCompetitionForm;
    next.values[2] = 3;
    if (!formStays)
        next = EcologicalParameters{EcologicalForm::PredatorPrey, {1, 1, 1, 1, 2, 0, 0}};
    window.setEcology(formGone ? std::nullopt : std::optional(next));
    QCOMPARE(window.horizontalParameter(), formStays ? 2 : -1);
    QCOMPARE(window.verticalParameter(), formStays ? 5 : -1);
    QCOMPARE(across->currentText(), formStays ? QStringLiteral("α₁₂") : QStringLiteral("C"));
    QCOMPARE(across->count(), formGone ? 6 : formStays ? 6 + 8 : 6 + 7);
    QCOMPARE(window.map()->scene().valueH(), formStays ? 3.0 : -2.0);
    // Choosing a parameter for one axis brings the other to the one answering it.
    if (!formGone) {
        across->setCurrentIndex(6 + 1);
        QCOMPARE(window.verticalParameter(), formStays ? 5 : 2);
        QCOMPARE(window.rangeH(), std::make_pair(0.0, 2.0));
    }
}

QTEST_MAIN(RegimeWindowTest)
#include "regime_window_test.moc"
