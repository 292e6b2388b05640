// The map of regimes: the colour of pixels either side of a boundary, and a press picking the
// tidiest pair of values within its pixel.
#include "display/regime/regime_map.h"
#include "display/regime/regime_window.h"
#include "model/analysis/bifurcation.h"

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
};

void RegimeWindowTest::pixelsEitherSideOfABoundary_data()
{
    QTest::addColumn<QPoint>("one");
    QTest::addColumn<QPoint>("other");
    QTest::addColumn<int>("oneRegime");
    QTest::addColumn<int>("otherRegime");
    QTest::newRow("C = −1, E > −1") << QPoint(198, 100) << QPoint(201, 100) << int(Regime::YWins)
                                    << int(Regime::Coexistence);
    QTest::newRow("C = −1, E < −1") << QPoint(198, 300) << QPoint(201, 300) << int(Regime::Bistable)
                                    << int(Regime::XWins);
    QTest::newRow("E = −1, C > −1") << QPoint(300, 198) << QPoint(300, 201) << int(Regime::Coexistence)
                                    << int(Regime::XWins);
    QTest::newRow("E = −1, C < −1") << QPoint(100, 198) << QPoint(100, 201) << int(Regime::YWins)
                                    << int(Regime::Bistable);
}

// Each pixel takes the colour of the regime at its centre, and the boundary passes exactly
// between the pixels on either side of its line.
void RegimeWindowTest::pixelsEitherSideOfABoundary()
{
    QFETCH(QPoint, one);
    QFETCH(QPoint, other);
    QFETCH(int, oneRegime);
    QFETCH(int, otherRegime);
    RegimeWindow window;
    showCompetition(window);
    const QImage &image = window.map()->picture().image;
    QCOMPARE(image.size(), QSize(400, 400));
    for (const auto &[pixel, regime] : {std::pair{one, oneRegime}, std::pair{other, otherRegime}}) {
        const double c = -3 + (pixel.x() + 0.5) * 0.01, e = 1 - (pixel.y() + 0.5) * 0.01;
        const Coefficients k = withCoefficient(withCoefficient(kCompetition, 2, c), 4, e);
        QCOMPARE(int(regimeOf(k)), regime);
        QCOMPARE(QColor(image.pixel(pixel)), regimeColour(Regime(regime)));
    }
    QVERIFY(image.pixel(one) != image.pixel(other));
}

void RegimeWindowTest::pressPicksTidiestPair_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<double>("c");
    QTest::addColumn<double>("e");
    QTest::newRow("inside") << QPoint(250, 149) << -0.5 << -0.5;
    QTest::newRow("bottom left") << QPoint(0, 399) << -3.0 << -3.0;
    QTest::newRow("top right") << QPoint(399, 0) << 1.0 << 1.0;
    QTest::newRow("round within a pixel") << QPoint(137, 263) << -1.63 << -1.64;
}

void RegimeWindowTest::pressPicksTidiestPair()
{
    QFETCH(QPoint, pixel);
    QFETCH(double, c);
    QFETCH(double, e);
    RegimeWindow window;
    showCompetition(window);
    QSignalSpy started(&window, &RegimeWindow::dragStarted);
    QSignalSpy picked(&window, &RegimeWindow::valuesPicked);
    QSignalSpy finished(&window, &RegimeWindow::dragFinished);
    QTest::mouseClick(window.map(), Qt::LeftButton, {}, pixel);
    QCOMPARE(started.count(), 1);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(picked.count(), 1);
    const QList<QVariant> args = picked.first();
    QCOMPARE(args[0].toInt(), 2);
    QCOMPARE(args[1].toDouble(), c);
    QCOMPARE(args[2].toInt(), 4);
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

QTEST_MAIN(RegimeWindowTest)
#include "regime_window_test.moc"
