// Start-up and the six coefficient labels: their colours, tooltips and the edit dialog.
#include "clickable_label.h"
#include "dialog_answerer.h"
#include "plot_surface.h"
#include "prog.h"
#include "scoped_locale.h"

#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QTest>

namespace {

QColor colourOf(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);

// Records the colour of par(0) at the moment the window is shown.
class ShowWatcher : public QObject {
public:
    QColor colourAtShow;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            colourAtShow = colourOf(static_cast<Prog *>(watched)->par[0]);
        return false;
    }
};

} // namespace

class ParametersTest : public QObject {
    Q_OBJECT

private slots:
    void startUp();
    void labelsAreColouredBeforeTheWindowShows();
    void refresh_data();
    void refresh();
    void editing_data();
    void editing();
    void offeredValueIsRoundedToThreeDecimals_data();
    void offeredValueIsRoundedToThreeDecimals();
    void editingRecomputesNothing();
    void indexOutsideTheLabelsDoesNothing();
};

void ParametersTest::startUp()
{
    Prog window;
    window.Form_Load();
    QVERIFY(window.isVisible());
    const QColor colours[] = {kBlue, kGreen, kRed, kRed, kBlue, kGreen};
    const char *tips[] = {"4", "0", "-1", "-4", "1", "0"};
    const char *captions[] = {" A ", " B ", " C ", " D  ", " E ", " F  "};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(colourOf(window.par[i]), colours[i]);
        QCOMPARE(window.par[i]->toolTip(), QString::fromLatin1(tips[i]));
        QCOMPARE(window.par[i]->text(), QString::fromLatin1(captions[i]));
    }
    // Start-up leaves the read-outs and the cursor as designed, and computes from (5, 5).
    QCOMPARE(window.TR->text(), QStringLiteral("0"));
    QCOMPARE(window.XR->text(), QStringLiteral("5"));
    QCOMPARE(window.YR->text(), QStringLiteral("5"));
    QCOMPARE(window.HScroll1->value(), 0);
    QCOMPARE(window.model.dt, 0.02);
    QCOMPARE(window.model.xs(0), 5.0);
    QCOMPARE(window.model.ys(0), 5.0);
    for (int k = -100; k <= 100; ++k)
        QVERIFY(window.model.ok(k));
}

void ParametersTest::labelsAreColouredBeforeTheWindowShows()
{
    Prog window;
    ShowWatcher watcher;
    window.installEventFilter(&watcher);
    window.Form_Load();
    QCOMPARE(watcher.colourAtShow, kBlue);
}

// The sign is decided by exact comparison; the tooltip shows up to 15 significant digits.
void ParametersTest::refresh_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("tiny positive") << 1e-300 << kBlue << "1e-300";
    QTest::newRow("tiny negative") << -4.9e-324 << kRed << "-4.94065645841247e-324";
    QTest::newRow("negative zero") << -0.0 << kGreen << "0";
    QTest::newRow("one third") << 1.0 / 3 << kBlue << "0.333333333333333";
    QTest::newRow("negative") << -2.5 << kRed << "-2.5";
}

void ParametersTest::refresh()
{
    const ScopedLocale decimalPoint(QLocale::c());
    QFETCH(double, value);
    QFETCH(QColor, colour);
    QFETCH(QString, toolTip);
    Prog window;
    window.Form_Load();
    window.refreshParameterLabel(2, value);
    QCOMPARE(colourOf(window.par[2]), colour);
    QCOMPARE(window.par[2]->toolTip(), toolTip);
    QCOMPARE(window.par[2]->text(), QStringLiteral(" C "));
}

void ParametersTest::editing_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QColor>("colour");
    using Answer = std::optional<QString>;
    QTest::newRow("A positive") << 0 << Answer("7") << 7.0 << "7" << kBlue;
    QTest::newRow("B negative, blanks") << 1 << Answer(" -2.50 ") << -2.5 << "-2.5" << kRed;
    QTest::newRow("C zero") << 2 << Answer("0") << 0.0 << "0" << kGreen;
    QTest::newRow("D unchanged value") << 3 << Answer("-4") << -4.0 << "-4" << kRed;
    QTest::newRow("E exponent") << 4 << Answer("1e-3") << 0.001 << "0.001" << kBlue;
    QTest::newRow("A cancelled") << 0 << Answer() << 4.0 << "4" << kBlue;
    QTest::newRow("F negative zero") << 5 << Answer("-0") << 0.0 << "0" << kGreen;
    QTest::newRow("A empty") << 0 << Answer("") << 4.0 << "4" << kBlue;
    QTest::newRow("A no number") << 0 << Answer("cuatro") << 4.0 << "4" << kBlue;
    QTest::newRow("A infinity") << 0 << Answer("inf") << 4.0 << "4" << kBlue;
    QTest::newRow("A beyond a double") << 0 << Answer("1e999") << 4.0 << "4" << kBlue;
}

