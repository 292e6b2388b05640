// What the export actions write and copy: exact numbers, one shape per sample, the picture the
// window shows, and nothing left behind by a write that fails.
#include "display/bifurcation/bifurcation_canvas.h"
#include "display/export/plot_picture.h"
#include "display/plots/plot_surface.h"
#include "display/regime/regime_map.h"
#include "display/views/plot_views.h"
#include "interaction/analysis/analysis_layer.h"
#include "interaction/data/observation_actions.h"
#include "interaction/export/plot_export.h"
#include "interaction/export/printing.h"
#include "interaction/prog.h"
#include "interaction/scenario/scenario_files.h"
#include "state/scenario.h"
#include "tests/dialog_answerer.h"
#include "tests/scoped_locale.h"

#include <QFontInfo>
#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QPainter>
#include <QClipboard>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QPrinter>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <QtConcurrent>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <functional>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Save dialogs of the window answer path, with the given filter chosen.
void answerSaveDialogs(Prog &window, const QString &path, const QString &filter = {})
{
    window.exports->askSaveFileName = [path, filter](const QString &, const QString &, const QString &, QString *chosen) {
        if (!filter.isEmpty())
            *chosen = filter;
        return path;
    };
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The whole text as a double; NaN when it is not one.
double number(const QByteArray &text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.cbegin(), text.cend(), value);
    return error == std::errc() && end == text.cend() ? value : std::nan("");
}

// The pixels of the PDF's first page, rendered at 30 dpi, whose hue stands out (the plots'
// colours; the text and the axes are black or grey): -1 when the page could not be rendered.
int colouredPixelsOnFirstPage(const QString &pdf)
{
    const QString prefix = pdf + QStringLiteral(".page");
    QProcess render;
    render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-f"), QStringLiteral("1"),
                                              QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-singlefile"),
                                              QStringLiteral("-png"), pdf, prefix});
    QImage page;
    if (!render.waitForFinished(30'000) || render.exitCode() != 0 || !page.load(prefix + QStringLiteral(".png")))
        return -1;
    int coloured = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            coloured += std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 60;
        }
    return coloured;
}

// Shortcuts reach the actions of the active window only.
bool activate(Prog &window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

// Runs steps on the window: a number is typed into XI and computed, "@k" moves the time
// cursor to k, "rango" gives the diagram coefficient E over -7.25..3.5, "rangoMapa" the map of
// regimes F across over -1..0.5 and A up over 2..9, "parametrosMapa" the map α₁₂ across from
// -0.5 and α₂₁ up, anything else
// triggers the action of that name.
void run(Prog &window, const QStringList &steps)
{
    for (const QString &step : steps) {
        auto *diagram = window.findChild<QWidget *>(QStringLiteral("Bifurcacion"));
        if (bool isNumber = false; step.toDouble(&isNumber), isNumber) {
            window.XI->setText(step);
            window.Calcular_Click();
        } else if (step.startsWith(u'@')) {
            window.HScroll1->setValue(step.mid(1).toInt());
        } else if (step == u"rango") {
            diagram->findChild<QComboBox *>(QStringLiteral("coeficiente"))->setCurrentIndex(4);
            diagram->findChild<QDoubleSpinBox *>(QStringLiteral("desde"))->setValue(-7.25);
            diagram->findChild<QDoubleSpinBox *>(QStringLiteral("hasta"))->setValue(3.5);
        } else if (step == u"rangoMapa") {
            auto *map = window.findChild<QWidget *>(QStringLiteral("MapaRegimenes"));
            map->findChild<QComboBox *>(QStringLiteral("ejeHorizontal"))->setCurrentIndex(5);
            map->findChild<QComboBox *>(QStringLiteral("ejeVertical"))->setCurrentIndex(0);
            map->findChild<QDoubleSpinBox *>(QStringLiteral("desdeH"))->setValue(-1);
            map->findChild<QDoubleSpinBox *>(QStringLiteral("hastaH"))->setValue(0.5);
            map->findChild<QDoubleSpinBox *>(QStringLiteral("desdeV"))->setValue(2);
            map->findChild<QDoubleSpinBox *>(QStringLiteral("hastaV"))->setValue(9);
        } else if (step == u"parametrosMapa") {
            // α₁₂ across brings α₂₁ up; then a range that starts outside the domain.
            auto *map = window.findChild<QWidget *>(QStringLiteral("MapaRegimenes"));
            map->findChild<QComboBox *>(QStringLiteral("ejeHorizontal"))->setCurrentIndex(6 + 2);
            map->findChild<QDoubleSpinBox *>(QStringLiteral("desdeH"))->setValue(-0.5);
        } else if (step == u"cerrarDiagrama") {
            diagram->close();
        } else {
            window.findChild<QAction *>(step)->trigger();
        }
    }
}

// What the window shows, but for the plots: its boxes and scroll bar, and the state with the
// analysis and diagram windows as a scenario.
QStringList shownBy(Prog &window)
{
    QStringList shown;
    for (const QLineEdit *box : {window.XI, window.YI, window.Text2, window.TR, window.XR, window.YR})
        shown << box->text();
    return shown << QString::number(window.HScroll1->value()) << scenarioToJson(window.scenarios->scenario());
}

void answerOpenDialogs(Prog &window, const QString &path)
{
    window.scenarios->askOpenFileName = [path](const QString &, const QString &, const QString &) { return path; };
}

int validSamples(const Model &model)
{
    int count = 0;
    for (int k = kFirstSample; k <= kLastSample; ++k)
        count += model.ok(k);
    return count;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// The messages Qt and the program print while run runs, kept instead of printed.
QStringList printedBy(const std::function<void()> &run)
{
    static QStringList kept;
    kept.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) { kept << text; });
    run();
    qInstallMessageHandler(previous);
    return kept;
}

// Runs run while no file this process writes may grow past the given size: the system refuses
// the write, as on a full disk. The signal that would end the process is ignored meanwhile.
void withFileSizeLimit(rlim_t bytes, const std::function<void()> &run)
{
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limit = previous;
    limit.rlim_cur = bytes;
    const auto signal = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    run();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, signal);
}

