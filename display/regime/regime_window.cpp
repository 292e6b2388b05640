#include "display/regime/regime_window.h"

#include "display/regime/regime_map.h"
#include "display/toolkit/close_shortcuts.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/decimal_step.h"
#include "display/toolkit/number_box.h"
#include "model/analysis/bifurcation.h"
#include "model/analysis/regime.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kRangeLimit = 1e6;
constexpr double kDefaultHalfRange = 2;

QDoubleSpinBox *rangeBox(const char *name, const QString &accessibleName, QWidget *parent)
{
    auto *box = new NumberBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(accessibleName);
    box->setRange(-kRangeLimit, kRangeLimit);
    box->setSingleStep(0.5);
    box->setKeyboardTracking(false);   // a half-typed number is no range
    return box;
}

QComboBox *axisBox(const char *name, const QString &accessibleName, int chosen, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(accessibleName);
    for (int index = 0; index < 6; ++index)
        box->addItem(QString::fromLatin1(coefficientName(index)));
    box->setCurrentIndex(chosen);
    return box;
}

QLabel *labelFor(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

RegimeWindow::RegimeWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("MapaRegimenes"));
    setWindowTitle(QStringLiteral("Mapa de regímenes"));
    addCloseShortcuts(this, "cerrarMapa");

    horizontalBox_ = axisBox("ejeHorizontal", QStringLiteral("Coeficiente del eje horizontal"), 2, this);
    verticalBox_ = axisBox("ejeVertical", QStringLiteral("Coeficiente del eje vertical"), 4, this);
    fromH_ = rangeBox("desdeH", QStringLiteral("Eje horizontal desde el valor"), this);
    toH_ = rangeBox("hastaH", QStringLiteral("Eje horizontal hasta el valor"), this);
    fromV_ = rangeBox("desdeV", QStringLiteral("Eje vertical desde el valor"), this);
    toV_ = rangeBox("hastaV", QStringLiteral("Eje vertical hasta el valor"), this);

    map_ = new RegimeMap(this);
    map_->setObjectName(QStringLiteral("mapa"));
    map_->setAccessibleName(QStringLiteral("Mapa de regímenes"));
    legend_ = new QLabel(this);
    legend_->setObjectName(QStringLiteral("leyenda"));
    legend_->setTextFormat(Qt::RichText);
    legend_->setWordWrap(true);

    auto *controls = new QGridLayout;
    controls->addWidget(labelFor(QStringLiteral("Eje h&orizontal:"), horizontalBox_, this), 0, 0);
    controls->addWidget(horizontalBox_, 0, 1);
    controls->addWidget(labelFor(QStringLiteral("&Desde:"), fromH_, this), 0, 2);
    controls->addWidget(fromH_, 0, 3);
    controls->addWidget(labelFor(QStringLiteral("&Hasta:"), toH_, this), 0, 4);
    controls->addWidget(toH_, 0, 5);
    controls->addWidget(labelFor(QStringLiteral("Eje &vertical:"), verticalBox_, this), 1, 0);
    controls->addWidget(verticalBox_, 1, 1);
    controls->addWidget(labelFor(QStringLiteral("D&esde:"), fromV_, this), 1, 2);
    controls->addWidget(fromV_, 1, 3);
    controls->addWidget(labelFor(QStringLiteral("H&asta:"), toV_, this), 1, 4);
    controls->addWidget(toV_, 1, 5);
    controls->setColumnStretch(6, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(map_, 1);
    layout->addWidget(legend_);
    resize(560, 620);

    resetRange(horizontalBox_);
    resetRange(verticalBox_);
    connect(horizontalBox_, &QComboBox::currentIndexChanged, this,
            [this] { axisChosen(horizontalBox_, verticalBox_, horizontalBefore_, verticalBefore_); });
    connect(verticalBox_, &QComboBox::currentIndexChanged, this,
            [this] { axisChosen(verticalBox_, horizontalBox_, verticalBefore_, horizontalBefore_); });
    for (QDoubleSpinBox *box : {fromH_, toH_, fromV_, toV_})
        connect(box, &QDoubleSpinBox::valueChanged, this, &RegimeWindow::showRanges);
    connect(map_, &RegimeMap::valuesPicked, this,
            [this](double h, double v) { emit valuesPicked(horizontal(), h, vertical(), v); });
    connect(map_, &RegimeMap::pickStarted, this, &RegimeWindow::dragStarted);
    connect(map_, &RegimeMap::pickFinished, this, &RegimeWindow::dragFinished);
    connect(map_, &RegimeMap::pictureChanged, this, &RegimeWindow::showLegend);
    connect(map_, &RegimeMap::keyPixelMoved, this, &RegimeWindow::describeCrosshair);
}

int RegimeWindow::horizontal() const
{
    return horizontalBox_->currentIndex();
}

int RegimeWindow::vertical() const
{
    return verticalBox_->currentIndex();
}

void RegimeWindow::setAxes(int horizontal, int vertical)
{
    if (horizontal < 0 || horizontal >= 6 || vertical < 0 || vertical >= 6 || horizontal == vertical)
        return;
    {
        const QSignalBlocker blockH(horizontalBox_), blockV(verticalBox_);
        horizontalBox_->setCurrentIndex(horizontal);
        verticalBox_->setCurrentIndex(vertical);
    }
    horizontalBefore_ = horizontal;
    verticalBefore_ = vertical;
    resetRange(horizontalBox_);
    resetRange(verticalBox_);
}

// The two axes never show one coefficient: taking the other axis' one gives it this axis' old.
void RegimeWindow::axisChosen(QComboBox *chosen, QComboBox *other, int &previous, int &otherPrevious)
{
    if (chosen->currentIndex() == other->currentIndex()) {
        const QSignalBlocker block(other);
        other->setCurrentIndex(previous);
        otherPrevious = previous;
        resetRange(other);
    }
    previous = chosen->currentIndex();
    resetRange(chosen);
}

