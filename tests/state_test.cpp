// The window's state driven without any widget: it links Qt's core alone.
#include "state/explorer_state.h"
#include "state/time_player.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

Q_DECLARE_METATYPE(PlaneView)

namespace {

using Point = std::pair<double, double>;

void recomputeAt(ExplorerState &state, Point p)
{
    state.recompute([p] { return p.first; }, [p] { return p.second; });
}

// The defaults computed from (5, 5), as the window starts.
void start(ExplorerState &state)
{
    state.setDefaults();
    recomputeAt(state, {5, 5});
}

} // namespace

class StateTest : public QObject {
    Q_OBJECT

private slots:
    void recomputedSaysWhatIsNew_data();
    void recomputedSaysWhatIsNew();
    void keptTrajectories_data();
    void keptTrajectories();
    void refusedValuesChangeNothing_data();
    void refusedValuesChangeNothing();
    void cursor_data();
    void cursor();
    void viewStaysWithinTheLimits_data();
    void viewStaysWithinTheLimits();
    void playing();
};

void StateTest::recomputedSaysWhatIsNew_data()
{
    QTest::addColumn<int>("coefficient");   // -1: none set
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("span");        // 0: none set
    QTest::addColumn<bool>("newCoefficients");
    QTest::addColumn<bool>("newStep");

    QTest::newRow("nothing new") << -1 << 0.0 << 0.0 << false << false;
    QTest::newRow("a coefficient") << 1 << -0.25 << 0.0 << true << false;
    QTest::newRow("the same value again") << 0 << 4.0 << 0.0 << false << false;
    QTest::newRow("the span") << -1 << 0.0 << 5.0 << false << true;
    QTest::newRow("the same span again") << -1 << 0.0 << 2.0 << false << false;
    QTest::newRow("both") << 5 << 0.5 << 3.0 << true << true;
}

// Guards the analysis and the underlays being redone exactly when the system in force changes.
void StateTest::recomputedSaysWhatIsNew()
{
    QFETCH(int, coefficient);
    QFETCH(double, value);
    QFETCH(double, span);
    QFETCH(bool, newCoefficients);
    QFETCH(bool, newStep);
    ExplorerState state;
    start(state);
    const Coefficients before = state.system().coefficients;
    if (coefficient >= 0)
        QVERIFY(state.setCoefficient(coefficient, value));
    if (span > 0)
        QVERIFY(state.setSpan(span));
    // Set, a coefficient is not in force until the next recomputation.
    QVERIFY(state.system().coefficients == before);
    QSignalSpy recomputed(&state, &ExplorerState::recomputed);
    recomputeAt(state, {5, 5});
    QCOMPARE(recomputed.size(), 1);
    QCOMPARE(recomputed[0][0].toBool(), newCoefficients);
    QCOMPARE(recomputed[0][1].toBool(), newStep);
    QVERIFY(state.system().coefficients == state.coefficients());
    QCOMPARE(state.system().dt, state.model().dt);
    QCOMPARE(state.trajectory().xs(0), 5.0);
}

void StateTest::keptTrajectories_data()
{
    QTest::addColumn<bool>("keep");
    QTest::addColumn<bool>("continuous");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("kept");

    QTest::newRow("option off") << false << false << 3 << 0;
    QTest::newRow("each replaced one") << true << false << 3 << 3;
    QTest::newRow("a continuous change keeps its first") << true << true << 3 << 1;
    QTest::newRow("at most kMaxKept") << true << false << 60 << int(ExplorerState::kMaxKept);
}

// Guards which trajectories are kept, newest first, and that switching the option off forgets them.
void StateTest::keptTrajectories()
{
    QFETCH(bool, keep);
    QFETCH(bool, continuous);
    QFETCH(int, points);
    QFETCH(int, kept);
    ExplorerState state;
    start(state);
    state.setOption(ExplorerState::Option::KeepTrajectories, keep);
    // The same trajectory again is never kept.
    recomputeAt(state, {5, 5});
    QVERIFY(state.keptTrajectories().empty());
    if (continuous)
        state.beginContinuousChange();
    for (int i = 1; i <= points; ++i)
        recomputeAt(state, {1 + 0.05 * i, 2});
    state.endContinuousChange();
    QCOMPARE(int(state.keptTrajectories().size()), kept);
    if (kept > 0) {
        // The newest kept is the one the last recomputation replaced.
        QCOMPARE(state.keptTrajectories().front().xs(0), continuous || points == 1 ? 5.0 : 1 + 0.05 * (points - 1));
        QSignalSpy changed(&state, &ExplorerState::keptTrajectoriesChanged);
        state.setOption(ExplorerState::Option::KeepTrajectories, false);
        QVERIFY(state.keptTrajectories().empty());
        QCOMPARE(changed.size(), 1);
    }
}

void StateTest::refusedValuesChangeNothing_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("span");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    QTest::newRow("NaN") << 1 << nan << nan;
    QTest::newRow("infinity") << 2 << inf << -inf;
    QTest::newRow("index past F, span zero") << 6 << 1.0 << 0.0;
    QTest::newRow("negative index, negative span") << -1 << 1.0 << -2.0;
}