// Whether something opening the named pipe hung while run ran: a watch from another thread
// sees a reader waiting there for a writer and then opens the pipe for writing, which lets the
// reader go on to an empty file. It watches for ten seconds at most.
bool pipeOpeningHung(const QString &path, const std::function<void()> &run)
{
    auto stop = std::make_shared<std::atomic<bool>>(false);
    QFuture<bool> watch = QtConcurrent::run([path = QFile::encodeName(path), stop] {
        for (int i = 0; i < 200 && !*stop; ++i) {
            if (const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK); fd >= 0) {
                ::close(fd);
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    });
    run();
    *stop = true;
    return watch.result();
}

// Runs the test case named in a child process that mounts a file system of 16 KiB on folder for
// itself alone and is told so in LV_SMALL_FOLDER. Skips where no file system can be mounted.
void runInSmallFileSystem(const QString &folder, const QString &testCase)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LV_SMALL_FOLDER"), folder);
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral("unshare"),
                {QStringLiteral("--mount"), QStringLiteral("--map-root-user"), QStringLiteral("sh"), QStringLiteral("-c"),
                 QStringLiteral("mount -t tmpfs -o size=16k lv \"$1\" && echo mounted && shift && exec \"$@\""),
                 QStringLiteral("sh"), folder, QCoreApplication::applicationFilePath(), testCase});
    if (!child.waitForStarted())
        QSKIP("unshare cannot be started here");
    if (!child.waitForFinished(120'000)) {
        child.kill();
        child.waitForFinished();
        QFAIL("the child did not end within two minutes");
    }
    const QByteArray out = child.readAllStandardOutput();
    if (!out.startsWith("mounted\n"))
        QSKIP(qPrintable(QStringLiteral("no small file system can be mounted here: ")
                         + QString::fromLocal8Bit(child.readAllStandardError().trimmed())));
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, out.constData());
}

} // namespace

class ExportTest : public QObject {
    Q_OBJECT

private slots:
    void csvReadsBackExactly();
    void csvAndPictureHoldTheObservations();
    void scenarioTooLargeForItsDataIsNotWritten();
    void svgHoldsOneSquarePerSample();
    void svgShapesStayInTheirPlot_data();
    void svgShapesStayInTheirPlot();
    void diagramSavesAsPngAndSvg();
    void regimeMapSavesAsPng();
    void pngShowsWhatTheScreenShows_data();
    void pngShowsWhatTheScreenShows();
    void legendChangesOnlyItsRectangles_data();
    void legendChangesOnlyItsRectangles();
    void failedWriteLeavesNothing_data();
    void failedWriteLeavesNothing();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
    void addedExtensionAsksBeforeReplacing_data();
    void addedExtensionAsksBeforeReplacing();
    void clipboardTextInTheUsersLocale();
    void scenarioOpensAsSaved_data();
    void scenarioOpensAsSaved();
    void badScenarioChangesNothing_data();
    void badScenarioChangesNothing();
    void handoutHoldsTheSystemAsText_data();
    void handoutHoldsTheSystemAsText();
    void printIsSearchableText_data();
    void printIsSearchableText();
};

// Every stored value of the current and a kept trajectory, invalid samples included, reads
// back from the file as the same double.
void ExportTest::csvReadsBackExactly()
{
    QTemporaryDir dir;
    Prog window;
    window.Form_Load();
    window.findChild<QAction *>(QStringLiteral("conservar"))->setChecked(true);
    window.XI->setText(QStringLiteral("3"));
    window.calcula();
    QCOMPARE(window.state().keptTrajectories().size(), std::size_t(1));
    window.model.ok(7) = false;   // its stored values are written all the same
    answerSaveDialogs(window, dir.filePath(QStringLiteral("datos")));
    QVERIFY(activate(window));
    QTest::keyClick(window.Calcular, Qt::Key_E, Qt::ControlModifier);

    const QList<QByteArray> lines = contents(dir.filePath(QStringLiteral("datos.csv"))).split('\n');
    QCOMPARE(lines.size(), 1 + 2 * kSampleCount + 1);   // the last line ends too
    QCOMPARE(lines.front(), QByteArray("trayectoria,k,t,x,y,valida,A,B,C,D,E,F,dt\r"));
    const Trajectory current = trajectoryOf(window.model, window.state().system().coefficients);
    const Trajectory *trajectories[] = {&current, &window.state().keptTrajectories().front()};
    for (int row = 0; row < 2 * kSampleCount; ++row) {
        const Trajectory &t = *trajectories[row / kSampleCount];
        const int k = kFirstSample + row % kSampleCount;
        const Coefficients &c = t.coefficients;
        const double expected[] = {double(row / kSampleCount), double(k), k * t.dt, t.xs(k), t.ys(k),
                                   t.ok(k) ? 1.0 : 0.0, c.A, c.B, c.C, c.D, c.E, c.F, t.dt};
        const QByteArray &line = lines[row + 1];
        QVERIFY(line.endsWith('\r'));
        const QList<QByteArray> fields = line.chopped(1).split(',');
        QCOMPARE(fields.size(), 13);
        for (int column = 0; column < 13; ++column)
            QVERIFY2(std::bit_cast<std::uint64_t>(number(fields[column])) == std::bit_cast<std::uint64_t>(expected[column]),
                     line.constData());
    }
    QVERIFY(lines[1 + 7 - kFirstSample].contains(",0,"));   // the invalid sample, valida 0
}

// The observations follow the trajectories in the CSV, one row each with trayectoria «datos»
// and empty cells where nothing was observed, and the saved picture shows them.
void ExportTest::csvAndPictureHoldTheObservations()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huecos.csv"));
    QVERIFY(writeAll(path, "dia,x,y\n5,1.5,\n6,2,3\n7.5,,4\n"));
    Prog window;
    window.Form_Load();
    const QImage without = window.findChild<PlotViews *>()->picture();
    QVERIFY(window.data->openFile(path));
    QVERIFY(window.findChild<PlotViews *>()->picture() != without);
    answerSaveDialogs(window, dir.filePath(QStringLiteral("datos.csv")));
    run(window, {QStringLiteral("exportarDatos")});
    const QList<QByteArray> lines = contents(dir.filePath(QStringLiteral("datos.csv"))).split('\n');
    QCOMPARE(lines.size(), 1 + kSampleCount + 3 + 1);
    QCOMPARE(lines.mid(1 + kSampleCount, 3),
             (QList<QByteArray>{"datos,0,0,1.5,,,,,,,,,\r", "datos,1,1,2,3,,,,,,,,\r", "datos,2,2.5,,4,,,,,,,,\r"}));
}