std::pair<double, double> RegimeWindow::rangeH() const
{
    return {fromH_->value(), toH_->value()};
}

std::pair<double, double> RegimeWindow::rangeV() const
{
    return {fromV_->value(), toV_->value()};
}

void RegimeWindow::setRanges(double fromH, double toH, double fromV, double toV)
{
    const auto limit = [](double value) { return std::clamp(value, -kRangeLimit, kRangeLimit); };
    fromH = limit(fromH), toH = limit(toH), fromV = limit(fromV), toV = limit(toV);
    if (!(fromH < toH) || !(fromV < toV))
        return;
    {
        const QSignalBlocker b1(fromH_), b2(toH_), b3(fromV_), b4(toV_);
        fromH_->setValue(fromH);
        toH_->setValue(toH);
        fromV_->setValue(fromV);
        toV_->setValue(toV);
    }
    rangeGiven_ = true;
    showRanges();
}

void RegimeWindow::showEvent(QShowEvent *event)
{
    // The first time it opens, the ranges are centred on the values of the system it was given,
    // unless some were given.
    if (!shownBefore_ && !rangeGiven_) {
        resetRange(horizontalBox_);
        resetRange(verticalBox_);
    }
    shownBefore_ = true;
    QWidget::showEvent(event);
}

void RegimeWindow::setSystem(const Coefficients &system)
{
    // The trail starts at the first system given, not at the placeholder it was made with.
    if (!systemGiven_)
        map_->clearTrail();
    systemGiven_ = true;
    system_ = system;
    showRanges();
    followValues();
}

void RegimeWindow::resetRange(QComboBox *axis)
{
    const double value = coefficientValue(system_, axis->currentIndex());
    QDoubleSpinBox *from = axis == horizontalBox_ ? fromH_ : fromV_;
    QDoubleSpinBox *to = axis == horizontalBox_ ? toH_ : toV_;
    if (std::isfinite(value) && std::fabs(value) < kRangeLimit) {
        const QSignalBlocker blockFrom(from), blockTo(to);
        from->setValue(std::max(-kRangeLimit, value - kDefaultHalfRange));
        to->setValue(std::min(kRangeLimit, value + kDefaultHalfRange));
    }
    showRanges();
}

// A value outside its range (an example, a typed value) takes the range with it: the same
// width, centred on the value.
void RegimeWindow::followValues()
{
    bool moved = false;
    for (QComboBox *axis : {horizontalBox_, verticalBox_}) {
        QDoubleSpinBox *fromBox = axis == horizontalBox_ ? fromH_ : fromV_;
        QDoubleSpinBox *toBox = axis == horizontalBox_ ? toH_ : toV_;
        const double value = coefficientValue(system_, axis->currentIndex());
        const double from = fromBox->value(), to = toBox->value();
        if (from < to && (value < from || value > to) && std::fabs(value) < kRangeLimit) {
            const double half = (to - from) / 2;
            const QSignalBlocker blockFrom(fromBox), blockTo(toBox);
            fromBox->setValue(std::max(-kRangeLimit, decimalSum(value, half, -1)));
            toBox->setValue(std::min(kRangeLimit, decimalSum(value, half, 1)));
            moved = true;
        }
    }
    if (moved)
        showRanges();
}

void RegimeWindow::showRanges()
{
    RegimeMapScene scene;
    scene.system = system_;
    scene.horizontal = horizontal();
    scene.vertical = vertical();
    scene.fromH = fromH_->value();
    scene.toH = toH_->value();
    scene.fromV = fromV_->value();
    scene.toV = toV_->value();
    map_->setScene(scene);
    describeCrosshair();   // a new range or axis also ends a move of the arrow keys
}

// The regimes the map shows, each with its colour, in the order of their kinds.
void RegimeWindow::showLegend()
{
    const RegimePicture &picture = map_->picture();
    QStringList entries;
    for (int r = 0; r < kRegimeCount; ++r) {
        if (!picture.present[std::size_t(r)])
            continue;
        entries << QStringLiteral("<span style=\"background-color:%1\">&nbsp;&nbsp;&nbsp;&nbsp;</span>&nbsp;%2")
                       .arg(regimeColour(Regime(r)).name(), QString::fromUtf8(regimeName(Regime(r))).toHtmlEscaped());
    }
    legend_->setText(entries.join(QStringLiteral(" &nbsp; ")));
}

// Screen readers hear the regime under the crosshair: that of the system in force, or that of
// the pixel the arrow keys moved to.
void RegimeWindow::describeCrosshair()
{
    const int h = horizontal(), v = vertical();
    if (const std::optional<QPoint> pixel = map_->keyPixel()) {
        map_->setAccessibleDescription(
            QStringLiteral("Régimen en la cruz movida con las flechas: %1. Pulse Intro para dar a los dos "
                           "coeficientes esos valores.")
                .arg(map_->toolTipAt(QPointF(*pixel) + QPointF(0.5, 0.5)).replace(QLatin1Char('\n'), QStringLiteral(", "))));
        return;
    }
    map_->setAccessibleDescription(
        QStringLiteral("Régimen en la cruz (%1 = %2; %3 = %4): %5. Haga clic o arrastre para dar a los dos "
                       "coeficientes esos valores.")
            .arg(QString::fromLatin1(coefficientName(h)), textOf(coefficientValue(system_, h)),
                 QString::fromLatin1(coefficientName(v)), textOf(coefficientValue(system_, v)),
                 QString::fromUtf8(regimeName(regimeOf(system_)))));
}
