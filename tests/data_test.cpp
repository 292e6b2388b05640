// Observed data: the reader of series files, their units, the synthetic series and the fit of the
// coefficients and initial point to a series.
#include "model/data/fit.h"
#include "model/data/observations.h"
#include "model/analysis/examples.h"
#include "model/data/synthetic.h"
#include "model/trajectory.h"

#include <QFile>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

using Column = std::vector<std::optional<double>>;
const std::optional<double> none;

// The pelts table, in thousands, 1900–1920: hare, then lynx.
const double kHare[] = {30.0, 47.2, 70.2, 77.4, 36.3, 20.6, 18.1, 21.4, 22.0, 25.4, 27.1,
                        40.3, 57.0, 76.6, 52.3, 19.5, 11.2, 7.6, 14.6, 16.2, 24.7};
const double kLynx[] = {4.0, 6.1, 9.8, 35.2, 59.4, 41.7, 19.0, 13.0, 8.3, 9.1, 7.4,
                        8.0, 12.3, 19.5, 45.7, 51.1, 29.7, 15.8, 9.7, 10.1, 8.6};

Observations read(const QByteArray &bytes)
{
    auto result = readObservations(std::string_view(bytes.constData(), std::size_t(bytes.size())), "d.csv");
    if (const std::string *message = std::get_if<std::string>(&result))
        qFatal("refused: %s", message->c_str());
    return std::get<Observations>(result);
}