// Guards against a scenario written with long data that its reader then refuses as too large:
// it is not written, and the message says why.
void ExportTest::scenarioTooLargeForItsDataIsNotWritten()
{
    QTemporaryDir dir;
    QByteArray rows("t,x,y\n");
    for (int i = 0; i < 60'000; ++i)
        rows += QByteArray::number(i) + ",1.2345678901234,2.3456789012345\n";
    const QString data = dir.filePath(QStringLiteral("largo.csv"));
    QVERIFY(writeAll(data, rows));
    Prog window;
    window.Form_Load();
    QVERIFY(window.data->openFile(data));
    const QString path = dir.filePath(QStringLiteral("escena.lvesc"));
    answerSaveDialogs(window, path);
    DialogAnswerer answerer(QString{});
    run(window, {QStringLiteral("guardarEscenario")});
    QVERIFY2(answerer.seen().prompt.startsWith(QStringLiteral("Con estos datos el escenario ocuparía más de 1 MiB")),
             qPrintable(answerer.seen().prompt));
    QVERIFY(!QFileInfo::exists(path));
}

// One filled square in the points' ink for every valid sample, in each plot's drawing area.
void ExportTest::svgHoldsOneSquarePerSample()
{
    QTemporaryDir dir;
    Prog window;
    window.Form_Load();
    answerSaveDialogs(window, dir.filePath(QStringLiteral("plots")), QStringLiteral("Imagen SVG (*.svg)"));
    window.findChild<QAction *>(QStringLiteral("guardarImagen"))->trigger();

    const QString ink = plot_picture::coloursOf(window.XYgraf->palette()).text.name();
    const PlotKind plots[] = {PlotKind::PhasePlane, PlotKind::XAgainstTime, PlotKind::YAgainstTime};
    int squares[4] = {};   // in each plot, and elsewhere
    QString fill;          // of the innermost group: QSvgGenerator nests none inside another
    QXmlStreamReader svg(contents(dir.filePath(QStringLiteral("plots.svg"))));
    while (!svg.atEnd()) {
        if (svg.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = svg.attributes();
        if (svg.name() == u"g")
            fill = a.value(QLatin1String("fill")).toString();
        if (svg.name() != u"rect" || fill != ink)
            continue;
        const QPointF corner(a.value(QLatin1String("x")).toDouble(), a.value(QLatin1String("y")).toDouble());
        int in = 3;
        for (int i = 0; i < 3; ++i)
            in = QRectF(plot_picture::drawingArea(plots[i])).contains(corner) ? i : in;
        ++squares[in];
    }
    QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
    const int valid = validSamples(window.model);
    QVERIFY(valid > 100);
    QCOMPARE(QList<int>(squares, squares + 4), QList<int>({valid, valid, valid, 0}));
}

void ExportTest::svgShapesStayInTheirPlot_data()
{
    QTest::addColumn<QString>("example");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("options");
    const QStringList every{"isoclinas", "equilibrios", "campo", "escalas", "conservar", "unirPuntos", "extremos",
                            "leyenda", "separatrices"};
    QTest::newRow("bounded mutualism, every option") << "modelo_mutualismo" << "3" << every;
    QTest::newRow("bounded mutualism, joined") << "modelo_mutualismo" << "1" << QStringList{"unirPuntos"};
    QTest::newRow("default system from far out, every option") << "" << "9" << every;
}

// Regression: the file kept no clip, so joining lines ran out of their plot into the next one.
// Every coordinate of a shape that reaches into a plot lies inside that plot's drawing area;
// what lies outside every plot is only the background and the borders.
void ExportTest::svgShapesStayInTheirPlot()
{
    QFETCH(QString, example);
    QFETCH(QString, start);
    QFETCH(QStringList, options);
    QTemporaryDir dir;
    Prog window;
    window.Form_Load();
    for (const QString &option : options)
        window.findChild<QAction *>(option)->setChecked(true);
    if (!example.isEmpty())
        window.findChild<QAction *>(example)->trigger();
    window.XI->setText(start);
    window.calcula();   // keeps the trajectory before it when asked
    window.HScroll1->setValue(40);
    answerSaveDialogs(window, dir.filePath(QStringLiteral("plots")), QStringLiteral("Imagen SVG (*.svg)"));
    // Less the test platform's own, as the window that asked is raised again.
    const QStringList printed = printedBy([&window] {
        window.findChild<QAction *>(QStringLiteral("guardarImagen"))->trigger();
    }).filter(QRegularExpression(QStringLiteral("^(?!This plugin does not support raise\\(\\)$)")));
    // Regression: the clipping device answered no pixel ratio, with a warning at every shape.
    QVERIFY2(printed.isEmpty(), qPrintable(QStringLiteral("%1 messages, the first: %2").arg(printed.size()).arg(printed.value(0))));

    const plot_picture::Colours colours = plot_picture::coloursOf(window.XYgraf->palette());
    const QRectF areas[] = {QRectF(plot_picture::drawingArea(PlotKind::PhasePlane)),
                            QRectF(plot_picture::drawingArea(PlotKind::XAgainstTime)),
                            QRectF(plot_picture::drawingArea(PlotKind::YAgainstTime))};
    const auto inside = [](const QRectF &r, QPointF p) {
        return p.x() >= r.left() - 1e-3 && p.x() <= r.right() + 1e-3 && p.y() >= r.top() - 1e-3 && p.y() <= r.bottom() + 1e-3;
    };
    const QRegularExpression numberPattern(QStringLiteral("-?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?"));
    const auto numbers = [&](QStringView text) {
        QList<double> values;
        for (auto it = numberPattern.globalMatch(text); it.hasNext();)
            values << it.next().captured().toDouble();
        return values;
    };
    QTransform transform;   // of the innermost group: QSvgGenerator nests none inside another
    QString fill, stroke;
    int shapes[4] = {};     // in each plot, and outside every plot
    QXmlStreamReader svg(contents(dir.filePath(QStringLiteral("plots.svg"))));
    while (!svg.atEnd()) {
        if (svg.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = svg.attributes();
        const auto at = [&a](const char *name) { return a.value(QLatin1String(name)).toDouble(); };
        if (svg.name() == u"g") {
            const QList<double> m = numbers(a.value(QLatin1String("transform")));
            transform = m.size() == 6 ? QTransform(m[0], m[1], m[2], m[3], m[4], m[5]) : QTransform();
            fill = a.value(QLatin1String("fill")).toString();
            stroke = a.value(QLatin1String("stroke")).toString();
            continue;
        }
        QList<QPointF> points;
        if (svg.name() == u"rect" || svg.name() == u"image") {
            points << QPointF(at("x"), at("y")) << QPointF(at("x") + at("width"), at("y") + at("height"));
        } else if (svg.name() == u"ellipse" || svg.name() == u"circle") {
            const double rx = svg.name() == u"circle" ? at("r") : at("rx"), ry = svg.name() == u"circle" ? at("r") : at("ry");
            points << QPointF(at("cx") - rx, at("cy") - ry) << QPointF(at("cx") + rx, at("cy") + ry);
        } else if (svg.name() == u"line") {
            points << QPointF(at("x1"), at("y1")) << QPointF(at("x2"), at("y2"));
        } else if (svg.name() == u"text") {
            points << QPointF(at("x"), at("y"));
        } else if (svg.name() == u"polyline" || svg.name() == u"polygon" || svg.name() == u"path") {
            const QList<double> v = numbers(a.value(QLatin1String(svg.name() == u"path" ? "d" : "points")));
            QVERIFY2(v.size() % 2 == 0, qPrintable(svg.name().toString()));
            for (qsizetype i = 0; i + 1 < v.size(); i += 2)
                points << QPointF(v[i], v[i + 1]);
        } else {
            continue;
        }
        QVERIFY(!points.isEmpty());
        int home = 3;
        for (int i = 0; i < 3; ++i)
            if (std::any_of(points.cbegin(), points.cend(), [&](QPointF p) { return inside(areas[i], transform.map(p)); }))
                home = i;
        ++shapes[home];
        if (home == 3) {
            QVERIFY2(fill == colours.window.name() || stroke == colours.border.name(),
                     qPrintable(QStringLiteral("a %1 outside every plot, line %2").arg(svg.name(), QString::number(svg.lineNumber()))));
            continue;
        }
        for (QPointF p : points)
            QVERIFY2(inside(areas[home], transform.map(p)),
                     qPrintable(QStringLiteral("a %1 of plot %2 reaches (%3, %4), line %5")
                                    .arg(svg.name(), QString::number(home), QString::number(transform.map(p).x()),
                                         QString::number(transform.map(p).y()), QString::number(svg.lineNumber()))));
    }
    QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
    QVERIFY(shapes[0] > 100 && shapes[1] > 100 && shapes[2] > 100);
}

// The map of regimes too: a PNG of the map's size whose pixels are the regimes' colours.
void ExportTest::regimeMapSavesAsPng()
{
    QTemporaryDir dir;
    Prog window;
    window.Form_Load();
    window.findChild<QAction *>(QStringLiteral("mapaRegimenes"))->trigger();
    auto *map = window.findChild<QWidget *>(QStringLiteral("MapaRegimenes"));
    QVERIFY(map);
    auto *save = map->findChild<QAction *>(QStringLiteral("guardarMapa"));
    QVERIFY(save);
    answerSaveDialogs(window, dir.filePath(QStringLiteral("mapa")));
    save->trigger();
    QImage png;
    QVERIFY(png.loadFromData(contents(dir.filePath(QStringLiteral("mapa.png")))));
    const QWidget *shown = map->findChild<QWidget *>(QStringLiteral("mapa"));
    QCOMPARE(png.size(), shown->size());
    QCOMPARE(QColor(png.pixel(2, 2)), QColor(static_cast<const RegimeMap *>(shown)->picture().image.pixel(2, 2)));
    QVERIFY(QColor(png.pixel(2, 2)) != QColor(Qt::white));
}

// The bifurcation diagram saves itself through the same path: a PNG of its size, an SVG that parses.
void ExportTest::diagramSavesAsPngAndSvg()
{
    QTemporaryDir dir;
    Prog window;
    window.Form_Load();
    window.findChild<QAction *>(QStringLiteral("bifurcacion"))->trigger();
    auto *diagram = window.findChild<QWidget *>(QStringLiteral("Bifurcacion"));
    QVERIFY(diagram);
    auto *save = diagram->findChild<QAction *>(QStringLiteral("guardarDiagrama"));
    QVERIFY(save);
    answerSaveDialogs(window, dir.filePath(QStringLiteral("diagrama")));
    save->trigger();
    QImage png;
    QVERIFY(png.loadFromData(contents(dir.filePath(QStringLiteral("diagrama.png")))));
    QVERIFY(png.width() > 100 && png.height() > 100);
    answerSaveDialogs(window, dir.filePath(QStringLiteral("diagrama.svg")));
    save->trigger();
    QXmlStreamReader svg(contents(dir.filePath(QStringLiteral("diagrama.svg"))));
    int paths = 0;
    // Regression: the file's text was three quarters of the size the window shows (72 dpi).
    const QString pixels = QString::number(QFontInfo(diagram->findChild<BifurcationCanvas *>()->font()).pixelSize());
    QStringList fontSizes;
    while (!svg.atEnd()) {
        const bool start = svg.readNext() == QXmlStreamReader::StartElement;
        paths += start && (svg.name() == u"path" || svg.name() == u"polyline");
        if (start && svg.name() == u"text" && svg.attributes().hasAttribute(QStringLiteral("font-size")))
            fontSizes << svg.attributes().value(QStringLiteral("font-size")).toString();
    }
    QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
    QVERIFY(paths > 0);
    QVERIFY(!fontSizes.isEmpty());
    for (const QString &size : fontSizes)
        QCOMPARE(size, pixels);
}

void ExportTest::pngShowsWhatTheScreenShows_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("designed") << QStringList();
    QTest::newRow("every option") << QStringList{"isoclinas", "equilibrios", "campo", "escalas",
                                                 "conservar", "unirPuntos", "extremos", "separatrices"};
    QTest::newRow("legend") << QStringList{"leyenda", "isoclinas", "equilibrios", "conservar"};
    QTest::newRow("observations, legend, scales") << QStringList{"datosLinceLiebre", "leyenda", "escalas"};
}

// Each plot's drawing area in the saved picture and on the screen, axis lines included, pixel
// for pixel; the copied picture is the same.
void ExportTest::pngShowsWhatTheScreenShows()
{
    QFETCH(QStringList, options);
    QTemporaryDir dir;
    Prog window;
    window.Form_Load();
    for (const QString &option : options) {
        QAction *action = window.findChild<QAction *>(option);
        if (action->isCheckable())
            action->setChecked(true);
        else
            action->trigger();
    }
    window.XI->setText(QStringLiteral("3"));
    window.calcula();   // a kept trajectory when asked
    window.pintura();
    QVERIFY(activate(window));
    window.Calcular->setFocus();   // no plot shows its focus frame
    answerSaveDialogs(window, dir.filePath(QStringLiteral("plots.png")));
    QTest::keyClick(window.Calcular, Qt::Key_S, Qt::ControlModifier);

    const QImage saved = QImage(dir.filePath(QStringLiteral("plots.png"))).convertToFormat(QImage::Format_RGB32);
    const QImage screen = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(screen.devicePixelRatio(), 1.0);   // logical pixels are the image's pixels here
    QCOMPARE(saved.size(), plot_picture::size());
    const std::pair<PlotKind, PlotSurface *> plots[] = {
        {PlotKind::PhasePlane, window.XYgraf}, {PlotKind::XAgainstTime, window.Xgraf}, {PlotKind::YAgainstTime, window.Ygraf}};
    for (const auto &[kind, surface] : plots)
        QCOMPARE(saved.copy(plot_picture::drawingArea(kind)), screen.copy(surface->contentsRect().translated(surface->pos())));

    QTest::keyClick(window.Calcular, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), saved);
}

void ExportTest::legendChangesOnlyItsRectangles_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("designed") << QStringList();
    QTest::newRow("overlays and a kept trajectory") << QStringList{"isoclinas", "equilibrios", "escalas", "conservar"};
}

