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
// Each axis' choice: A..F, then the parameters of the form in force.
constexpr int kCoefficients = 6;

// The parameter that answers index in the other species: α₂₁ for α₁₂, K₂ for K₁, h₂ for h₁;
// in predator and prey, b for a, m for r, and r for K.
int partnerOf(EcologicalForm form, int index)
{
    if (form == EcologicalForm::PredatorPrey) {
        constexpr int partners[] = {3, 2, 1, 0, 0, 6, 5};
        return partners[index];
    }
    return index < 6 ? (index + 3) % 6 : 13 - index;
}

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
    // Along parameters, a pixel outside their domains picks nothing.
    connect(map_, &RegimeMap::valuesPicked, this, [this](double h, double v) {
        const int alongH = horizontalParameter(), alongV = verticalParameter();
        if (alongH < 0) {
            emit valuesPicked(horizontal(), h, vertical(), v);
            return;
        }
        const auto list = parametersOf(ecology_->form);
        if (fitsDomain(h, list[std::size_t(alongH)].domain) && fitsDomain(v, list[std::size_t(alongV)].domain))
            emit parametersPicked(alongH, h, alongV, v);
    });
    connect(map_, &RegimeMap::pickStarted, this, &RegimeWindow::dragStarted);
    connect(map_, &RegimeMap::pickFinished, this, &RegimeWindow::dragFinished);
    connect(map_, &RegimeMap::pictureChanged, this, &RegimeWindow::showLegend);
    connect(map_, &RegimeMap::keyPixelMoved, this, &RegimeWindow::describeCrosshair);
}

int RegimeWindow::horizontal() const
{
    return horizontalLetter_;
}

int RegimeWindow::vertical() const
{
    return verticalLetter_;
}

int RegimeWindow::horizontalParameter() const
{
    const int item = horizontalBox_->currentIndex();
    return ecology_ && item >= kCoefficients ? item - kCoefficients : -1;
}

int RegimeWindow::verticalParameter() const
{
    const int item = verticalBox_->currentIndex();
    return ecology_ && item >= kCoefficients ? item - kCoefficients : -1;
}

void RegimeWindow::setAxes(int horizontal, int vertical)
{
    if (horizontal < 0 || horizontal >= kCoefficients || vertical < 0 || vertical >= kCoefficients
        || horizontal == vertical)
        return;
    choose(horizontal, vertical);
}

bool RegimeWindow::setParameters(int horizontal, int vertical)
{
    if (!ecology_ || horizontal < 0 || vertical < 0 || horizontal >= ecology_->count()
        || vertical >= ecology_->count() || horizontal == vertical)
        return false;
    choose(kCoefficients + horizontal, kCoefficients + vertical);
    return true;
}

QString RegimeWindow::horizontalParameterId() const
{
    const int along = horizontalParameter();
    return along < 0 ? QString() : QString::fromLatin1(parametersOf(ecology_->form)[std::size_t(along)].id);
}

QString RegimeWindow::verticalParameterId() const
{
    const int along = verticalParameter();
    return along < 0 ? QString() : QString::fromLatin1(parametersOf(ecology_->form)[std::size_t(along)].id);
}

bool RegimeWindow::setParametersById(const QString &horizontal, const QString &vertical)
{
    return ecology_
           && setParameters(ecology_->indexOf(horizontal.toStdString()), ecology_->indexOf(vertical.toStdString()));
}

void RegimeWindow::choose(int horizontalItem, int verticalItem)
{
    {
        const QSignalBlocker blockH(horizontalBox_), blockV(verticalBox_);
        horizontalBox_->setCurrentIndex(horizontalItem);
        verticalBox_->setCurrentIndex(verticalItem);
    }
    horizontalBefore_ = horizontalItem;
    verticalBefore_ = verticalItem;
    if (horizontalItem < kCoefficients)
        horizontalLetter_ = horizontalItem;
    if (verticalItem < kCoefficients)
        verticalLetter_ = verticalItem;
    resetRange(horizontalBox_);
    resetRange(verticalBox_);
}

// The two axes never show one coefficient or parameter: taking the other axis' one gives it
// this axis' old. They are of one kind: a parameter chosen for one puts the other on a
// parameter, a coefficient chosen puts it back on its coefficient.
void RegimeWindow::axisChosen(QComboBox *chosen, QComboBox *other, int &previous, int &otherPrevious)
{
    const int item = chosen->currentIndex();
    const bool onParameter = item >= kCoefficients;
    int &letter = chosen == horizontalBox_ ? horizontalLetter_ : verticalLetter_;
    int &otherLetter = chosen == horizontalBox_ ? verticalLetter_ : horizontalLetter_;
    int otherItem = other->currentIndex();
    if (onParameter != (otherItem >= kCoefficients)) {
        if (onParameter)
            otherItem = kCoefficients + partnerOf(ecology_->form, item - kCoefficients);
        else
            otherItem = otherLetter != item ? otherLetter : letter != item ? letter : (item + 2) % kCoefficients;
    } else if (item == otherItem) {
        otherItem = previous;
    }
    if (otherItem != other->currentIndex()) {
        const QSignalBlocker block(other);
        other->setCurrentIndex(otherItem);
        otherPrevious = otherItem;
        if (otherItem < kCoefficients)
            otherLetter = otherItem;
        resetRange(other);
    }
    previous = item;
    if (!onParameter)
        letter = item;
    resetRange(chosen);
}

