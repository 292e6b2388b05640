#include "display/bifurcation/bifurcation_window.h"

#include "display/bifurcation/bifurcation_canvas.h"
#include "display/toolkit/decimal_step.h"
#include "display/toolkit/number_box.h"
#include "display/toolkit/close_shortcuts.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kRangeLimit = 1e6;
constexpr double kDefaultHalfRange = 2;
// The choice of what varies: A..F, then the parameters of the form in force.
constexpr int kCoefficients = 6;

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

QLabel *labelFor(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

BifurcationWindow::BifurcationWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Bifurcacion"));
    setWindowTitle(QStringLiteral("Diagrama de bifurcación"));
    addCloseShortcuts(this, "cerrarDiagrama");

    coefficientBox_ = new QComboBox(this);
    coefficientBox_->setObjectName(QStringLiteral("coeficiente"));
    coefficientBox_->setAccessibleName(QStringLiteral("Coeficiente o parámetro que varía"));
    for (int index = 0; index < 6; ++index)
        coefficientBox_->addItem(QString::fromLatin1(coefficientName(index)));
    fromBox_ = rangeBox("desde", QStringLiteral("Desde el valor"), this);
    toBox_ = rangeBox("hasta", QStringLiteral("Hasta el valor"), this);

    canvas_ = new BifurcationCanvas(this);
    canvas_->setObjectName(QStringLiteral("diagrama"));
    canvas_->setAccessibleName(QStringLiteral("Diagrama de bifurcación"));
    canvas_->setAccessibleDescription(QStringLiteral(
        "x e y de cada equilibrio frente al coeficiente o parámetro elegido: trazo continuo si es estable, discontinuo si "
        "es inestable, punteado si es neutral (un centro o un autovalor nulo); una flecha en el borde señala "
        "por dónde sale de la vista. Haga clic o arrastre para darle ese valor; la rueda amplía el eje de valores."));

    auto *controls = new QHBoxLayout;
    controls->addWidget(labelFor(QStringLiteral("&Coeficiente:"), coefficientBox_, this));
    controls->addWidget(coefficientBox_);
    controls->addSpacing(12);
    controls->addWidget(labelFor(QStringLiteral("&Desde:"), fromBox_, this));
    controls->addWidget(fromBox_);
    controls->addWidget(labelFor(QStringLiteral("&Hasta:"), toBox_, this));
    controls->addWidget(toBox_);
    controls->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(canvas_, 1);
    resize(760, 600);

    resetRange();
    connect(coefficientBox_, &QComboBox::currentIndexChanged, this, &BifurcationWindow::resetRange);
    connect(fromBox_, &QDoubleSpinBox::valueChanged, this, &BifurcationWindow::showRange);
    connect(toBox_, &QDoubleSpinBox::valueChanged, this, &BifurcationWindow::showRange);
    // Along a parameter, a column outside its domain (K ≤ 0) picks nothing.
    connect(canvas_, &BifurcationCanvas::valuePicked, this, [this](double value) {
        const int along = parameter();
        if (along < 0)
            emit coefficientPicked(coefficient(), value);
        else if (fitsDomain(value, parametersOf(ecology_->form)[std::size_t(along)].domain))
            emit ecologicalParameterPicked(along, value);
    });
    connect(canvas_, &BifurcationCanvas::pickStarted, this, &BifurcationWindow::dragStarted);
    connect(canvas_, &BifurcationCanvas::pickFinished, this, &BifurcationWindow::dragFinished);
}

int BifurcationWindow::coefficient() const
{
    const int item = coefficientBox_->currentIndex();
    return item >= 0 && item < kCoefficients ? item : lastCoefficient_;
}

void BifurcationWindow::setCoefficient(int index)
{
    if (index >= 0 && index < kCoefficients)
        choose(index);
}

int BifurcationWindow::parameter() const
{
    const int item = coefficientBox_->currentIndex();
    return ecology_ && item >= kCoefficients ? item - kCoefficients : -1;
}

void BifurcationWindow::setParameter(int index)
{
    if (ecology_ && index >= 0 && index < ecology_->count())
        choose(kCoefficients + index);
}

QString BifurcationWindow::parameterId() const
{
    const int along = parameter();
    return along < 0 ? QString() : QString::fromLatin1(parametersOf(ecology_->form)[std::size_t(along)].id);
}

bool BifurcationWindow::setParameterById(const QString &id)
{
    const int index = ecology_ ? ecology_->indexOf(id.toStdString()) : -1;
    setParameter(index);
    return index >= 0;
}