// The legend on changes the picture only inside the rectangles of its titles and legend, and
// inside each of them; off again, the picture, the SVG and the window are as they were.
void ExportTest::legendChangesOnlyItsRectangles()
{
    QFETCH(QStringList, options);
    Prog window;
    window.Form_Load();
    for (const QString &option : options)
        window.findChild<QAction *>(option)->setChecked(true);
    window.XI->setText(QStringLiteral("3"));
    window.calcula();
    window.pintura();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto *views = window.findChild<PlotViews *>();
    const QImage off = views->picture().convertToFormat(QImage::Format_RGB32);
    const QByteArray svgOff = views->svg();
    const QImage screenOff = window.grab().toImage();
    QAction *legend = window.findChild<QAction *>(QStringLiteral("leyenda"));
    legend->setChecked(true);
    const QImage on = views->picture().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(on.size(), off.size());
    QCOMPARE(on.devicePixelRatio(), 1.0);

    std::vector<QRect> rects;
    for (PlotKind plot : {PlotKind::PhasePlane, PlotKind::XAgainstTime, PlotKind::YAgainstTime}) {
        const QRect area = plot_picture::drawingArea(plot);
        QImage scratch(area.size(), QImage::Format_RGB32);
        QPainter painter(&scratch);
        const std::vector<QRectF> painted = views->paintOver(plot, painter, QSizeF(area.size()));
        QCOMPARE(painted.size(), plot == PlotKind::PhasePlane ? 3u : 2u);
        for (const QRectF &r : painted)
            rects.push_back(r.translated(area.topLeft()).toAlignedRect().intersected(area));
    }
    for (int y = 0; y < on.height(); ++y)
        for (int x = 0; x < on.width(); ++x)
            if (on.pixel(x, y) != off.pixel(x, y))
                QVERIFY2(std::any_of(rects.cbegin(), rects.cend(), [x, y](const QRect &r) { return r.contains(x, y); }),
                         qPrintable(QStringLiteral("changed at (%1, %2)").arg(x).arg(y)));
    for (const QRect &r : rects)
        QVERIFY2(on.copy(r) != off.copy(r), "a title or the legend painted nothing");
    const QByteArray svgOn = views->svg();
    QVERIFY(svgOn.contains(">Trayectoria</text>") && !svgOff.contains(">Trayectoria</text>"));

    legend->setChecked(false);
    QCOMPARE(views->picture().convertToFormat(QImage::Format_RGB32), off);
    QCOMPARE(views->svg(), svgOff);
    QCOMPARE(window.grab().toImage(), screenOff);
}

