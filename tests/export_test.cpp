// What the export actions write and copy: exact numbers, one shape per sample, the picture the
// window shows, and nothing left behind by a write that fails.
#include "analysis_layer.h"
#include "dialog_answerer.h"
#include "plot_picture.h"
#include "plot_surface.h"
#include "prog.h"
#include "scoped_locale.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// A window with the default trajectory whose save dialogs answer path with the given filter.
void answerSaveDialogs(Prog &window, const QString &path, const QString &filter = {})
{
    window.askSaveFileName = [path, filter](const QString &, const QString &, const QString &, QString *chosen) {
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

double number(const QByteArray &text)
{
    double value = std::numeric_limits<double>::quiet_NaN();
    const auto result = std::from_chars(text.constData(), text.constData() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.constData() + text.size() ? value
                                                                                      : std::numeric_limits<double>::quiet_NaN();
}

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Shortcuts reach the actions of the active window only.
bool activate(Prog &window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

int validSamples(const Model &model)
{
    int count = 0;
    for (int k = kFirstSample; k <= kLastSample; ++k)
        count += model.ok(k);
    return count;
}

} // namespace

class ExportTest : public QObject {
    Q_OBJECT

private slots:
    void csvReadsBackExactly();
    void svgHoldsOneSquarePerSample();
    void pngShowsWhatTheScreenShows_data();
    void pngShowsWhatTheScreenShows();
    void failedWriteLeavesNothing_data();
    void failedWriteLeavesNothing();
    void clipboardTextInTheUsersLocale();
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
    QCOMPARE(window.keptTrajectories().size(), std::size_t(1));
    window.model.ok(7) = false;   // its stored values are written all the same
    answerSaveDialogs(window, dir.filePath(QStringLiteral("datos")));
    QVERIFY(activate(window));
    QTest::keyClick(window.Calcular, Qt::Key_E, Qt::ControlModifier);

    const QList<QByteArray> lines = contents(dir.filePath(QStringLiteral("datos.csv"))).split('\n');
    QCOMPARE(lines.size(), 1 + 2 * kSampleCount + 1);   // the last line ends too
    QCOMPARE(lines.front(), QByteArray("trayectoria,k,t,x,y,valida,A,B,C,D,E,F,dt\r"));
    QVERIFY(lines.back().isEmpty());
    const Trajectory current = trajectoryOf(window.model, window.analysis->system().coefficients);
    const Trajectory *trajectories[] = {&current, &window.keptTrajectories().front()};
    for (int row = 0; row < 2 * kSampleCount; ++row) {
        const Trajectory &t = *trajectories[row / kSampleCount];
        const int k = kFirstSample + row % kSampleCount;
        QByteArray line = lines[row + 1];
        QVERIFY(line.endsWith('\r'));
        line.chop(1);
        const QList<QByteArray> fields = line.split(',');
        QCOMPARE(fields.size(), 13);
        const Coefficients &c = t.coefficients;
        const double expected[] = {double(row / kSampleCount), double(k), k * t.dt, t.xs(k), t.ys(k),
                                   t.ok(k) ? 1.0 : 0.0, c.A, c.B, c.C, c.D, c.E, c.F, t.dt};
        for (int column = 0; column < 13; ++column)
            QVERIFY2(sameBits(number(fields[column]), expected[column]), line.constData());
    }
    QVERIFY(lines[1 + 7 - kFirstSample].contains(",0,"));   // the invalid sample, valida 0
}

// The vector picture holds one filled square in the ink of the points for every valid sample
// in each plot, inside that plot.
void ExportTest::svgHoldsOneSquarePerSample()
{
    QTemporaryDir dir;
    Prog window;
    window.Form_Load();
    answerSaveDialogs(window, dir.filePath(QStringLiteral("plots")), QStringLiteral("Imagen SVG (*.svg)"));
    window.findChild<QAction *>(QStringLiteral("guardarImagen"))->trigger();

    const QString ink = plot_picture::coloursOf(window.XYgraf->palette()).text.name();
    const PlotKind plots[] = {PlotKind::PhasePlane, PlotKind::XAgainstTime, PlotKind::YAgainstTime};
    int squares[3] = {};
    int elsewhere = 0;
    QXmlStreamReader svg(contents(dir.filePath(QStringLiteral("plots.svg"))));
    QStringList fills{QString()};
    while (!svg.atEnd()) {
        svg.readNext();
        if (svg.isEndElement() && svg.name() == u"g")
            fills.removeLast();
        if (!svg.isStartElement())
            continue;
        if (svg.name() == u"g")
            fills.append(svg.attributes().value(QLatin1String("fill")).toString());
        if (svg.name() != u"rect" || fills.last() != ink)
            continue;
        const QPointF corner(svg.attributes().value(QLatin1String("x")).toDouble(), svg.attributes().value(QLatin1String("y")).toDouble());
        int *in = &elsewhere;
        for (int i = 0; i < 3; ++i)
            if (QRectF(plot_picture::drawingArea(plots[i])).contains(corner))
                in = &squares[i];
        ++*in;
    }
    QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
    const int valid = validSamples(window.model);
    QVERIFY(valid > 100);
    QCOMPARE(squares[0], valid);
    QCOMPARE(squares[1], valid);
    QCOMPARE(squares[2], valid);
    QCOMPARE(elsewhere, 0);
}

void ExportTest::pngShowsWhatTheScreenShows_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("designed") << QStringList();
    QTest::newRow("every option") << QStringList{"isoclinas", "equilibrios", "campo", "escalas",
                                                 "conservar", "unirPuntos", "extremos"};
}

// Each plot's drawing area in the saved picture and on the screen, axis lines included, pixel
// for pixel; the copied picture is the same.
void ExportTest::pngShowsWhatTheScreenShows()
{
    QFETCH(QStringList, options);
    QTemporaryDir dir;
    Prog window;
    window.Form_Load();
    for (const QString &option : options)
        window.findChild<QAction *>(option)->setChecked(true);
    window.XI->setText(QStringLiteral("3"));
    window.calcula();   // a kept trajectory when asked
    window.pintura();
    QVERIFY(activate(window));
    window.Calcular->setFocus();   // no plot shows its focus frame
    answerSaveDialogs(window, dir.filePath(QStringLiteral("plots.png")));
    QTest::keyClick(window.Calcular, Qt::Key_S, Qt::ControlModifier);

    QImage saved;
    QVERIFY(saved.load(dir.filePath(QStringLiteral("plots.png"))));
    const QImage screen = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(screen.devicePixelRatio(), 1.0);   // logical pixels are the image's pixels here
    saved = saved.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(saved.size(), plot_picture::size());
    const std::pair<PlotKind, PlotSurface *> plots[] = {
        {PlotKind::PhasePlane, window.XYgraf}, {PlotKind::XAgainstTime, window.Xgraf}, {PlotKind::YAgainstTime, window.Ygraf}};
    for (const auto &[kind, surface] : plots) {
        const QRect onScreen = surface->contentsRect().translated(surface->pos());
        QCOMPARE(saved.copy(plot_picture::drawingArea(kind)), screen.copy(onScreen));
    }

    QTest::keyClick(window.Calcular, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), saved);
}

void ExportTest::failedWriteLeavesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folderInTheWay");
    QTest::addColumn<bool>("message");
    // A file in a folder that does not exist: no temporary file can be made beside it.
    QTest::newRow("no such folder") << "falta/plots.png" << false << true;
    // A folder of that name: the finished file cannot take its place, even for root.
    QTest::newRow("a folder of that name") << "plots.png" << true << true;
    QTest::newRow("cancelled") << "" << false << false;
}