// Guards the state against values that would leave NaN or infinity in it.
void StateTest::refusedValuesChangeNothing()
{
    QFETCH(int, index);
    QFETCH(double, value);
    QFETCH(double, span);
    ExplorerState state;
    start(state);
    QSignalSpy changed(&state, &ExplorerState::coefficientChanged);
    const Coefficients before = state.coefficients();
    QVERIFY(!state.setCoefficient(index, value));
    QVERIFY(!state.setSpan(span));
    QVERIFY(state.coefficients() == before);
    QCOMPARE(state.span(), 2.0);
    QCOMPARE(changed.size(), 0);
}

void StateTest::cursor_data()
{
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("moves");

    QTest::newRow("moved") << 37 << 37 << 1;
    QTest::newRow("where it stands") << 0 << 0 << 0;
    QTest::newRow("before the first sample") << -500 << kFirstSample << 1;
    QTest::newRow("past the last sample") << 500 << kLastSample << 1;
}

// Guards the cursor staying on a sample and saying only real moves.
void StateTest::cursor()
{
    QFETCH(int, to);
    QFETCH(int, expected);
    QFETCH(int, moves);
    ExplorerState state;
    start(state);
    QSignalSpy moved(&state, &ExplorerState::cursorMoved);
    state.setCursor(to);
    QCOMPARE(state.cursor(), expected);
    QCOMPARE(int(moved.size()), moves);

    // Stepping between turning points: the defaults' closed orbit has several on each side.
    const std::vector<TurningPoint> &points = state.turningPoints();
    QVERIFY(points.size() > 2);
    state.setCursor(0);
    state.moveToTurningPoint(+1);
    QVERIFY(state.cursor() > 0);
    for (const TurningPoint &p : points)
        QVERIFY(p.sample <= 0 || p.sample >= state.cursor());
    state.setCursor(points.front().sample);
    state.moveToTurningPoint(-1);
    QCOMPARE(state.cursor(), points.front().sample);
}

void StateTest::viewStaysWithinTheLimits_data()
{
    QTest::addColumn<PlaneView>("asked");
    QTest::addColumn<PlaneView>("kept");
    const double nan = std::numeric_limits<double>::quiet_NaN();

    QTest::newRow("designed") << PlaneView{} << PlaneView{};
    QTest::newRow("inside") << PlaneView{-3, 2, 4} << PlaneView{-3, 2, 4};
    QTest::newRow("wider than the square") << PlaneView{-30, -30, 100} << PlaneView{-20, -20, 40};
    QTest::newRow("narrower than 1e-6") << PlaneView{1, 1, 1e-9} << PlaneView{1, 1, 1e-6};
    QTest::newRow("past the right and top") << PlaneView{18, 19, 5} << PlaneView{15, 15, 5};
    QTest::newRow("past the left and bottom") << PlaneView{-25, -21, 2} << PlaneView{-20, -20, 2};
    QTest::newRow("not a number") << PlaneView{nan, 0, 1} << PlaneView{};
}

// Guards the view against leaving the square where samples exist, or collapsing.
void StateTest::viewStaysWithinTheLimits()
{
    QFETCH(PlaneView, asked);
    QFETCH(PlaneView, kept);
    ExplorerState state;
    QSignalSpy changed(&state, &ExplorerState::viewChanged);
    state.setView(asked);
    QCOMPARE(state.view(), kept);
    QCOMPARE(changed.size(), kept == PlaneView{} ? 0 : 1);
    // Zooming about a point keeps it in place, away from the limits.
    const PlaneView zoomed = plane_view::zoomedAbout(PlaneView{}, 3, 7, 4);
    QCOMPARE(zoomed.side, PlaneView{}.side / 4);
    QCOMPARE((3 - zoomed.left) / zoomed.side, (3 - PlaneView{}.left) / PlaneView{}.side);
}

// Guards play: the cursor moves while playing, stops when paused and at the end, starts again
// from the first sample, and the speed stays within its bounds.
void StateTest::playing()
{
    ExplorerState state;
    start(state);
    TimePlayer player(state);
    QCOMPARE(player.speed(), 25);
    for (int i = 0; i < 6; ++i)
        player.faster();
    QCOMPARE(player.speed(), TimePlayer::kFastest);
    player.setPlaying(true);
    QTRY_VERIFY(state.cursor() > 10);
    player.setPlaying(false);
    const int paused = state.cursor();
    QTest::qWait(50);
    QCOMPARE(state.cursor(), paused);
    QSignalSpy stopped(&player, &TimePlayer::playingChanged);
    player.setPlaying(true);
    QTRY_COMPARE(state.cursor(), kLastSample);
    QTRY_VERIFY(!player.isPlaying());
    QCOMPARE(stopped.size(), 2);
    player.setPlaying(true);
    QCOMPARE(state.cursor(), kFirstSample);
    player.setPlaying(false);
    for (int i = 0; i < 10; ++i)
        player.slower();
    QCOMPARE(player.speed(), TimePlayer::kSlowest);
}

QTEST_GUILESS_MAIN(StateTest)
#include "state_test.moc"
