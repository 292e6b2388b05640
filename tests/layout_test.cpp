// The window's controls: kind, place, texts, fonts, names and the order of the focus chain.
#include "display/controls/clickable_label.h"
#include "display/plots/line_shape.h"
#include "display/plots/plot_surface.h"
#include "interaction/prog.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include <cmath>

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void caption();
    void controls_data();
    void controls();
    void labelFonts();
    void grownWindow_data();
    void grownWindow();
    void scrollBar();
    void lines_data();
    void lines();
    void tabChain();
    void readOutsLookAsPlainBoxes_data();
    void readOutsLookAsPlainBoxes();
    void calcularIsNoDefaultButton();
};

void LayoutTest::caption()
{
    Prog window;
    QCOMPARE(window.objectName(), QStringLiteral("Prog"));
    QCOMPARE(window.windowTitle(),
             QStringLiteral("Representación  de soluciones de un sistema de Lotka-Volterra autónomo 2x2. "));
    QCOMPARE(window.size(), QSize(665, 460));
    QVERIFY(!window.isVisible());
}

// Geometry in logical pixels, worked out by hand from the designed twips (15 to a pixel).
void LayoutTest::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("XYgraf") << "XYgraf" << QByteArray("PlotSurface") << QRect(32, 32, 287, 287) << "" << "";
    QTest::newRow("Xgraf") << "Xgraf" << QByteArray("PlotSurface") << QRect(368, 32, 280, 127) << "" << "";
    QTest::newRow("Ygraf") << "Ygraf" << QByteArray("PlotSurface") << QRect(368, 192, 280, 127) << "" << "";
    QTest::newRow("HScroll1") << "HScroll1" << QByteArray("TimeCursorBar") << QRect(368, 168, 280, 17) << "" << "";
    QTest::newRow("XR") << "XR" << QByteArray("QLineEdit") << QRect(552, 384, 105, 25) << "5" << "valor x resaltado";
    QTest::newRow("YR") << "YR" << QByteArray("QLineEdit") << QRect(552, 424, 105, 25) << "5" << "valor y resaltado";
    QTest::newRow("TR") << "TR" << QByteArray("QLineEdit") << QRect(552, 344, 105, 25) << "0" << "Valor t resaltado";
    QTest::newRow("XI") << "XI" << QByteArray("QLineEdit") << QRect(32, 352, 129, 25) << "5" << "Valor x inicial";
    QTest::newRow("YI") << "YI" << QByteArray("QLineEdit") << QRect(32, 392, 129, 25) << "5" << "valor y inicial";
    QTest::newRow("Calcular") << "Calcular" << QByteArray("QPushButton") << QRect(32, 424, 129, 25) << "Calcular" << "";
    QTest::newRow("Text2") << "Text2" << QByteArray("QLineEdit") << QRect(496, 344, 49, 25) << "2" << "Intervalo de tiempo";
    const struct {
        const char *name;
        const char *kind;
        QRect geometry;
        const char *text;
    } labels[] = {
        {"Label1(0)", "QLabel", {240, 344, 73, 25}, "x' = x ("},
        {"par(0)", "ClickableLabel", {312, 344, 25, 25}, " A "},
        {"Label1(2)", "QLabel", {336, 344, 17, 25}, "+ "},
        {"par(1)", "ClickableLabel", {352, 344, 33, 25}, " B "},
        {"Label1(3)", "QLabel", {384, 344, 17, 25}, "x"},
        {"Label1(4)", "QLabel", {400, 344, 25, 25}, " + "},
        {"par(2)", "ClickableLabel", {424, 344, 25, 25}, " C "},
        {"Label1(5)", "QLabel", {448, 344, 25, 25}, " y"},
        {"Label1(11)", "QLabel", {472, 344, 17, 25}, ")"},
        {"Label1(1)", "QLabel", {240, 384, 73, 25}, "y' = y ("},
        {"par(3)", "ClickableLabel", {312, 384, 25, 25}, " D  "},
        {"Label1(6)", "QLabel", {336, 384, 17, 25}, "+"},
        {"par(4)", "ClickableLabel", {352, 384, 25, 25}, " E "},
        {"Label1(7)", "QLabel", {384, 384, 17, 25}, "x"},
        {"Label1(8)", "QLabel", {400, 384, 25, 25}, " + "},
        {"par(5)", "ClickableLabel", {424, 384, 25, 25}, " F  "},
        {"Label1(9)", "QLabel", {448, 384, 25, 25}, " y"},
        {"Label1(10)", "QLabel", {472, 384, 17, 25}, ")"},
    };
    for (const auto &label : labels)
        QTest::newRow(label.name) << QString::fromLatin1(label.name) << QByteArray(label.kind)
                                  << label.geometry << QString::fromLatin1(label.text) << "";
}