// A write that fails says so, naming the file, and leaves the folder as it was.
void ExportTest::failedWriteLeavesNothing()
{
    QFETCH(QString, name);
    QFETCH(bool, folderInTheWay);
    QFETCH(bool, message);
    QTemporaryDir dir;
    if (folderInTheWay)
        QVERIFY(QDir(dir.path()).mkdir(name));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    Prog window;
    window.Form_Load();
    const QString path = name.isEmpty() ? QString() : dir.filePath(name);
    answerSaveDialogs(window, path);
    DialogAnswerer answerer(QString{});
    window.findChild<QAction *>(QStringLiteral("guardarImagen"))->trigger();

    QCOMPARE(answerer.seen().dialog, message);
    if (message) {
        QVERIFY2(answerer.seen().prompt.contains(QDir::toNativeSeparators(path)), qPrintable(answerer.seen().prompt));
        QVERIFY(answerer.seen().prompt.startsWith(QStringLiteral("No se pudo guardar")));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("plots.png"))).isDir(), folderInTheWay);
    QCOMPARE(window.model.A, 4.0);   // the program goes on as before
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
    int k = kFirstSample - 1;
    for (const QString &line : lines.mid(1)) {
        do
            ++k;
        while (!window.model.ok(k));
        const QStringList fields = line.split(u'\t');
        QCOMPARE(fields.size(), 3);
        const double expected[] = {k * window.model.dt, window.model.xs(k), window.model.ys(k)};
        for (int i = 0; i < 3; ++i) {
            const double read = number(fields[i].toLatin1().replace(',', '.'));
            QVERIFY2(std::fabs(read - expected[i]) <= 1e-13 * std::fmax(1, std::fabs(expected[i])), qPrintable(line));
        }
    }
    QVERIFY(lines[2].contains(u','));
}

QTEST_MAIN(ExportTest)
#include "export_test.moc"