void BifurcationWindow::choose(int item)
{
    const QSignalBlocker block(coefficientBox_);
    coefficientBox_->setCurrentIndex(item);
    resetRange();
}

void BifurcationWindow::setEcology(const std::optional<EcologicalParameters> &parameters)
{
    const std::optional<EcologicalParameters> given = parameters && isValid(*parameters) ? parameters : std::nullopt;
    const bool sameForm = given && ecology_ && given->form == ecology_->form;
    const bool along = parameter() >= 0;
    ecology_ = given;
    if (sameForm) {
        showRange();
        followValue();
        return;
    }
    listParameters();
    if (along)
        resetRange();   // back to the coefficient chosen before: no diagram of a form gone
    else
        showRange();
}

// The form's parameters after A..F, each with its meaning; the choice stays on a coefficient,
// the one chosen before where it was on a parameter.
void BifurcationWindow::listParameters()
{
    const QSignalBlocker block(coefficientBox_);
    const int item = coefficientBox_->currentIndex();
    while (coefficientBox_->count() > kCoefficients)
        coefficientBox_->removeItem(kCoefficients);
    if (ecology_) {
        for (const EcologicalParameter &p : parametersOf(ecology_->form)) {
            const QString symbol = QString::fromUtf8(p.symbol), meaning = QString::fromUtf8(p.meaning);
            coefficientBox_->addItem(symbol);
            const int added = coefficientBox_->count() - 1;
            coefficientBox_->setItemData(added, QStringLiteral("%1: %2").arg(symbol, meaning), Qt::ToolTipRole);
            coefficientBox_->setItemData(added, meaning, Qt::AccessibleDescriptionRole);
        }
    }
    coefficientBox_->setCurrentIndex(item >= 0 && item < kCoefficients ? item : lastCoefficient_);
}

std::pair<double, double> BifurcationWindow::range() const
{
    return {fromBox_->value(), toBox_->value()};
}

void BifurcationWindow::setRange(double from, double to)
{
    from = std::clamp(from, -kRangeLimit, kRangeLimit);
    to = std::clamp(to, -kRangeLimit, kRangeLimit);
    if (!(from < to))
        return;
    {
        const QSignalBlocker blockFrom(fromBox_), blockTo(toBox_);
        fromBox_->setValue(from);
        toBox_->setValue(to);
    }
    rangeGiven_ = true;
    showRange();
}

void BifurcationWindow::showEvent(QShowEvent *event)
{
    // The first time it opens, the range is centred on the value of the system it was given,
    // unless one was given.
    if (!shownBefore_ && !rangeGiven_)
        resetRange();
    shownBefore_ = true;
    QWidget::showEvent(event);
}

void BifurcationWindow::setSystem(const Coefficients &system)
{
    BifurcationScene scene = canvas_->scene();
    scene.system = system;
    canvas_->setScene(scene);
    followValue();
}

// A value outside the range (an example, a typed value) takes the range with it: the same
// width, centred on the value.
void BifurcationWindow::followValue()
{
    const double value = canvas_->scene().current();
    const double from = fromBox_->value(), to = toBox_->value();
    if (from < to && (value < from || value > to) && std::fabs(value) < kRangeLimit) {
        const double half = (to - from) / 2;
        const QSignalBlocker blockFrom(fromBox_), blockTo(toBox_);
        fromBox_->setValue(std::max(-kRangeLimit, decimalSum(value, half, -1)));
        toBox_->setValue(std::min(kRangeLimit, decimalSum(value, half, 1)));
        showRange();
    }
}

void BifurcationWindow::resetRange()
{
    const int item = coefficientBox_->currentIndex();
    if (item >= 0 && item < kCoefficients)
        lastCoefficient_ = item;
    const int along = parameter();
    // A parameter's values begin at 0 (K > 0, h ≥ 0); its own scale is its value.
    const double value = along >= 0 ? ecology_->values[std::size_t(along)]
                                    : coefficientValue(canvas_->scene().system, coefficient());
    {
        const QSignalBlocker blockFrom(fromBox_), blockTo(toBox_);
        fromBox_->setValue(along >= 0 ? 0 : value - kDefaultHalfRange);
        toBox_->setValue(along < 0 ? value + kDefaultHalfRange : value > 0 ? std::min(2 * value, kRangeLimit) : 2);
    }
    showRange();
}

void BifurcationWindow::showRange()
{
    BifurcationScene scene = canvas_->scene();
    scene.coefficient = coefficient();
    scene.ecology = ecology_;
    scene.parameter = parameter();
    scene.from = fromBox_->value();
    scene.to = toBox_->value();
    canvas_->setScene(scene);
}