void LayoutTest::controls()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, kind);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    Prog window;
    auto *control = window.findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(QByteArray(control->metaObject()->className()), kind);
    QCOMPARE(control->window(), &window);
    // The labels of an equation sit in their row; where they stand in the window is the same.
    QCOMPARE(QRect(control->mapTo(&window, QPoint(0, 0)), control->size()), geometry);
    QCOMPARE(control->toolTip(), toolTip);
    if (auto *box = qobject_cast<QLineEdit *>(control)) {
        QCOMPARE(box->text(), text);
    } else if (auto *label = qobject_cast<QLabel *>(control)) {
        QCOMPARE(label->text(), text);
        // The equations are laid out for Times metrics: in a wider face (DejaVu Serif) the text
        // runs past its box and "x' = x (" loses its bracket. Trailing blanks may run past.
        QString inked = text;
        while (inked.endsWith(u' '))
            inked.chop(1);
        const int width = QFontMetrics(label->font()).horizontalAdvance(inked);
        QVERIFY2(width <= label->contentsRect().width(),
                 qPrintable(QStringLiteral("%1 px of text in a %2 px box, set in %3")
                                .arg(width)
                                .arg(label->contentsRect().width())
                                .arg(QFontInfo(label->font()).family())));
    } else if (auto *button = qobject_cast<QPushButton *>(control)) {
        QCOMPARE(button->text(), text);
    } else {
        QVERIFY(text.isEmpty());
    }

    // Magnified by half: every control stands where the designed window magnified puts it, half
    // as large again (to a pixel; a plot's border keeps its width, so two); at the designed size
    // again, the least the window takes, every control stands as designed.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize designed = window.size();
    QCOMPARE(window.minimumSize(), designed);
    window.resize(QSize(998, 690));
    QTRY_COMPARE(window.size(), QSize(998, 690));
    const QRect grown(control->mapTo(&window, QPoint(0, 0)), control->size());
    const double off = kind == "PlotSurface" ? 2 : 1;
    QVERIFY2(std::abs(grown.left() - geometry.left() * 1.5) <= 1 && std::abs(grown.top() - geometry.top() * 1.5) <= 1
                 && std::abs(grown.width() - geometry.width() * 1.5) <= off
                 && std::abs(grown.height() - geometry.height() * 1.5) <= off,
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(grown.x()).arg(grown.y()).arg(grown.width()).arg(grown.height())));
    window.resize(designed);
    QTRY_COMPARE(window.size(), designed);
    QCOMPARE(QRect(control->mapTo(&window, QPoint(0, 0)), control->size()), geometry);
}

// The equation labels are set in a serif face at 18 points; Liberation Serif (or Tinos) stands
// in for Times New Roman where that is not installed.
void LayoutTest::labelFonts()
{
    Prog window;
    const auto labels = window.findChildren<QLabel *>();
    QCOMPARE(labels.size(), 18);
    for (QLabel *label : labels) {
        QCOMPARE(label->font().family(), QStringLiteral("Times New Roman"));
        QCOMPARE(label->font().pointSize(), 18);
        QCOMPARE(label->font().weight(), QFont::Normal);
        const QString face = QFontInfo(label->font()).family();
        QVERIFY2(face.contains(QStringLiteral("Times")) || face.contains(QStringLiteral("Liberation Serif"))
                     || face == QStringLiteral("Tinos"),
                 qPrintable(face));
    }
    QCOMPARE(window.XI->font(), QApplication::font(window.XI));
}

