// A monkey test of the whole window: a seeded, reproducible sequence of random user actions on
// a real window (presses in the plots with any button and modifiers, coefficient edits with
// the dialog answered by random text or cancelled, random text in every box, Calcular, the
// time cursor moved by keys, code, actions, clicks, the wheel and drags), with the program's
// rules checked after every action and the plots compared pixel for pixel on a sample of steps.
// Each locale gets its own run: the decimal point and the decimal comma.
//
// A failure names the seed and the action. To replay it:
//   LV_MONKEY_SEED=<seed> LV_MONKEY_ACTIONS=<action + 1> monkey_test "randomActions:<row>"
#include "interaction/prog.h"
#include "tests/monkey/monkey.h"
#include "tests/monkey/window_checks.h"
#include "tests/scoped_locale.h"

#include <QLocale>
#include <QtTest>

namespace {

constexpr int kDefaultActions = 10000;

QtMessageHandler testLogHandler = nullptr;

// The offscreen platform says this for every dialog shown; it says nothing about the program.
void dropSizeHintNotices(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    testLogHandler(type, context, message);
}

quint64 seedFromEnvironment(quint64 fallback)
{
    bool ok = false;
    const quint64 seed = qEnvironmentVariable("LV_MONKEY_SEED").toULongLong(&ok);
    return ok ? seed : fallback;
}

int actionsFromEnvironment()
{
    bool ok = false;
    const int actions = qEnvironmentVariableIntValue("LV_MONKEY_ACTIONS", &ok);
    return ok && actions > 0 ? actions : kDefaultActions;
}

} // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testLogHandler = qInstallMessageHandler(dropSizeHintNotices); }
    void randomActions_data();
    void randomActions();
};

void MonkeyTest::randomActions_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<quint64>("seed");
    QTest::newRow("decimal point") << QLocale::c() << quint64(20240611);
    QTest::newRow("decimal comma") << QLocale(QLocale::Spanish, QLocale::Spain) << quint64(19450508);
}

void MonkeyTest::randomActions()
{
    QFETCH(QLocale, locale);
    QFETCH(quint64, seed);
    seed = seedFromEnvironment(seed);
    const int actions = actionsFromEnvironment();
    const ScopedLocale scoped(locale);

    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    monkey::Monkey monkey(window, seed, locale.decimalPoint().at(0));
    if (const QString fault = monkey::plotFault(window); !fault.isEmpty())
        QFAIL(qPrintable(QStringLiteral("seed %1, at start-up: %2").arg(seed).arg(fault)));

    for (int action = 0; action < actions; ++action) {
        const QString fault = monkey.step(action);
        if (!fault.isEmpty())
            QFAIL(qPrintable(QStringLiteral("seed %1, action %2: %3\n  the last actions:\n%4")
                                 .arg(seed).arg(action).arg(fault, monkey.recentActions())));
    }
    monkey.turnOptionsOff();
    if (const QString fault = monkey::plotFault(window); !fault.isEmpty())
        QFAIL(qPrintable(QStringLiteral("seed %1, at the end: %2").arg(seed).arg(fault)));
}

QTEST_MAIN(MonkeyTest)
#include "monkey_test.moc"
