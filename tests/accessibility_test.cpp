// What assistive technology learns of the window, and its use from the keyboard alone.
#include "display/analysis/analysis_window.h"
#include "display/controls/accessibility.h"
#include "display/controls/clickable_label.h"
#include "display/plots/plot_surface.h"
#include "interaction/analysis/analysis_layer.h"
#include "interaction/prog.h"
#include "tests/dialog_answerer.h"
#include "tests/scoped_locale.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

QAccessibleInterface *accessibleOf(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget);
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void controls_data();
    void controls();
    void everyControlHasASpanishName();
    void coefficientLabelsSayTheirValue();
    void valuesOfScrollBarAndTextBoxes();
    void coefficientCanBeEditedFromTheKeyboard();
    void pressActionOfACoefficientLabel();
    void plotsHaveNoParts();
    void ecologicalParametersSayTheirMeaning_data();
    void ecologicalParametersSayTheirMeaning();
};

// As main() does: Qt keeps the interface it finds first for a widget.
void AccessibilityTest::initTestCase()
{
    installAccessibilityFactory();
}

void AccessibilityTest::controls_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    // First, so that the row sees the first window this process builds: a label's interface
    // is fixed as soon as the label is made.
    QTest::newRow("coefficient") << "par(2)" << int(QAccessible::Button) << "Parámetro C, valor -1";
    QTest::newRow("window") << "Prog" << int(QAccessible::Window)
                            << "Representación  de soluciones de un sistema de Lotka-Volterra autónomo 2x2.";
    QTest::newRow("phase plane") << "XYgraf" << int(QAccessible::Chart) << "Plano de fases";
    QTest::newRow("x plot") << "Xgraf" << int(QAccessible::Chart) << "x frente al tiempo";
    QTest::newRow("y plot") << "Ygraf" << int(QAccessible::Chart) << "y frente al tiempo";
    QTest::newRow("time cursor") << "HScroll1" << int(QAccessible::ScrollBar) << "Cursor de tiempo";
    QTest::newRow("t read-out") << "TR" << int(QAccessible::EditableText) << "Valor t resaltado";
    QTest::newRow("initial x") << "XI" << int(QAccessible::EditableText) << "Valor x inicial";
    QTest::newRow("time span") << "Text2" << int(QAccessible::EditableText) << "Intervalo de tiempo";
    QTest::newRow("button") << "Calcular" << int(QAccessible::Button) << "Calcular";
    QTest::newRow("equation text") << "Label1(0)" << int(QAccessible::StaticText) << "x' = x (";
}

void AccessibilityTest::controls()
{
    QFETCH(QString, control);
    QFETCH(int, role);
    QFETCH(QString, name);
    Prog window;
    window.Form_Load();
    QAccessibleInterface *accessible =
        accessibleOf(control == window.objectName() ? &window : window.findChild<QWidget *>(control));
    QVERIFY(accessible);
    QCOMPARE(int(accessible->role()), role);
    QCOMPARE(accessible->text(QAccessible::Name).trimmed(), name);
}

// Every control that can take the focus, and every plot, has a name and a description.
void AccessibilityTest::everyControlHasASpanishName()
{
    Prog window;
    window.Form_Load();
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus))
            continue;
        QAccessibleInterface *accessible = accessibleOf(widget);
        QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(), qPrintable(widget->objectName()));
        QVERIFY2(!accessible->text(QAccessible::Description).isEmpty(), qPrintable(widget->objectName()));
    }
}

// The accessible name follows the coefficient's value as the tooltip does.
void AccessibilityTest::coefficientLabelsSayTheirValue()
{
    const ScopedLocale decimalPoint(QLocale::c());
    Prog window;
    window.Form_Load();
    window.refreshParameterLabel(0, 1.0 / 3);
    QCOMPARE(accessibleOf(window.par[0])->text(QAccessible::Name),
             QStringLiteral("Parámetro A, valor 0.333333333333333"));
}