// The window magnified g times, and a window wider than that: fonts grow with the controls,
// nothing overlaps, nothing is cut off; the extra width goes to the time plots alone.
void LayoutTest::grownWindow_data()
{
    QTest::addColumn<double>("g");
    QTest::addColumn<int>("extraWidth");
    QTest::newRow("designed") << 1.0 << 0;
    QTest::newRow("1.5") << 1.5 << 0;
    QTest::newRow("2") << 2.0 << 0;
    QTest::newRow("3") << 3.0 << 0;
    QTest::newRow("designed, wide") << 1.0 << 400;
    QTest::newRow("2, wide") << 2.0 << 500;
}

void LayoutTest::grownWindow()
{
    QFETCH(double, g);
    QFETCH(int, extraWidth);
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize size(int(std::ceil(665 * g)) + extraWidth, int(std::ceil(460 * g)));
    window.resize(size);
    QTRY_COMPARE(window.size(), size);

    // Where the designed window's controls stand, each of them magnified.
    const auto near = [g](int shown, int designed) { return std::abs(shown - designed * g) <= 1; };
    // The drawing areas are the designed ones magnified, to the pixel.
    QCOMPARE(window.XYgraf->width(), window.XYgraf->height());
    QCOMPARE(window.XYgraf->contentsRect().width(), int(std::lround(283 * g)));
    QCOMPARE(window.Xgraf->contentsRect().width() - extraWidth, int(std::lround(276 * g)));
    QCOMPARE(window.Ygraf->contentsRect().height(), int(std::lround(123 * g)));
    QVERIFY(near(window.HScroll1->width() - extraWidth, 280));
    QVERIFY(near(window.XR->x() - extraWidth, 552));
    QVERIFY(near(window.XI->x(), 32));
    QVERIFY(near(window.Text2->x(), 496));
    QCOMPARE(window.XYgraf->magnification(), g);
    QCOMPARE(window.Xgraf->magnification(), g);

    // The window's own controls lie inside it and apart; an equation's labels lie in their row.
    QList<QWidget *> controls;
    for (QWidget *child : window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow() && child->isVisible())
            controls << child;
    QCOMPARE(controls.size(), 13);
    for (int i = 0; i < controls.size(); ++i) {
        QVERIFY2(window.rect().contains(controls[i]->geometry()), qPrintable(controls[i]->objectName()));
        for (int j = i + 1; j < controls.size(); ++j)
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(controls[i]->objectName() + u' ' + controls[j]->objectName()));
    }

    // Each text at its font fits its box.
    for (QLabel *label : window.findChildren<QLabel *>()) {
        QVERIFY(label->parentWidget()->rect().contains(label->geometry()));
        QCOMPARE(label->font().pointSizeF(), 18 * g);
        QString inked = label->text();
        while (inked.endsWith(u' '))
            inked.chop(1);
        const QFontMetrics metrics(label->font());
        QVERIFY2(metrics.horizontalAdvance(inked) <= label->contentsRect().width(), qPrintable(label->objectName()));
        QVERIFY2(metrics.tightBoundingRect(inked).height() <= label->contentsRect().height(), qPrintable(label->objectName()));
    }
    const double boxPoints = QApplication::font(window.XI).pointSizeF();
    for (QLineEdit *box : window.findChildren<QLineEdit *>()) {
        QCOMPARE(box->font().pointSizeF(), boxPoints * g);
        const QFontMetrics metrics(box->font());
        QVERIFY2(metrics.height() <= box->height(), qPrintable(box->objectName()));
        QVERIFY2(metrics.horizontalAdvance(QStringLiteral("5,25")) < box->width(), qPrintable(box->objectName()));
    }
    const QFontMetrics buttonText(window.Calcular->font());
    QVERIFY(buttonText.horizontalAdvance(window.Calcular->text()) < window.Calcular->width());
    QVERIFY(buttonText.height() < window.Calcular->height());
}