Observations hudsonBay()
{
    QFile file(QStringLiteral(LV_SOURCE_DIR "/data/pieles_liebre_lince.csv"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the built-in pelts file is missing");
    return read(file.readAll());
}

ScaledObservations hudsonBayInUnits()
{
    const Observations series = hudsonBay();
    return inProgramUnits(series, chosenUnit(series)).value();
}

bool within(double actual, double expected, double tolerance)
{
    return std::fabs(actual - expected) <= tolerance * std::max(std::fabs(expected), 1.0);
}

// The residuals ln(model) − ln(observed) of a series with every cell observed, x before y.
std::vector<double> logResiduals(const Observations &s, const fit::Values &v)
{
    const auto points = solutionAt(fit::parametersOf(v), s.times, s.times.back() / 100).value();
    std::vector<double> r;
    for (std::size_t i = 0; i < s.size(); ++i) {
        r.push_back(std::log(points[i].x) - std::log(*s.xs[i]));
        r.push_back(std::log(points[i].y) - std::log(*s.ys[i]));
    }
    return r;
}

// The inverse of a small symmetric positive matrix by Gauss–Jordan elimination.
std::vector<std::vector<double>> inverse(std::vector<std::vector<double>> a)
{
    const std::size_t n = a.size();
    std::vector<std::vector<double>> b(n, std::vector<double>(n, 0));
    for (std::size_t i = 0; i < n; ++i)
        b[i][i] = 1;
    for (std::size_t c = 0; c < n; ++c) {
        const double pivot = a[c][c];
        for (std::size_t j = 0; j < n; ++j) {
            a[c][j] /= pivot;
            b[c][j] /= pivot;
        }
        for (std::size_t r = 0; r < n; ++r)
            if (r != c) {
                const double f = a[r][c];
                for (std::size_t j = 0; j < n; ++j) {
                    a[r][j] -= f * a[c][j];
                    b[r][j] -= f * b[c][j];
                }
            }
    }
    return b;
}

// An independent least squares: Gauss–Newton over the free parameters with central differences,
// the normal equations solved by elimination. Gives the optimum, its SSR and standard errors.
struct Independent {
    fit::Values values;
    double ssr = 0;
    std::vector<double> errors;
};
Independent gaussNewton(const Observations &s, fit::Values v, const std::vector<int> &free)
{
    const auto ssrOf = [&](const fit::Values &at) {
        double sum = 0;
        for (double r : logResiduals(s, at))
            sum += r * r;
        return sum;
    };
    std::vector<std::vector<double>> jt;   // Jᵀ, a row per free parameter
    std::vector<std::vector<double>> normal;
    for (int iteration = 0; iteration < 50; ++iteration) {
        const std::vector<double> r = logResiduals(s, v);
        jt.clear();
        for (int j : free) {
            fit::Values up = v, down = v;
            up[std::size_t(j)] += 1e-6;
            down[std::size_t(j)] -= 1e-6;
            const auto a = logResiduals(s, up), b = logResiduals(s, down);
            std::vector<double> column;
            for (std::size_t k = 0; k < r.size(); ++k)
                column.push_back((a[k] - b[k]) / 2e-6);
            jt.push_back(column);
        }
        normal.assign(free.size(), std::vector<double>(free.size(), 0));
        std::vector<double> gradient(free.size(), 0);
        for (std::size_t i = 0; i < free.size(); ++i) {
            for (std::size_t k = 0; k < r.size(); ++k)
                gradient[i] += jt[i][k] * r[k];
            for (std::size_t j = 0; j < free.size(); ++j)
                for (std::size_t k = 0; k < r.size(); ++k)
                    normal[i][j] += jt[i][k] * jt[j][k];
        }
        const auto n1 = inverse(normal);
        fit::Values next = v;
        for (std::size_t i = 0; i < free.size(); ++i)
            for (std::size_t j = 0; j < free.size(); ++j)
                next[std::size_t(free[i])] -= n1[i][j] * gradient[j];
        // Halving keeps the sum of squares falling from a start far from the optimum.
        for (int halving = 0; halving < 30 && !(ssrOf(next) <= ssrOf(v)); ++halving)
            for (int j : free)
                next[std::size_t(j)] = (next[std::size_t(j)] + v[std::size_t(j)]) / 2;
        v = next;
    }
    Independent out{v, ssrOf(v), {}};
    const auto n1 = inverse(normal);
    const double n = double(2 * s.size()), p = double(free.size());
    for (std::size_t i = 0; i < free.size(); ++i)
        out.errors.push_back(std::sqrt(n1[i][i] * out.ssr / (n - p)));
    return out;
}

} // namespace

class DataTest : public QObject {
    Q_OBJECT

private slots:
    void readsGoodFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Column>("xs");
        QTest::addColumn<Column>("ys");
        QTest::addColumn<QString>("names");
        QTest::newRow("comma, decimal point") << QByteArray("t,a,b\n1,1.5,2\n2,3e1,+4\n3,0,-0\n")
                                              << Column{1.5, 30, 0} << Column{2, 4, 0} << "t|a|b";
        QTest::newRow("semicolon, decimal comma, CRLF")
            << QByteArray("año;liebre;lince\r\n1;1,5;2\r\n2;3;4,25\r\n3;5;6\r\n") << Column{1.5, 3, 5}
            << Column{2, 4.25, 6} << "año|liebre|lince";
        QTest::newRow("tab, decimal point, CR only") << QByteArray("t\tx\ty\r1\t0.5\t1\r2\t2\t3\r3\t4\t5")
                                                     << Column{0.5, 2, 4} << Column{1, 3, 5} << "t|x|y";
        QTest::newRow("empty cells, blank lines, trailing separator")
            << QByteArray("\n t , x , y \n1,,2,\n\n2,3,\n3,,\n\n") << Column{none, 3, none}
            << Column{2, none, none} << "t|x|y";
        QTest::newRow("quotes, byte-order mark, empty names")
            << QByteArray("\xEF\xBB\xBF\"\",\"a \"\"b\"\"\",\n\"1\",,\"2\"\n2,3,4\n3,5,6\n") << Column{none, 3, 5}
            << Column{2, 4, 6} << "t|a \"b\"|y";
    }
    void readsGoodFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Column, xs);
        QFETCH(Column, ys);
        QFETCH(QString, names);
        const Observations s = read(bytes);
        QCOMPARE(s.times, (std::vector<double>{1, 2, 3}));
        QVERIFY(s.xs == xs);
        QVERIFY(s.ys == ys);
        QCOMPARE(QString::fromStdString(s.timeName + "|" + s.xName + "|" + s.yName), names);
        if (s.ys.back())
            QVERIFY(!std::signbit(*s.ys.back()));   // -0 read as 0
    }

    void refusesBadFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        const QByteArray two("t,x,y\n1,1,1\n2,2,2\n");
        QTest::newRow("empty") << QByteArray("\n \n") << "línea 1: el archivo está vacío";
        QTest::newRow("header only") << QByteArray("t,x,y\n")
                                     << "el archivo termina en la línea 1 con 0 filas de datos; se necesitan al menos 3";
        QTest::newRow("two rows") << two + "\n\n"
                                  << "el archivo termina en la línea 3 con 2 filas de datos; se necesitan al menos 3";
        QTest::newRow("time goes back") << two + "1.5,1,1\n" << "línea 4: el tiempo «1.5» no es mayor que el anterior, «2»";
        QTest::newRow("time repeated") << two + "2,1,1\n" << "línea 4: el tiempo «2» no es mayor que el anterior, «2»";
        QTest::newRow("time too far") << QByteArray("t,x,y\n-1e308,1,1\n1e308,1,1\n")
                                      << "línea 3: el tiempo «1e308» está demasiado lejos del primero";
        QTest::newRow("negative") << two + "3,1,-0.5\n" << "línea 4: la población «-0.5» es negativa";
        QTest::newRow("word") << two + "3,uno,1\n" << "línea 4: «uno» no es un número";
        QTest::newRow("nan") << two + "3,nan,1\n" << "línea 4: «nan» no es un número";
        QTest::newRow("inf") << two + "inf,1,1\n" << "línea 4: «inf» no es un número";
        QTest::newRow("beyond a double") << two + "3,1e400,1\n" << "línea 4: «1e400» no es un número";
        QTest::newRow("thousands") << QByteArray("t;x;y\n1;1,5;2\n2;2.5;3\n")
                                   << "línea 3: «2.5» lleva punto decimal, pero los números de la línea 2 llevan coma";
        QTest::newRow("comma decimal with commas") << QByteArray("t,x,y\n1,\"1,5\",2\n")
                                                   << "línea 2: «1,5» no es un número (con la coma como separador, los decimales llevan punto)";
        QTest::newRow("two cells") << two + "3,1\n" << "línea 4: tiene 2 columnas; se esperan 3 (t, x, y)";
        QTest::newRow("header of two") << QByteArray("t;x\n1;1;1\n")
                                       << "línea 1: la fila de títulos tiene 2 columnas; se esperan 3 (t, x, y)";
        QTest::newRow("header missing") << QByteArray("1,2,3\n2,3,4\n") << "línea 1: falta la fila de títulos (t, x, y) antes de los números";
        QTest::newRow("no time") << two + ",1,1\n" << "línea 4: falta el tiempo";
        QTest::newRow("open quote") << two + "3,\"1,1\n" << "línea 4: unas comillas no se cierran";
        QTest::newRow("nothing observed") << QByteArray("t,x,y\n1,,\n2,,\n3,,\n")
                                          << "el archivo termina en la línea 4 sin ninguna población observada";
        QByteArray many("t,x,y\n");
        for (int i = 0; i <= 100'000; ++i)
            many += QByteArray::number(i) + ",1,\n";
        QTest::newRow("too many rows") << many << "línea 100002: hay más de 100 000 filas de datos";
        QTest::newRow("too large") << QByteArray((10 << 20) + 1, '\n') << "ocupa más de 10 MiB";
    }
    void refusesBadFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        const auto result = readObservations(std::string_view(bytes.constData(), std::size_t(bytes.size())), "d.csv");
        QVERIFY(std::holds_alternative<std::string>(result));
        QCOMPARE(QString::fromStdString(std::get<std::string>(result)), "No se pueden abrir los datos «d.csv»: " + why + ".");
    }

    // The built-in file holds the table to the last digit, in units of 10 000 pelts from 1900.
    void hudsonBayFileIsTheTable()
    {
        const Observations s = hudsonBay();
        QCOMPARE(s.size(), std::size(kHare));
        for (std::size_t i = 0; i < s.size(); ++i) {
            QCOMPARE(s.times[i], 1900.0 + double(i));
            QCOMPARE(*s.xs[i], kHare[i]);
            QCOMPARE(*s.ys[i], kLynx[i]);
        }
        const ScaledObservations scaled = hudsonBayInUnits();
        QCOMPARE(scaled.unit.exponent, 1);
        QCOMPARE(scaled.timeOffset, 1900.0);
        QCOMPARE(scaled.series.times.back(), 20.0);
        QCOMPARE(*scaled.series.xs[3], 7.74);
    }

    void chosenUnit_data()
    {
        QTest::addColumn<double>("largest");
        QTest::addColumn<int>("exponent");
        QTest::newRow("pelts") << 77.4 << 1;
        QTest::newRow("just below 20") << 19.99 << 0;
        QTest::newRow("20 itself") << 20.0 << 1;
        QTest::newRow("200") << 200.0 << 2;
        QTest::newRow("small") << 0.003 << -3;
        QTest::newRow("zero") << 0.0 << 0;
        QTest::newRow("huge") << 1e300 << 299;
        QTest::newRow("subnormal") << 5e-324 << -300;
    }
    void chosenUnit()
    {
        QFETCH(double, largest);
        QFETCH(int, exponent);
        const Observations s{"t", "x", "y", {0, 1}, {0.0, none}, {largest / 2, largest}};
        QCOMPARE(::chosenUnit(s).exponent, exponent);
        const std::optional<ScaledObservations> scaled = inProgramUnits(s, ObservationUnit{exponent});
        QVERIFY(scaled && std::isfinite(*scaled->series.ys[1]));
        QVERIFY(*scaled->series.ys[1] < 20);
        QVERIFY(!inProgramUnits(Observations{"t", "x", "y", {0}, {1e10}, {none}}, ObservationUnit{-300}));
    }

    // The solution the fit compares is the trajectory drawn, to the last bit, at its samples.
    void solutionIsTheDrawnTrajectory()
    {
        const FitParameters truth = synthetic::truth();
        const Trajectory drawn = computedTrajectory({truth.x0, truth.y0, truth.coefficients, synthetic::dt()});
        const Observations s = synthetic::exactSeries();
        const auto points = solutionAt(truth, s.times, synthetic::dt()).value();
        for (std::size_t i = 0; i < s.size(); ++i) {
            QCOMPARE(points[i].x, drawn.xs(int(5 * i)));
            QCOMPARE(points[i].y, drawn.ys(int(5 * i)));
        }
    }

    // From 30 % off (B and F, zero, from -0.3: self-limited), every parameter free: the exact
    // series gives the truth back within 1e-6,
    // the noisy one within its standard errors (the initial point within two). Over a form's
    // parameters (one held, and the harvest), an example's noise-free yearly series gives its
    // parameters back within 1e-6 and leaves the held one as it started.
    void syntheticTruthRecovered_data()
    {
        QTest::addColumn<bool>("noisy");
        QTest::addColumn<QString>("example");   // a form's series: that example's, sampled 20 times
        QTest::addColumn<QString>("held");      // of the form
        QTest::newRow("noise-free") << false << "" << "";
        QTest::newRow("5 % noise") << true << "" << "";
        QTest::newRow("predator–prey form, K held") << false << "presa_logistica" << "K";
        QTest::newRow("competition form, α₁₂ held") << false << "competencia_coexistencia" << "alfa12";
    }
    void syntheticTruthRecovered()
    {
        QFETCH(bool, noisy);
        QFETCH(QString, example);
        QFETCH(QString, held);
        if (!example.isEmpty()) {
            const auto &e = *std::ranges::find_if(exampleSystems(), [&](const ExampleSystem &s) { return example == s.id; });
            const EcologicalParameters truth = formOf(e.coefficients).value();
            Observations s{"t", "x", "y", {}, {}, {}};
            for (int year = 0; year <= synthetic::kYears; ++year)
                s.times.push_back(e.span * year / synthetic::kYears);
            const std::vector<SolutionPoint> points = solutionAt({e.coefficients, e.x0, e.y0}, s.times, e.span / 100).value();
            for (const SolutionPoint &p : points) {
                s.xs.push_back(p.x);
                s.ys.push_back(p.y);
            }
            FitOptions options;
            options.dt = e.span / 100;
            options.form = truth;
            const int kept = truth.indexOf(held.toStdString());
            for (int i = 0; i < truth.count(); ++i) {
                options.formHeld[std::size_t(i)] = i == kept || i >= truth.indexOf("h1");
                if (!options.formHeld[std::size_t(i)])
                    options.form->values[std::size_t(i)] *= i % 2 ? 0.7 : 1.3;
            }
            const FitResult r = fitObservations(s, {{}, e.x0 * 1.3, e.y0 * 0.7}, options);
            QCOMPARE(r.status, FitStatus::Converged);
            QVERIFY(r.identifiable && r.fittedForm && r.formHeld[std::size_t(kept)]);
            QVERIFY(bitIdentical(r.fitted.coefficients, coefficientsOf(*r.fittedForm)));
            QCOMPARE(r.fittedForm->values[std::size_t(kept)], truth.values[std::size_t(kept)]);
            for (int i = 0; i < truth.count(); ++i) {
                const char *symbol = parametersOf(truth.form)[std::size_t(i)].symbol;
                QVERIFY2(within(r.fittedForm->values[std::size_t(i)], truth.values[std::size_t(i)], 1e-6), symbol);
                QVERIFY2(r.formErrors[std::size_t(i)].has_value() != r.formHeld[std::size_t(i)], symbol);
            }
            QVERIFY(within(r.fitted.x0, e.x0, 1e-6) && within(r.fitted.y0, e.y0, 1e-6));
            return;
        }
        const fit::Values truth = fit::valuesOf(synthetic::truth());
        fit::Values start = truth;
        for (std::size_t j = 0; j < start.size(); ++j)
            start[j] = start[j] == 0 ? -0.3 : start[j] * (j % 2 ? 0.7 : 1.3);
        FitOptions options;
        const FitResult r = fitObservations(noisy ? synthetic::noisySeries() : synthetic::exactSeries(),
                                            fit::parametersOf(start), options);
        QCOMPARE(r.status, FitStatus::Converged);
        QVERIFY(r.identifiable);
        const fit::Values fitted = fit::valuesOf(r.fitted);
        for (std::size_t j = 0; j < truth.size(); ++j) {
            const double se = r.standardErrors[j].value();
            if (noisy)
                QVERIFY2(std::fabs(fitted[j] - truth[j]) <= (j < 6 ? 1 : 2) * se, fit::parameterName(int(j)));
            else
                QVERIFY2(within(fitted[j], truth[j], 1e-6), fit::parameterName(int(j)));
        }
        QCOMPARE(r.residualCount, 42);
        QVERIFY(*r.rSquaredX > (noisy ? 0.9 : 0.999999) && *r.rSquaredY > (noisy ? 0.9 : 0.999999));
    }

    // The classic form fitted to the pelts from «Estimar» agrees with an independent Gauss–Newton.
    void hudsonBayClassicFit()
    {
        const Observations s = hudsonBayInUnits().series;
        const FitOptions options = FitOptions::classicForm();
        const auto estimate = growthEstimate(s, {}, options.held);
        QVERIFY(std::holds_alternative<GrowthEstimate>(estimate));
        const GrowthEstimate &e = std::get<GrowthEstimate>(estimate);
        QCOMPARE(e.rows.size(), std::size_t(6));
        QVERIFY(e.rows[1].held && e.rows[1].value == 0 && !e.rows[1].standardError);
        QVERIFY(e.rows[2].value < 0 && e.rows[4].value > 0 && e.rows[2].standardError);
        QCOMPARE(e.start.x0, 3.0);

        const FitResult r = fitObservations(s, e.start, options);
        QCOMPARE(r.status, FitStatus::Converged);
        QVERIFY(r.warnings.empty());
        const std::vector<int> free{0, 2, 3, 4, 6, 7};
        const Independent check = gaussNewton(s, fit::valuesOf(e.start), free);
        const fit::Values fitted = fit::valuesOf(r.fitted);
        QVERIFY(within(r.ssr, check.ssr, 1e-9));
        for (std::size_t i = 0; i < free.size(); ++i) {
            const auto j = std::size_t(free[i]);
            QVERIFY2(within(fitted[j], check.values[j], 1e-5), fit::parameterName(int(j)));
            QVERIFY2(within(*r.standardErrors[j], check.errors[i], 1e-4), fit::parameterName(int(j)));
        }
        QCOMPARE(fitted[1], 0.0);
        QCOMPARE(fitted[5], 0.0);
    }

    void cancelAndCapStopAFit()
    {
        const Observations s = hudsonBayInUnits().series;
        FitOptions options = FitOptions::classicForm();
        const FitParameters start = std::get<GrowthEstimate>(growthEstimate(s, {}, options.held)).start;
        std::atomic<bool> cancel{true};
        options.cancel = &cancel;
        const FitResult cancelled = fitObservations(s, start, options);
        QCOMPARE(cancelled.status, FitStatus::Cancelled);
        QVERIFY(cancelled.fitted == start);
        QCOMPARE(cancelled.evaluations, 0);
        cancel = false;
        options.maxIterations = 1;
        const FitResult capped = fitObservations(s, start, options);
        QCOMPARE(capped.status, FitStatus::NotConverged);
        QCOMPARE(capped.iterations, 1);
        QVERIFY(QString::fromStdString(capped.warnings.at(0)).startsWith("El ajuste no ha convergido en 1 iteraciones"));
    }

    void refusedFits_data()
    {
        QTest::addColumn<int>("heldCount");
        QTest::addColumn<double>("x0");
        QTest::addColumn<QString>("message");
        QTest::newRow("all held") << 8 << 3.0 << "Todos los parámetros están fijados: no queda nada que ajustar.";
        QTest::newRow("start at zero") << 0 << 0.0
                                       << "La solución desde los valores iniciales no es positiva y finita en todas las observaciones: pruebe «Estimar» u otros valores.";
    }
    void refusedFits()
    {
        QFETCH(int, heldCount);
        QFETCH(double, x0);
        QFETCH(QString, message);
        FitOptions options;
        for (int j = 0; j < heldCount; ++j)
            options.held[std::size_t(j)] = true;
        FitParameters start = synthetic::truth();
        start.x0 = x0;
        const FitResult r = fitObservations(synthetic::exactSeries(), start, options);
        QCOMPARE(r.status, FitStatus::Refused);
        QCOMPARE(QString::fromStdString(r.message), message);
        QVERIFY(r.fitted == start);
    }
};

QTEST_APPLESS_MAIN(DataTest)
#include "data_test.moc"