void ExportTest::failedWriteLeavesNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folderInTheWay");
    QTest::addColumn<QString>("reason");   // in Spanish, not in Qt's English
    // In a folder that does not exist no temporary file can be made beside the file, even by root.
    QTest::newRow("no such folder") << "guardarImagen" << "falta/plots.png" << false << "la carpeta no existe";
    // A folder of that name: the finished file cannot take its place, even for root.
    QTest::newRow("a folder of that name") << "guardarImagen" << "plots.png" << true << "es una carpeta";
    QTest::newRow("cancelled") << "guardarImagen" << "" << false << "";
    QTest::newRow("scenario, a folder of that name") << "guardarEscenario" << "plots.lvesc" << true << "es una carpeta";
}

// A write that fails says so, naming the file, and leaves the folder as it was.
void ExportTest::failedWriteLeavesNothing()
{
    QFETCH(QString, action);
    QFETCH(QString, name);
    QFETCH(bool, folderInTheWay);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    if (folderInTheWay)
        QVERIFY(QDir(dir.path()).mkdir(name));
    const auto entries = [&dir] { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); };
    const QStringList before = entries();
    Prog window;
    window.Form_Load();
    const QString path = name.isEmpty() ? QString() : dir.filePath(name);
    answerSaveDialogs(window, path);
    DialogAnswerer answerer(QString{});
    window.findChild<QAction *>(action)->trigger();

    QCOMPARE(answerer.seen().dialog, !name.isEmpty());
    if (!name.isEmpty())
        QCOMPARE(answerer.seen().prompt,
                 QStringLiteral("No se pudo guardar el archivo %1:\n%2.").arg(QDir::toNativeSeparators(path), reason));
    QCOMPARE(entries(), before);
    QCOMPARE(QFileInfo(path).isDir(), folderInTheWay);
    QCOMPARE(window.model.A, 4.0);   // the program goes on as before
}

void ExportTest::fullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("smallFileSystem");
    QTest::addColumn<QString>("reason");
    // A file system of 16 KiB, filled: in a child process, mounted for it alone.
    QTest::newRow("full file system") << true << "no queda sitio en el disco";
    // The system's limit on the size of a file this process writes: possible wherever the test runs.
    QTest::newRow("file size limit") << false << "no se pudo escribir";
}

