// The window's state driven without any widget: it links Qt's core alone.
#include "state/explorer_state.h"
#include "state/scenario.h"
#include "state/scenario_state.h"
#include "state/time_player.h"

#include "model/data/synthetic.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cfloat>
#include <cmath>
#include <cstring>
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

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every sample of two trajectories, to the last bit.
bool sameSamples(const Trajectory &a, const Trajectory &b)
{
    for (int k = kFirstSample; k <= kLastSample; ++k)
        if (a.ok(k) != b.ok(k) || !sameBits(a.xs(k), b.xs(k)) || !sameBits(a.ys(k), b.ys(k)))
            return false;
    return a.coefficients == b.coefficients && sameBits(a.dt, b.dt);
}

// The refusal a reading gave, or nothing.
QString refusalOf(const std::variant<Scenario, QString> &read)
{
    return std::holds_alternative<QString>(read) ? std::get<QString>(read) : QString();
}

// "Competencia con exclusión" from (1, 1.6) with two kept trajectories, as data/ejemplo.lvesc.
void showExclusion(ExplorerState &state)
{
    using enum ExplorerState::Option;
    state.setCoefficients({8, -1, -2, 7, -2, -1});
    state.setSpan(4);
    recomputeAt(state, {2.5, 3.5});
    for (ExplorerState::Option o : {KeepTrajectories, Nullclines, Equilibria, Separatrices, Legend, Scales})
        state.setOption(o, true);
    recomputeAt(state, {3, 2});
    recomputeAt(state, {1, 1.6});
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
    void fitGoesWithItsCoefficients();
    void scenarioKeepsEveryBit_data();
    void scenarioKeepsEveryBit();
    void scenarioRestoresTheState();
    void badScenarioFiles_data();
    void badScenarioFiles();
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
    QTest::newRow("span whose dt underflows to 0") << 0 << nan << 1e-322;
    QTest::newRow("span whose dt is subnormal") << 3 << inf << 2e-306;
    QTest::newRow("infinite span") << 5 << -nan << inf;
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

// Guards a fit staying only while its coefficients are in force, and undo bringing back the
// observations with it.
void StateTest::fitGoesWithItsCoefficients()
{
    ExplorerState state;
    start(state);
    const Observations series = synthetic::noisySeries();
    // A unit so small that a value overflows is refused.
    Observations large = series;
    large.xs[1] = 1e10;
    QVERIFY(!state.setObservations(large, ObservationUnit{-300}));
    QVERIFY(!state.observations());
    QVERIFY(state.setObservations(series));
    FitResult fit;
    fit.fitted.coefficients = state.coefficients();
    state.setFit(fit);
    QVERIFY(state.fit());
    const ExplorerState::Snapshot before = state.snapshot();
    recomputeAt(state, {3, 3});
    QVERIFY(state.fit());
    QSignalSpy fitChanged(&state, &ExplorerState::fitChanged);
    QVERIFY(state.setCoefficient(0, 3.5));
    recomputeAt(state, {3, 3});
    QVERIFY(!state.fit());
    QCOMPARE(fitChanged.size(), 1);
    state.clearObservations();
    QSignalSpy observationsChanged(&state, &ExplorerState::observationsChanged);
    state.restore(before);
    QCOMPARE(observationsChanged.size(), 1);
    QVERIFY(state.observations() && state.observations()->observed == series);
    QVERIFY(state.fit());
}

void StateTest::scenarioKeepsEveryBit_data()
{
    QTest::addColumn<double>("value");

    QTest::newRow("0.1") << 0.1;
    QTest::newRow("1/3") << 1.0 / 3;
    QTest::newRow("1e-300") << 1e-300;
    QTest::newRow("-0.0") << -0.0;
    QTest::newRow("least subnormal") << 5e-324;
    QTest::newRow("DBL_MAX") << DBL_MAX;
    QTest::newRow("-2^60 + 2^8, a whole number past int64's exactness") << -(0x1p60 + 0x1p8);
}

// Guards a file read back giving the same doubles as were written, to the last bit.
void StateTest::scenarioKeepsEveryBit()
{
    QFETCH(double, value);
    Scenario s;
    s.coefficients = {value, -value, value, 1, value, value};
    s.x0 = value;
    s.y0 = -value;
    s.span = value / 100 > 0 ? value : 3.0;
    s.diagram.from = std::nextafter(value, -HUGE_VAL);
    s.diagram.to = value;
    s.diagram.parameter = QStringLiteral("alfa21");
    s.regimeMap = {true, 5, 0, std::nextafter(value, -HUGE_VAL), value, -1, 1, QStringLiteral("K1"), QStringLiteral("alfa12")};
    s.options[std::size_t(ExplorerState::Option::KeepTrajectories)] = true;
    s.kept.push_back({-value, value, s.coefficients, s.span});
    s.trajectoryCoefficients = Coefficients{1, value, 1, 1, 1, -value};
    s.trajectorySpan = s.span;
    const auto read = scenarioFromJson(scenarioToJson(s), QStringLiteral("x.lvesc"));
    QVERIFY2(std::holds_alternative<Scenario>(read), qPrintable(refusalOf(read)));
    const Scenario &back = std::get<Scenario>(read);
    const Coefficients &k = back.coefficients;
    for (double d : {k.A, k.C, k.E, k.F, back.x0, back.diagram.to, back.kept.at(0).y0, back.kept[0].coefficients.F})
        QVERIFY(sameBits(d, value));
    QVERIFY(sameBits(k.B, -value) && sameBits(back.y0, -value) && sameBits(back.kept[0].x0, -value));
    QVERIFY(sameBits(back.span, s.span) && sameBits(back.kept[0].span, s.span));
    QVERIFY(sameBits(back.diagram.from, s.diagram.from));
    QCOMPARE(back.diagram.parameter, s.diagram.parameter);
    QVERIFY(back.regimeMap.open && back.regimeMap.horizontal == 5 && back.regimeMap.vertical == 0);
    QCOMPARE(back.regimeMap.parameterH + back.regimeMap.parameterV, QStringLiteral("K1alfa12"));
    QVERIFY(sameBits(back.regimeMap.fromH, s.regimeMap.fromH) && sameBits(back.regimeMap.toH, value));
    QVERIFY(sameBits(back.trajectoryCoefficients.value().B, value) && sameBits(back.trajectoryCoefficients->F, -value));
    // The ecological parameters too, with K = ∞ written as "inf".
    Scenario ecological;
    const double rate = std::fabs(value) > 0 ? std::fabs(value) : 1;
    ecological.ecologicalForm = EcologicalForm::PredatorPrey;
    ecological.ecology = EcologicalParameters{EcologicalForm::PredatorPrey, {1, rate, 2, rate, HUGE_VAL, rate / 2, 0}};
    ecological.coefficients = coefficientsOf(*ecological.ecology);
    const auto readEcology = scenarioFromJson(scenarioToJson(ecological), QStringLiteral("x.lvesc"));
    QVERIFY2(std::holds_alternative<Scenario>(readEcology), qPrintable(refusalOf(readEcology)));
    const auto &parameters = std::get<Scenario>(readEcology).ecology.value();
    for (std::size_t i = 0; i < std::size_t(kMaxParameters); ++i)
        QVERIFY(sameBits(parameters.values[i], ecological.ecology->values[i]));
    // Every dt a span gives, dt * 100 gives back that span.
    QVERIFY(sameBits(spanOfStep(s.span / 100) / 100, s.span / 100));
}

// Guards opening a scenario showing the same state: every kept trajectory recomputed from its
// inputs to the same samples, bit for bit, with the options, cursor and view.
void StateTest::scenarioRestoresTheState()
{
    ExplorerState shown;
    showExclusion(shown);
    shown.setCursor(-37);
    shown.setView({1, 0.5, 3.25});
    shown.setCoefficient(1, -0.125);   // set, not in force: the trajectory keeps its own
    // Typed parameters with a harvest, which the coefficients alone would not give back.
    QVERIFY(shown.setEcologicalParameter(4, 0.3));   // K₂
    QVERIFY(shown.setEcologicalParameter(7, 0.25));  // h₂
    shown.setOption(ExplorerState::Option::Legend, true);
    shown.setLegendCorner(LegendCorner::BottomLeft);
    const QByteArray json = scenarioToJson(scenarioOf(shown, 1, 1.6));

    QFile example(QStringLiteral(LV_SOURCE_DIR "/data/ejemplo.lvesc"));
    QVERIFY(example.open(QIODevice::ReadOnly));
    const auto fromExample = scenarioFromJson(example.readAll(), example.fileName());
    QVERIFY2(std::holds_alternative<Scenario>(fromExample), qPrintable(refusalOf(fromExample)));
    QCOMPARE(std::get<Scenario>(fromExample).kept.size(), std::size_t(2));
    QVERIFY(!std::get<Scenario>(fromExample).options[std::size_t(ExplorerState::Option::Basins)]);
    // Written before the forms: it opens with the form its coefficients fit.
    QVERIFY(!std::get<Scenario>(fromExample).ecologicalForm);
    ExplorerState fromOldFile;
    start(fromOldFile);
    applyScenario(fromOldFile, std::get<Scenario>(fromExample));
    QCOMPARE(fromOldFile.ecologicalForm(), EcologicalForm::Competition);
    QVERIFY(fromOldFile.ecology() && !fromOldFile.ecologyTyped());

    const auto read = scenarioFromJson(json, QStringLiteral("x.lvesc"));
    QVERIFY2(std::holds_alternative<Scenario>(read), qPrintable(refusalOf(read)));
    ExplorerState opened;
    start(opened);
    applyScenario(opened, std::get<Scenario>(read));
    QVERIFY(sameSamples(opened.trajectory(), shown.trajectory()));
    QCOMPARE(opened.keptTrajectories().size(), std::size_t(2));
    for (std::size_t i = 0; i < 2; ++i)
        QVERIFY(sameSamples(opened.keptTrajectories()[i], shown.keptTrajectories()[i]));
    QCOMPARE(opened.cursor(), -37);
    QCOMPARE(opened.coefficient(1), -0.125);
    QVERIFY(opened.system().coefficients == shown.system().coefficients);
    QCOMPARE(opened.view(), (PlaneView{1, 0.5, 3.25}));
    QCOMPARE(opened.legendCorner(), LegendCorner::BottomLeft);
    QVERIFY(opened.ecologyTyped());
    for (std::size_t i = 0; i < std::size_t(kMaxParameters); ++i)
        QVERIFY(sameBits(opened.ecology()->values[i], shown.ecology()->values[i]));
    for (std::size_t i = 0; i < ExplorerState::kOptionCount; ++i)
        QCOMPARE(opened.option(ExplorerState::Option(i)), shown.option(ExplorerState::Option(i)));
    QCOMPARE(scenarioToJson(scenarioOf(opened, 1, 1.6)), json);
}

void StateTest::badScenarioFiles_data()
{
    QTest::addColumn<QByteArray>("from");   // in a good file, this text is replaced ("*": the whole file)
    QTest::addColumn<QByteArray>("to");     // by this
    QTest::addColumn<QString>("reason");

    QTest::newRow("not JSON") << QByteArray("\"cursor\": -37,") << QByteArray("\"cursor\": -37")
                              << "no es JSON válido: un objeto sin cerrar en la línea 8, columna 4";
    QTest::newRow("a number beyond a double") << QByteArray("\"cursor\": -37") << QByteArray("\"cursor\": 1e400")
                                              << "un número no válido o fuera de rango en la línea 7, columna 18";
    QTest::newRow("not an object") << QByteArray("*") << QByteArray("[]") << "no es un objeto JSON";
    QTest::newRow("another format") << QByteArray("lotka-volterra-escena") << QByteArray("otra")
                                    << "es de otro formato («otra», no «lotka-volterra-escena»)";
    QTest::newRow("a newer version") << QByteArray("\"version\": 1") << QByteArray("\"version\": 2")
                                     << "es de una versión más reciente (2)";
    QTest::newRow("a missing number") << QByteArray("\"B\": -1, ") << QByteArray()
                                      << "falta el número «coeficientes.B»";
    QTest::newRow("a number as text") << QByteArray("\"x\": 1,") << QByteArray("\"x\": \"1\",")
                                      << "«puntoInicial.x» no es un número";
    QTest::newRow("span 0") << QByteArray("\"intervalo\": 4,") << QByteArray("\"intervalo\": 0,")
                            << "el intervalo de tiempo «intervalo» debe ser mayor que 0 (es 0)";
    QTest::newRow("a span whose dt is 0") << QByteArray("\"intervalo\": 4}") << QByteArray("\"intervalo\": 1e-323}")
                                          << "«trayectoriasConservadas[0].intervalo» es demasiado pequeño";
    QTest::newRow("a span whose dt is subnormal") << QByteArray("\"intervalo\": 4,") << QByteArray("\"intervalo\": 1e-306,")
                                                  << "el intervalo de tiempo «intervalo» es demasiado pequeño";
    QTest::newRow("cursor past the last sample") << QByteArray("-37") << QByteArray("101")
                                                 << "«cursor» debe ser un número entero de -100 a 100 (es 101)";
    QTest::newRow("cursor between samples") << QByteArray("-37") << QByteArray("2.5")
                                            << "«cursor» debe ser un número entero de -100 a 100 (es 2.5)";
    QTest::newRow("an unknown corner of the legend") << QByteArray("\"coeficientesEnVivo\"")
                                                     << QByteArray("\"esquinaLeyenda\": \"centro\", \"coeficientesEnVivo\"")
                                                     << "«esquinaLeyenda» debe ser arribaDerecha";
    QTest::newRow("an unknown option") << QByteArray("\"leyenda\"") << QByteArray("\"brujula\"")
                                       << "no conoce la opción «brujula»";
    QTest::newRow("kept without the option") << QByteArray("\"conservar\", ") << QByteArray()
                                             << "conserva trayectorias sin la opción «conservar»";
    QTest::newRow("an empty diagram range") << QByteArray("\"hasta\": 10") << QByteArray("\"hasta\": 6")
                                            << "«diagrama.desde» debe ser menor que «diagrama.hasta»";
    QTest::newRow("a diagram along no ecological parameter") << QByteArray("\"hasta\": 10")
        << QByteArray("\"hasta\": 10, \"parametro\": \"D\"") << "«diagrama.parametro» debe ser un parámetro ecológico";
    QTest::newRow("a map with one coefficient on both axes") << QByteArray("\"ejeVertical\": \"E\"")
        << QByteArray("\"ejeVertical\": \"C\"") << "«mapa.ejeHorizontal» y «mapa.ejeVertical» deben ser dos letras";
    QTest::newRow("a map along one parameter twice") << QByteArray("\"hastaV\": 2}")
        << QByteArray("\"hastaV\": 2, \"parametroH\": \"K1\", \"parametroV\": \"K1\"}")
        << "«mapa.parametroH» y «mapa.parametroV» deben ser dos parámetros distintos";
    QTest::newRow("a map along parameters of two forms") << QByteArray("\"hastaV\": 2}")
        << QByteArray("\"hastaV\": 2, \"parametroH\": \"alfa12\", \"parametroV\": \"beta21\"}")
        << "«mapa.parametroH» y «mapa.parametroV» deben ser dos parámetros distintos";
    QTest::newRow("an empty map range") << QByteArray("\"hastaV\": 2}") << QByteArray("\"hastaV\": -3}")
                                        << "«mapa.desdeV» debe ser menor que «mapa.hastaV»";
    QTest::newRow("an unknown ecological form") << QByteArray("\"competencia\"") << QByteArray("\"depredacion\"")
                                                << "«formaEcologica.forma» debe ser competencia";
    QTest::newRow("a capacity of 0") << QByteArray("\"K2\": 7") << QByteArray("\"K2\": 0")
                                     << "«formaEcologica.parametros.K2» debe ser mayor que 0 (es 0)";
    QTest::newRow("an infinite rate") << QByteArray("\"r1\": 8") << QByteArray("\"r1\": \"inf\"")
                                      << "«formaEcologica.parametros.r1» no es un número";
    QTest::newRow("parameters of other coefficients") << QByteArray("\"K2\": 7") << QByteArray("\"K2\": 7.5")
                                                      << "«formaEcologica.parametros» no dan los coeficientes";
    QTest::newRow("more than 50 kept") << QByteArray() << QByteArray() << "conserva 51 trayectorias, y caben 50";
    QTest::newRow("larger than 1 MiB") << QByteArray("\n}") << QByteArray(scenario::kMaxFileBytes, ' ') + "}"
                                       << "ocupa más de 1 MiB";
    QTest::newRow("cannot be read") << QByteArray() << QByteArray() << "no se puede leer";
}

// Guards a bad file being refused with a message that names the file and says what is wrong.
void StateTest::badScenarioFiles()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, reason);
    ExplorerState shown;
    showExclusion(shown);
    shown.setCursor(-37);
    Scenario good = scenarioOf(shown, 1, 1.6);
    good.diagram = {true, 3, 6, 10, {}};
    if (QByteArray(QTest::currentDataTag()) == "more than 50 kept")
        good.kept.resize(51);
    QByteArray json = scenarioToJson(good);
    if (from == "*")
        json = to;
    QVERIFY(from.isEmpty() || json.contains(from) || json == to);
    json.replace(from, to);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("escena mala.lvesc"));
    QFile file(path);
    if (reason != QLatin1String("no se puede leer"))
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(json) == json.size());
    file.close();
    const auto read = readScenarioFile(path);
    QVERIFY(std::holds_alternative<QString>(read));
    const QString message = std::get<QString>(read);
    QVERIFY2(message.startsWith(QStringLiteral("No se puede abrir el escenario «%1»: ").arg(QDir::toNativeSeparators(path))),
             qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
}

QTEST_GUILESS_MAIN(StateTest)
#include "state_test.moc"
