// The window at the screen scale given by QT_SCALE_FACTOR (the test runs at 1, 1.5 and 2), and
// on two screens of different pixel ratios (1.25 and 1.75, given by LV_EXPECTED_SCALE).
#include "display/analysis/overlays/overlay_style.h"
#include "display/plots/plot_surface.h"
#include "interaction/prog.h"

#include <QAction>

#include <QFontMetricsF>
#include <QScreen>
#include <QWindow>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cmath>

namespace {

qreal expectedScale()
{
    QByteArray factor = qgetenv("LV_EXPECTED_SCALE");
    if (factor.isEmpty())
        factor = qgetenv("QT_SCALE_FACTOR");
    return factor.isEmpty() ? 1.0 : factor.toDouble();
}

} // namespace

class ScaleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void layoutKeepsItsProportions();
    void dotsAreCrisp();
    void pressOnTheDotOfFiveFiveGivesFiveFive();
    void labelTextFitsItsBox();
    void nullclinesAreCrisp();
    void aNewPixelRatioRedrawsThePlots();

private:
    Prog *window = nullptr;
};

void ScaleTest::initTestCase()
{
    window = new Prog;
    window->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->devicePixelRatioF(), expectedScale());
}

// Logical sizes stay those of the design; only the device pixels grow.
void ScaleTest::layoutKeepsItsProportions()
{
    QCOMPARE(window->size(), QSize(665, 460));
    QCOMPARE(window->XYgraf->geometry(), QRect(32, 32, 287, 287));
    QCOMPARE(window->Text2->geometry(), QRect(496, 344, 49, 25));
    const QImage &image = window->XYgraf->image();
    QCOMPARE(image.devicePixelRatio(), expectedScale());
    QCOMPARE(image.size(), window->XYgraf->contentsRect().size() * expectedScale());
}

// The plots are painted at the screen's own resolution with no blending: every pixel is
// either background or point, and the thick dot is three logical pixels wide.
void ScaleTest::dotsAreCrisp()
{
    const QImage &image = window->XYgraf->image();
    const QRgb background = window->XYgraf->palette().color(QPalette::Base).rgb();
    const QRgb ink = window->XYgraf->palette().color(QPalette::Text).rgb();
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            QVERIFY(pixel == background || pixel == ink);
            inked += pixel == ink;
        }
    QVERIFY(inked > 100);
    // Across the middle of the thick dot of (5, 5), at logical (143.5, 140.5).
    const qreal scale = expectedScale();
    const int row = int(140.5 * scale);
    int width = 0;
    for (int x = int(140 * scale); x < int(147 * scale); ++x)
        width += image.pixel(x, row) == ink;
    QVERIFY2(std::abs(width - 3 * scale) <= 1, qPrintable(QString::number(width)));
}

void ScaleTest::pressOnTheDotOfFiveFiveGivesFiveFive()
{
    const QPoint border(2, 2);
    QTest::mouseClick(window->XYgraf, Qt::LeftButton, {}, QPoint(143, 140) + border);
    QCOMPARE(window->XI->text(), QStringLiteral("5"));
    QCOMPARE(window->YI->text(), QStringLiteral("5"));
}

// The ink of every label's text lies inside the label's box.
void ScaleTest::labelTextFitsItsBox()
{
    for (QLabel *label : window->findChildren<QLabel *>()) {
        const QFontMetricsF metrics(label->font(), label);
        const QRectF ink = metrics.tightBoundingRect(label->text());
        const QString what = label->objectName() + QLatin1Char(' ') + QString::number(ink.width())
            + QLatin1Char('x') + QString::number(ink.height());
        QVERIFY2(metrics.horizontalAdvance(label->text().trimmed()) <= label->width(), qPrintable(what));
        QVERIFY2(ink.height() <= label->height(), qPrintable(what));
    }
}

// Regression: on a screen of another pixel ratio the kept images were only rescaled, and dots
// turned into slivers until the next action. They must be drawn afresh at the new ratio.
void ScaleTest::aNewPixelRatioRedrawsThePlots()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        QSKIP("needs a second screen");
    window->windowHandle()->setScreen(screens.at(1));
    const qreal ratio = screens.at(1)->devicePixelRatio();
    QTRY_COMPARE(window->XYgraf->image().devicePixelRatio(), ratio);
    const QImage moved = window->XYgraf->image();
    window->pintura();
    QCOMPARE(moved, window->XYgraf->image());
}

// The overlays are drawn at the screen's resolution: the nullcline y = 4 of the defaults
// crosses a column of the phase plane as one solid band of device pixels, unblended.
void ScaleTest::nullclinesAreCrisp()
{
    window->findChild<QAction *>(QStringLiteral("isoclinas"))->setChecked(true);
    const QImage &image = window->XYgraf->image();
    const QRgb base = window->XYgraf->palette().color(QPalette::Base).rgb();
    const QRgb line = overlay_style::kXNullcline.rgb();
    const qreal scale = expectedScale();
    const int column = int(250 * scale);   // x = 9, clear of the trajectory and the marks
    int first = -1, count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb pixel = image.pixel(column, y);
        QVERIFY2(pixel == base || pixel == line, qPrintable(QString::number(y)));
        if (pixel == line) {
            count += 1;
            first = first < 0 ? y : first;
        }
    }
    QVERIFY2(count >= 1 && count <= std::ceil(scale), qPrintable(QString::number(count)));
    QVERIFY(first >= int(166 * scale) && first + count <= int(167 * scale) + 1);
    window->findChild<QAction *>(QStringLiteral("isoclinas"))->setChecked(false);
}

QTEST_MAIN(ScaleTest)
#include "scale_test.moc"