// Regression: the file was written through a buffer whose failure at closing went unseen, so
// a save onto a full disk emptied the old file and told nothing. Now the save says why it
// failed, in Spanish, and the old file stays whole, with nothing left beside it.
void ExportTest::fullDiskKeepsTheOldFile()
{
    QFETCH(bool, smallFileSystem);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString folder = dir.path();
    if (smallFileSystem) {
        folder = qEnvironmentVariable("LV_SMALL_FOLDER");
        if (folder.isEmpty())
            return runInSmallFileSystem(dir.path(), QStringLiteral("%1:%2").arg(QTest::currentTestFunction(), QTest::currentDataTag()));
    }
    const QString path = QDir(folder).filePath(QStringLiteral("viejo.lvesc"));
    const QByteArray old(3000, 'x');
    QVERIFY(writeAll(path, old));
    if (smallFileSystem) {
        QFile filler(QDir(folder).filePath(QStringLiteral("relleno")));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray kib(1024, 'r');
        for (int i = 0; i < 64 && filler.write(kib) == kib.size(); ++i) {
        }
        QCOMPARE(QStorageInfo(folder).bytesAvailable(), 0);
    }
    const QStringList before = entriesOf(folder);
    Prog window;
    window.Form_Load();
    answerSaveDialogs(window, path);
    DialogAnswerer answerer(QString{});
    const auto save = [&window] { window.findChild<QAction *>(QStringLiteral("guardarEscenario"))->trigger(); };
    if (smallFileSystem)
        save();
    else
        withFileSizeLimit(64, save);

    QCOMPARE(answerer.seen().prompt,
             QStringLiteral("No se pudo guardar el archivo %1:\n%2.").arg(QDir::toNativeSeparators(path), reason));
    QCOMPARE(contents(path), old);
    QCOMPARE(entriesOf(folder), before);
}

void ExportTest::addedExtensionAsksBeforeReplacing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("filter");     // chosen in the dialog; none: the first
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("existing");   // a file in the folder before
    QTest::addColumn<bool>("answer");        // to the question, if asked
    QTest::addColumn<QString>("question");   // none: nothing asked
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<bool>("box");           // asked in the message box, answered by closing it
    const QString svg = QStringLiteral("Imagen SVG (*.svg)");
    QTest::newRow("scenario, yes") << "guardarEscenario" << "" << "foo" << "foo.lvesc" << true << "¿Reemplazar «foo.lvesc»?" << true << false;
    QTest::newRow("scenario, no") << "guardarEscenario" << "" << "foo" << "foo.lvesc" << false << "¿Reemplazar «foo.lvesc»?" << false << false;
    QTest::newRow("png, no") << "guardarImagen" << "" << "pic" << "pic.png" << false << "¿Reemplazar «pic.png»?" << false << false;
    QTest::newRow("svg, yes") << "guardarImagen" << svg << "pic" << "pic.svg" << true << "¿Reemplazar «pic.svg»?" << true << false;
    QTest::newRow("csv, no") << "exportarDatos" << "" << "datos" << "datos.csv" << false << "¿Reemplazar «datos.csv»?" << false << false;
    QTest::newRow("no file of that name") << "guardarEscenario" << "" << "foo" << "foo.png" << false << "" << false << false;
    // The dialog asks itself about the name typed.
    QTest::newRow("typed whole") << "exportarDatos" << "" << "datos.csv" << "datos.csv" << false << "" << true << false;
    QTest::newRow("csv, message box") << "exportarDatos" << "" << "datos" << "datos.csv" << false << "¿Reemplazar «datos.csv»?" << false << true;
}

// Regression: a name typed without its extension replaced the file of the completed name
// without asking. The question is asked as the dialog asks it, over the same caption; no
// leaves the folder as it was.
void ExportTest::addedExtensionAsksBeforeReplacing()
{
    QFETCH(QString, action);
    QFETCH(QString, filter);
    QFETCH(QString, typed);
    QFETCH(QString, existing);
    QFETCH(bool, answer);
    QFETCH(QString, question);
    QFETCH(bool, replaced);
    QFETCH(bool, box);
    QTemporaryDir dir;
    const QByteArray old("antes");
    QVERIFY(writeAll(dir.filePath(existing), old));
    Prog window;
    window.Form_Load();
    QString caption;
    window.exports->askSaveFileName = [&](const QString &dialogCaption, const QString &, const QString &, QString *chosen) {
        caption = dialogCaption;
        if (!filter.isEmpty())
            *chosen = filter;
        return dir.filePath(typed);
    };
    QStringList asked;
    if (!box) {
        window.exports->askReplace = [&](const QString &questionCaption, const QString &text) {
            asked << questionCaption << text;
            return answer;
        };
    }
    DialogAnswerer answerer(std::nullopt);
    window.findChild<QAction *>(action)->trigger();
    // No other message either: the save goes on or stops in silence.
    QCOMPARE(answerer.seen().dialog, box);
    if (box) {
        asked << answerer.seen().title << answerer.seen().prompt;
        QCOMPARE(answerer.seen().buttons.size(), 2);   // yes and no
    }

    QCOMPARE(asked, question.isEmpty() ? QStringList() : QStringList({caption, question}));
    QCOMPARE(contents(dir.filePath(existing)) != old, replaced);
    if (!question.isEmpty() && !answer)
        QCOMPARE(entriesOf(dir.path()), QStringList(existing));
}

// Tab-separated t, x and y of each valid sample under a header, with decimal commas in Spanish.
void ExportTest::clipboardTextInTheUsersLocale()
{
    const ScopedLocale spanish(QLocale(QLocale::Spanish, QLocale::Spain));
    Prog window;
    window.Form_Load();
    QGuiApplication::clipboard()->clear();
    QVERIFY(activate(window));
    QTest::keyClick(window.Calcular, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);

    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1 + validSamples(window.model));
    QCOMPARE(lines.front(), QStringLiteral("t\tx\ty"));
    QVERIFY(!lines.join(QString()).contains(u'.'));
    const QStringList first = lines[1].split(u'\t');   // sample -100, valid by default
    QCOMPARE(first.size(), 3);
    QVERIFY(first[1].contains(u','));
    QVERIFY(std::fabs(number(first[1].toLatin1().replace(',', '.')) - window.model.xs(kFirstSample)) < 1e-13);
}