void LayoutTest::scrollBar()
{
    Prog window;
    QCOMPARE(window.HScroll1->orientation(), Qt::Horizontal);
    QCOMPARE(window.HScroll1->minimum(), -100);
    QCOMPARE(window.HScroll1->maximum(), 100);
    QCOMPARE(window.HScroll1->value(), 0);
    QCOMPARE(window.HScroll1->singleStep(), 1);
    QCOMPARE(window.HScroll1->pageStep(), 1);
}

void LayoutTest::lines_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("plot");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::newRow("Line1 x axis") << "Line1" << "XYgraf" << QPoint(0, 4100) << QPoint(4200, 4100);
    QTest::newRow("Line2 y axis") << "Line2" << "XYgraf" << QPoint(150, 0) << QPoint(150, 4200);
    QTest::newRow("Line3 x = 0") << "Line3" << "Xgraf" << QPoint(0, 1700) << QPoint(4200, 1700);
    QTest::newRow("Line4 t = 0") << "Line4" << "Xgraf" << QPoint(2060, 0) << QPoint(2060, 1800);
    QTest::newRow("Line5 y = 0") << "Line5" << "Ygraf" << QPoint(0, 1700) << QPoint(4200, 1700);
    QTest::newRow("Line6 t = 0") << "Line6" << "Ygraf" << QPoint(2060, 0) << QPoint(2060, 1800);
}

void LayoutTest::lines()
{
    QFETCH(QString, name);
    QFETCH(QString, plot);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    Prog window;
    auto *line = window.findChild<LineShape *>(name);
    QVERIFY(line);
    QCOMPARE(line->parentWidget()->objectName(), plot);
    QCOMPARE(line->from(), from);
    QCOMPARE(line->to(), to);
    // A press on a line reaches the plot under it.
    QVERIFY(line->testAttribute(Qt::WA_TransparentForMouseEvents));
}

void LayoutTest::tabChain()
{
    Prog window;
    QStringList chain;
    QWidget *widget = window.XYgraf;
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != window.XYgraf);
    // The coefficient labels take part too, so that they can be edited from the keyboard, in
    // reading order: the first equation with its span box, then the second.
    const QStringList expected = {"XYgraf", "Xgraf", "Ygraf", "HScroll1", "XR", "YR",
                                  "TR", "XI", "YI", "Calcular", "par(0)", "par(1)",
                                  "par(2)", "Text2", "par(3)", "par(4)", "par(5)"};
    QCOMPARE(chain, expected);
}

void LayoutTest::readOutsLookAsPlainBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("focused");
    QTest::newRow("TR") << "TR" << false;
    QTest::newRow("XR, focused") << "XR" << true;
    QTest::newRow("YR") << "YR" << false;
}

// A read-out's kept panel must be pixel for pixel what the style itself draws, also after its
// value has changed (the panel then comes from what was kept) and with the focus on it.
void LayoutTest::readOutsLookAsPlainBoxes()
{
    QFETCH(QString, name);
    QFETCH(bool, focused);
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *box = window.findChild<QLineEdit *>(name);
    QVERIFY(box);
    if (focused) {
        window.activateWindow();
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
    }
    for (const QString &text : {QStringLiteral("-12,345"), QStringLiteral("0,5")}) {
        box->setText(text);
        const QImage kept = window.grab(box->geometry()).toImage();
        QStyle *readOutStyle = box->style();
        box->setStyle(nullptr);
        const QImage drawn = window.grab(box->geometry()).toImage();
        box->setStyle(readOutStyle);
        QVERIFY(readOutStyle != QApplication::style());
        QCOMPARE(kept, drawn);
    }
}

// Enter in a text box must not press Calcular.
void LayoutTest::calcularIsNoDefaultButton()
{
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int clicks = 0;
    connect(window.Calcular, &QPushButton::clicked, [&clicks] { ++clicks; });
    for (QLineEdit *box : {window.XI, window.YI, window.Text2}) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter);
    }
    QCOMPARE(clicks, 0);
    QVERIFY(!window.Calcular->isDefault());
    QVERIFY(!window.Calcular->autoDefault());
}

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