void AccessibilityTest::valuesOfScrollBarAndTextBoxes()
{
    const ScopedLocale decimalPoint(QLocale::c());
    Prog window;
    window.Form_Load();
    window.HScroll1->setValue(-30);
    QAccessibleValueInterface *value = accessibleOf(window.HScroll1)->valueInterface();
    QVERIFY(value);
    QCOMPARE(value->currentValue().toInt(), -30);
    QCOMPARE(value->minimumValue().toInt(), -100);
    QCOMPARE(value->maximumValue().toInt(), 100);
    QCOMPARE(accessibleOf(window.TR)->text(QAccessible::Value), QStringLiteral("-0.6"));
    QCOMPARE(accessibleOf(window.XI)->text(QAccessible::Value), QStringLiteral("5"));
    QCOMPARE(accessibleOf(window.HScroll1)->text(QAccessible::Description),
             QStringLiteral("t = -0.6; x = %1; y = %2").arg(window.XR->text(), window.YR->text()));
}

// Tab reaches the coefficient labels in reading order (A, B, C, the span box, D, E, F), and
// Space opens the dialog as a click does.
void AccessibilityTest::coefficientCanBeEditedFromTheKeyboard()
{
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    window.Calcular->setFocus();
    QStringList reached;
    for (int step = 0; step < 7; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(reached.join(u' '), QStringLiteral("par(0) par(1) par(2) Text2 par(3) par(4) par(5)"));
    window.par[0]->setFocus();
    DialogAnswerer answerer(QStringLiteral("2"));
    QTest::keyClick(window.par[0], Qt::Key_Space);
    QVERIFY(answerer.seen().dialog);
    QCOMPARE(window.model.A, 2.0);
}

// The press action returns before the dialog opens: a screen reader waits for its answer.
void AccessibilityTest::pressActionOfACoefficientLabel()
{
    Prog window;
    window.Form_Load();
    QAccessibleActionInterface *actions = accessibleOf(window.par[5])->actionInterface();
    QVERIFY(actions);
    DialogAnswerer answerer(QStringLiteral("-1"));
    actions->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(!answerer.seen().dialog);
    QTRY_VERIFY(answerer.seen().dialog);
    QCOMPARE(window.model.F, -1.0);
}

// The axis lines belong to the picture; alone they would be read out as empty fillers.
void AccessibilityTest::plotsHaveNoParts()
{
    Prog window;
    window.Form_Load();
    for (PlotSurface *plot : {window.XYgraf, window.Xgraf, window.Ygraf})
        QCOMPARE(accessibleOf(plot)->childCount(), 0);
}

// Each ecological parameter's box and slider is heard by its symbol and meaning, those of the
// form shown (h₁ is the prey's harvest in predator and prey), the slider with its value.
void AccessibilityTest::ecologicalParametersSayTheirMeaning_data()
{
    QTest::addColumn<QString>("example");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("meaning");
    QTest::addColumn<QString>("value");
    QTest::newRow("K₁ of competition") << "competencia_exclusion" << "K1" << "K₁"
                                       << "K₁: capacidad de carga de la especie x" << "Valor 8";
    QTest::newRow("h₁ of predator and prey") << "presa_logistica" << "h1" << "h₁" << "h₁: tasa de cosecha de la presa x"
                                             << "Valor 0";
    QTest::newRow("K with no limit") << "depredador_presa" << "K" << "K"
                                     << "K: capacidad de carga de la presa x (∞: sin límite)" << "Valor ∞";
}

void AccessibilityTest::ecologicalParametersSayTheirMeaning()
{
    QFETCH(QString, example);
    QFETCH(QString, id);
    QFETCH(QString, name);
    QFETCH(QString, meaning);
    QFETCH(QString, value);
    const ScopedLocale decimalPoint(QLocale::c());
    Prog window;
    window.Form_Load();
    window.analysis->showAnalysisWindow();   // made with the start-up form, then the example's
    window.findChild<QAction *>(QStringLiteral("modelo_") + example)->trigger();
    AnalysisWindow *analysis = window.analysis->analysisWindow();
    QWidget *box = analysis->findChild<QWidget *>(QStringLiteral("ecologico_") + id);
    QWidget *slider = analysis->findChild<QWidget *>(QStringLiteral("deslizador_") + id);
    QVERIFY(box && slider);
    QCOMPARE(accessibleOf(box)->text(QAccessible::Name), name);
    QCOMPARE(accessibleOf(box)->text(QAccessible::Description), meaning);
    QCOMPARE(box->toolTip(), meaning);
    QCOMPARE(accessibleOf(slider)->text(QAccessible::Name), name);
    const QString described = accessibleOf(slider)->text(QAccessible::Description);
    QVERIFY2(described.startsWith(meaning + QStringLiteral(". ") + value), qPrintable(described));
}

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