void ExportTest::scenarioOpensAsSaved_data()
{
    QTest::addColumn<QStringList>("steps");    // in the window that saves
    QTest::addColumn<QStringList>("before");   // in the fresh window, before it opens the file
    // The cursor at 0, where the fresh window has it too: its read-outs must change all the same.
    QTest::newRow("another start") << QStringList{"3"} << QStringList();
    QTest::newRow("kept, zoomed, cursor moved, legend")
        << QStringList{"conservar", "isoclinas", "equilibrios", "escalas", "leyenda", "extremos", "unirPuntos",
                       "3", "2", "7", "acercar", "acercar", "@37"} << QStringList();
    QTest::newRow("example, analysis window, diagram")
        << QStringList{"modelo_mutualismo", "separatrices", "campo", "integralPrimera", "1", "acercar", "@-60",
                       "analisis", "bifurcacion", "rango"} << QStringList();
    QTest::newRow("diagram closed, made in both") << QStringList{"equilibrios", "@100", "bifurcacion", "rango", "cerrarDiagrama"}
                                                  << QStringList{"bifurcacion", "cerrarDiagrama"};
    QTest::newRow("map of regimes, its axes and ranges") << QStringList{"mapaRegimenes", "rangoMapa"} << QStringList();
    QTest::newRow("map of regimes along parameters")
        << QStringList{"modelo_competencia_exclusion", "mapaRegimenes", "parametrosMapa"} << QStringList();
    // The example's span (4) replaces the designed one (2) while a trajectory is kept.
    QTest::newRow("kept across a change of span") << QStringList{"conservar", "modelo_mutualismo"} << QStringList();
    QTest::newRow("pelts, legend, cursor moved") << QStringList{"datosLinceLiebre", "leyenda", "@40"} << QStringList();
    QTest::newRow("synthetic data replace the pelts") << QStringList{"datosSinteticos"} << QStringList{"datosLinceLiebre"};
}

// A scenario saved through its action and opened in a fresh window shows the same plots, bit
// for bit, the same boxes and time cursor, and the analysis and diagram windows as they were.
void ExportTest::scenarioOpensAsSaved()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, before);
    QTemporaryDir dir;
    Prog saved, opened;
    saved.Form_Load();
    run(saved, steps);
    answerSaveDialogs(saved, dir.filePath(QStringLiteral("escena")));
    run(saved, {QStringLiteral("guardarEscenario")});
    opened.Form_Load();
    run(opened, before);
    QCoreApplication::processEvents();
    const QImage beforeOpening = opened.findChild<PlotViews *>()->picture();
    QSignalSpy opening(opened.scenarios, &ScenarioFiles::scenarioOpening);
    QSignalSpy done(opened.scenarios, &ScenarioFiles::scenarioOpened);
    answerOpenDialogs(opened, dir.filePath(QStringLiteral("escena.lvesc")));
    run(opened, {QStringLiteral("abrirEscenario")});
    QCOMPARE(opening.count() + done.count(), 2);
    QCOMPARE(shownBy(opened), shownBy(saved));
    QVERIFY(opened.findChild<PlotViews *>()->picture() == saved.findChild<PlotViews *>()->picture());
    // Opening is one step: undo shows the window as it was before.
    QAction *undo = opened.action(WindowAction::Undo);
    QCoreApplication::processEvents();
    QCOMPARE(undo->text(), QStringLiteral("Deshacer: abrir escenario"));
    undo->trigger();
    QVERIFY(opened.findChild<PlotViews *>()->picture() == beforeOpening);
}

void ExportTest::badScenarioChangesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");   // none: no file; "/": a folder; "|": a named pipe
    QTest::addColumn<QString>("reason");
    QByteArray good = contents(QStringLiteral(LV_SOURCE_DIR "/data/ejemplo.lvesc"));
    QTest::newRow("not JSON") << "roto.lvesc" << QByteArray("{\"formato\": ") << "no es JSON válido";
    QTest::newRow("another format") << "otro.lvesc" << QByteArray(good).replace("-escena", "") << "es de otro formato";
    QTest::newRow("newer version") << "nuevo.lvesc" << QByteArray(good).replace("\"version\": 1", "\"version\": 2")
                                   << "es de una versión más reciente (2)";
    QTest::newRow("missing number") << "sin A.lvesc" << QByteArray(good).replace("\"A\": 8, ", "")
                                    << "falta el número «coeficientes.A»";
    QTest::newRow("span 0") << "cero.lvesc" << QByteArray(good).replace("\"intervalo\": 4,\n", "\"intervalo\": 0,\n")
                            << "«intervalo» debe ser mayor que 0";
    QTest::newRow("huge") << "grande.lvesc" << good + QByteArray(scenario::kMaxFileBytes, ' ') << "ocupa más de 1 MiB";
    // Data as a data file may hold them, or nothing opens.
    const auto withData = [&good](const char *data) {
        return QByteArray(good).replace("\"trayectoriasConservadas\"",
                                        QByteArray("\"datos\": ") + data + ",\n  \"trayectoriasConservadas\"");
    };
    const char *names = "\"nombres\": [\"t\", \"x\", \"y\"], ";
    QTest::newRow("data, time going back")
        << "atras.lvesc" << withData(QByteArray("{") + names + "\"tiempos\": [0, 2, 1], \"x\": [1, 1, 1], \"y\": [1, 1, 1], "
                                                             "\"unidad\": 0, \"desplazamiento\": 0}")
        << "«datos.tiempos[2]» debe ser mayor que el tiempo anterior";
    QTest::newRow("data, negative")
        << "neg.lvesc" << withData(QByteArray("{") + names + "\"tiempos\": [0, 1, 2], \"x\": [1, -1, 1], \"y\": [1, null, 1], "
                                                           "\"unidad\": 0, \"desplazamiento\": 0}")
        << "«datos.x[1]» es una población negativa";
    QTest::newRow("data, two times")
        << "dos.lvesc" << withData(QByteArray("{") + names + "\"tiempos\": [0, 1], \"x\": [1, 1], \"y\": [1, 1], "
                                                           "\"unidad\": 0, \"desplazamiento\": 0}")
        << "«datos.tiempos» debe tener de 3 a 100000 tiempos (tiene 2)";
    QTest::newRow("data, a value short")
        << "corto.lvesc" << withData(QByteArray("{") + names + "\"tiempos\": [0, 1, 2], \"x\": [1, 1], \"y\": [1, 1, 1], "
                                                             "\"unidad\": 0, \"desplazamiento\": 0}")
        << "«datos.x» debe tener un valor por tiempo (3, no 2)";
    QTest::newRow("data, offset not the first time")
        << "desp.lvesc" << withData(QByteArray("{") + names + "\"tiempos\": [5, 6, 7], \"x\": [1, 1, 1], \"y\": [1, 1, 1], "
                                                            "\"unidad\": 0, \"desplazamiento\": 0}")
        << "«datos.desplazamiento» debe ser el primer tiempo";
    QTest::newRow("data, unit out of range")
        << "unidad.lvesc" << withData(QByteArray("{") + names + "\"tiempos\": [0, 1, 2], \"x\": [1, 1, 1], \"y\": [1, 1, 1], "
                                                              "\"unidad\": 301, \"desplazamiento\": 0}")
        << "«datos.unidad» debe ser un número entero de -300 a 300";
    // Told in Spanish, not in Qt's English.
    QTest::newRow("missing file") << "no-existe.lvesc" << QByteArray() << "no se puede leer (no existe)";
    QTest::newRow("a folder") << "carpeta.lvesc" << QByteArray("/") << "no se puede leer (es una carpeta)";
    QTest::newRow("no name") << "" << QByteArray() << "no se puede leer (falta el nombre del archivo)";
    // Regression: opening a named pipe waited for ever for something to write into it.
    QTest::newRow("named pipe") << "tubo.lvesc" << QByteArray("|") << "no se puede leer (no es un archivo normal)";
}