void RegimeWindow::setEcology(const std::optional<EcologicalParameters> &parameters)
{
    const std::optional<EcologicalParameters> given = parameters && isValid(*parameters) ? parameters : std::nullopt;
    const bool sameForm = given && ecology_ && given->form == ecology_->form;
    const bool along = horizontalParameter() >= 0;
    ecology_ = given;
    if (sameForm) {
        showRanges();
        followValues();
        return;
    }
    listParameters();
    if (along)
        choose(horizontalLetter_, verticalLetter_);   // back to the coefficients: no map of a form gone
    else
        showRanges();
}

// The form's parameters after A..F in both boxes, each with its meaning; the choice stays on
// its coefficient.
void RegimeWindow::listParameters()
{
    for (QComboBox *box : {horizontalBox_, verticalBox_}) {
        const QSignalBlocker block(box);
        while (box->count() > kCoefficients)
            box->removeItem(kCoefficients);
        if (ecology_) {
            for (const EcologicalParameter &p : parametersOf(ecology_->form)) {
                const QString symbol = QString::fromUtf8(p.symbol), meaning = QString::fromUtf8(p.meaning);
                box->addItem(symbol);
                const int added = box->count() - 1;
                box->setItemData(added, QStringLiteral("%1: %2").arg(symbol, meaning), Qt::ToolTipRole);
                box->setItemData(added, meaning, Qt::AccessibleDescriptionRole);
            }
        }
        if (box->currentIndex() < 0 || box->currentIndex() >= kCoefficients)
            box->setCurrentIndex(box == horizontalBox_ ? horizontalLetter_ : verticalLetter_);
    }
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
    const bool horizontalAxis = axis == horizontalBox_;
    const int along = horizontalAxis ? horizontalParameter() : verticalParameter();
    QDoubleSpinBox *from = horizontalAxis ? fromH_ : fromV_;
    QDoubleSpinBox *to = horizontalAxis ? toH_ : toV_;
    if (along >= 0) {
        // A parameter's values begin at 0 (K > 0, h ≥ 0); its own scale is its value.
        const double value = ecology_->values[std::size_t(along)];
        const QSignalBlocker blockFrom(from), blockTo(to);
        from->setValue(0);
        to->setValue(value > 0 && std::isfinite(value) ? std::min(2 * value, kRangeLimit) : 2);
        showRanges();
        return;
    }
    const double value = coefficientValue(system_, horizontalAxis ? horizontal() : vertical());
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
        const double value = axis == horizontalBox_ ? map_->scene().valueH() : map_->scene().valueV();
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
    scene.ecology = ecology_;
    scene.horizontalParameter = horizontalParameter();
    scene.verticalParameter = verticalParameter();
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
    if (picture.outsideDomain)
        entries << QStringLiteral("<span style=\"background-color:%1\">&nbsp;&nbsp;&nbsp;&nbsp;</span>&nbsp;fuera del dominio")
                       .arg(outsideDomainColour().name());
    legend_->setText(entries.join(QStringLiteral(" &nbsp; ")));
}

// Screen readers hear the regime under the crosshair: that of the system in force, or that of
// the pixel the arrow keys moved to.
void RegimeWindow::describeCrosshair()
{
    if (const std::optional<QPoint> pixel = map_->keyPixel()) {
        map_->setAccessibleDescription(
            QStringLiteral("Régimen en la cruz movida con las flechas: %1. Pulse Intro para dar a los dos "
                           "%2 esos valores.")
                .arg(map_->toolTipAt(QPointF(*pixel) + QPointF(0.5, 0.5)).replace(QLatin1Char('\n'), QStringLiteral(", ")),
                     what()));
        return;
    }
    const RegimeMapScene &scene = map_->scene();
    map_->setAccessibleDescription(
        QStringLiteral("Régimen en la cruz (%1 = %2; %3 = %4): %5. Haga clic o arrastre para dar a los dos "
                       "%6 esos valores.")
            .arg(QString::fromUtf8(scene.nameH()), textOf(scene.valueH()), QString::fromUtf8(scene.nameV()),
                 textOf(scene.valueV()), QString::fromUtf8(regimeName(regimeOf(system_))), what()));
}

QString RegimeWindow::what() const
{
    return horizontalParameter() >= 0 ? QStringLiteral("parámetros") : QStringLiteral("coeficientes");
}