// A click on the label opens the dialog; a number is stored and shown, anything else changes
// nothing and shows nothing.
void ParametersTest::editing()
{
    const ScopedLocale decimalPoint(QLocale::c());
    QFETCH(int, index);
    QFETCH(std::optional<QString>, answer);
    QFETCH(double, value);
    QFETCH(QString, toolTip);
    QFETCH(QColor, colour);
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const double defaults[] = {4, 0, -1, -4, 1, 0};
    const char letters[] = "ABCDEF";

    DialogAnswerer answerer(answer);
    QTest::mouseClick(window.par[index], Qt::LeftButton);
    QVERIFY(answerer.seen().dialog);
    QCOMPARE(answerer.seen().title, QStringLiteral("Modificación de datos"));
    QCOMPARE(answerer.seen().prompt, QStringLiteral("Nuevo valor del parámetro %1").arg(QChar(letters[index])));
    QCOMPARE(answerer.seen().offered.toDouble(), defaults[index]);

    const double parameters[] = {window.model.A, window.model.B, window.model.C,
                                 window.model.D, window.model.E, window.model.F};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(parameters[i], i == index ? value : defaults[i]);
    QCOMPARE(window.par[index]->toolTip(), toolTip);
    QCOMPARE(colourOf(window.par[index]), colour);
    QVERIFY(!QApplication::activeModalWidget());
}

// The dialog offers the value rounded to 3 decimals in the user's locale; confirming it
// unchanged stores the rounded value.
void ParametersTest::offeredValueIsRoundedToThreeDecimals_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("offered");
    QTest::addColumn<double>("stored");
    QTest::newRow("C") << "C" << 1.23456 << "1.235" << 1.235;
    QTest::newRow("es_ES") << "es_ES" << -0.0625 << "-0,062" << -0.062;
    QTest::newRow("whole") << "C" << 12.0004 << "12" << 12.0;
}

void ParametersTest::offeredValueIsRoundedToThreeDecimals()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, offered);
    QFETCH(double, stored);
    const ScopedLocale scoped{QLocale(locale)};
    Prog window;
    window.Form_Load();
    window.model.E = value;
    DialogAnswerer answerer(offered);
    window.par_Click(4);
    QCOMPARE(answerer.seen().offered, offered);
    QCOMPARE(window.model.E, stored);
    QCOMPARE(window.par[4]->toolTip(), offered);
}

// Until the next recomputation the stored trajectory and the plots stay as they were, also
// when the cursor moves.
void ParametersTest::editingRecomputesNothing()
{
    const ScopedLocale decimalPoint(QLocale::c());
    Prog window;
    window.Form_Load();
    const double x50 = window.model.xs(50);
    const QImage before = window.XYgraf->image();
    {
        DialogAnswerer answerer(QStringLiteral("9"));
        window.par_Click(0);
    }
    QCOMPARE(window.model.A, 9.0);
    QCOMPARE(window.model.xs(50), x50);
    QCOMPARE(window.XYgraf->image(), before);
    window.HScroll1->setValue(50);
    QCOMPARE(window.XR->text(), QString::number(std::round(x50 * 1000) / 1000));
    window.Calcular_Click();
    QVERIFY(window.model.xs(50) != x50);
}

void ParametersTest::indexOutsideTheLabelsDoesNothing()
{
    Prog window;
    window.Form_Load();
    for (int index : {-1, 6, 32767}) {
        DialogAnswerer answerer(QStringLiteral("1"));
        window.par_Click(index);
        QVERIFY(!answerer.seen().dialog);
    }
    QCOMPARE(window.model.A, 4.0);
}

QTEST_MAIN(ParametersTest)
#include "parameters_test.moc"