// A file that cannot be opened is told, with its name and why, over the window; the state,
// the boxes, the plots and the windows stay as they were.
void ExportTest::badScenarioChangesNothing()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = name.isEmpty() ? QString() : dir.filePath(name);
    if (bytes == "/")
        QVERIFY(QDir(dir.path()).mkdir(name));
    else if (bytes == "|")
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (!bytes.isEmpty())
        QVERIFY(writeAll(path, bytes));
    Prog window;
    window.Form_Load();
    run(window, {QStringLiteral("conservar"), QStringLiteral("3"), QStringLiteral("@12"), QStringLiteral("analisis")});
    const QStringList shown = shownBy(window);
    const QImage plots = window.findChild<PlotViews *>()->picture();
    QSignalSpy opening(window.scenarios, &ScenarioFiles::scenarioOpening);
    answerOpenDialogs(window, path);
    DialogAnswerer answerer(QString{});
    const auto open = [&window, &path] {
        // No dialog gives an empty name; the command line does.
        if (path.isEmpty())
            window.scenarios->openFile(path);
        else
            run(window, {QStringLiteral("abrirEscenario")});
    };
    if (bytes == "|")
        QVERIFY(!pipeOpeningHung(path, open));
    else
        open();
    QCOMPARE(answerer.seen().title, QStringLiteral("Abrir escenario"));
    const QString prompt = answerer.seen().prompt;
    QVERIFY2(prompt.startsWith(QStringLiteral("No se puede abrir el escenario «%1»: ").arg(QDir::toNativeSeparators(path)))
                 && prompt.contains(reason), qPrintable(prompt));
    QCOMPARE(opening.count(), 0);
    QCOMPARE(shownBy(window), shown);
    QVERIFY(window.findChild<PlotViews *>()->picture() == plots);
}

void ExportTest::handoutHoldsTheSystemAsText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("questions");
    QTest::addColumn<QString>("equation");
    QTest::newRow("C, questions") << "C" << true << "x' = x (4 - 0.5 x - y)";
    QTest::newRow("es_ES, none") << "es_ES" << false << "x' = x (4 - 0,5 x - y)";
}

// The handout is written through the save path; its text is text, in the user's locale.
void ExportTest::handoutHoldsTheSystemAsText()
{
    QFETCH(QString, locale);
    QFETCH(bool, questions);
    QFETCH(QString, equation);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    const ScopedLocale scoped{QLocale(locale)};
    QTemporaryDir dir;
    Prog window;
    window.Form_Load();
    window.model.B = -0.5;
    window.calcula();
    run(window, {QStringLiteral("isoclinas")});
    answerSaveDialogs(window, dir.filePath(QStringLiteral("hoja")));
    window.printing->askWithQuestions = [questions](QWidget &) { return std::optional<bool>(questions); };
    window.findChild<QAction *>(QStringLiteral("hojaTrabajo"))->trigger();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {dir.filePath(QStringLiteral("hoja.pdf")), QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30'000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(out.contains(equation), qPrintable(out));
    QCOMPARE(out.contains(QStringLiteral("Respuestas (para el profesor)")), questions);
    // The plots are drawn on the page: the nullclines' colours show.
    QVERIFY(colouredPixelsOnFirstPage(dir.filePath(QStringLiteral("hoja.pdf"))) > 20);
}

void ExportTest::printIsSearchableText_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("print");
    QTest::addColumn<QString>("title");
    QTest::newRow("plots") << QStringList{"isoclinas"} << "" << "imprimir" << "Sistema de Lotka-Volterra";
    QTest::newRow("diagram") << QStringList{"bifurcacion"} << "Bifurcacion" << "imprimirDiagrama" << "Diagrama de bifurcación";
    QTest::newRow("map") << QStringList{"mapaRegimenes"} << "MapaRegimenes" << "imprimirMapa" << "Mapa de regímenes";
}

// Printed to a PDF file in place of a printer, from each window that prints: the picture is on
// the page, and the equations under it are text.
void ExportTest::printIsSearchableText()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, window);
    QFETCH(QString, print);
    QFETCH(QString, title);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    const ScopedLocale scoped{QLocale(QLocale::Spanish, QLocale::Spain)};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("impreso.pdf"));
    Prog prog;
    prog.Form_Load();
    run(prog, steps);
    QString printedTitle;
    prog.printing->runPrintDialog = [&](QWidget &, QPrinter &printer, const std::function<void(QPrinter *)> &paint) {
        printedTitle = printer.docName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        paint(&printer);
    };
    QWidget *printing = window.isEmpty() ? static_cast<QWidget *>(&prog) : prog.findChild<QWidget *>(window);
    QVERIFY(printing);
    auto *action = printing->findChild<QAction *>(print);
    QVERIFY(action);
    action->trigger();
    QCOMPARE(printedTitle, title);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30'000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(out.contains(title) && out.contains(QStringLiteral("x' = x (4 - y)"))
                 && out.contains(QStringLiteral("Intervalo de tiempo: 2 (dt = 0,02)")),
             qPrintable(out));
    QVERIFY(colouredPixelsOnFirstPage(path) > 20);
}

QTEST_MAIN(ExportTest)
#include "export_test.moc"
