#include "display/analysis/coefficient_controls.h"

#include "display/toolkit/conversions.h"
#include "display/toolkit/number_box.h"

#include <QDoubleSpinBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {

// Slider positions from one end of the range to the other; the middle is the centre value.
constexpr int kSteps = 1000;
constexpr int kMiddle = kSteps / 2;
// PageUp and PageDown move this many positions: a round step too.
constexpr int kPageSteps = 100;
// Anything a person types fits, and a slider's range stays within finite doubles.
constexpr double kLimit = 1e300;

} // namespace

CoefficientControls::CoefficientControls(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("coeficientesVivos"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(2, 1);
    for (int index = 0; index < int(rows_.size()); ++index) {
        const QChar letter(u'A' + index);
        const QString name = QStringLiteral("Coeficiente %1").arg(letter);
        Row &row = rows_[std::size_t(index)];

        row.box = new NumberBox(this);
        row.box->setObjectName(QStringLiteral("valor%1").arg(letter));
        row.box->setRange(-kLimit, kLimit);
        row.box->setSingleStep(0.1);
        row.box->setKeyboardTracking(false);   // a half-typed number is no value
        row.box->setMinimumWidth(150);
        row.box->setAccessibleName(name);

        row.slider = new QSlider(Qt::Horizontal, this);
        row.slider->setObjectName(QStringLiteral("deslizador%1").arg(letter));
        row.slider->setRange(0, kSteps);
        row.slider->setSingleStep(1);
        row.slider->setPageStep(kPageSteps);
        row.slider->setValue(kMiddle);
        row.slider->setMinimumWidth(200);
        row.slider->setAccessibleName(name);

        auto *label = new QLabel(QStringLiteral("&%1").arg(letter), this);
        label->setBuddy(row.box);
        grid->addWidget(label, index, 0);
        grid->addWidget(row.box, index, 1);
        grid->addWidget(row.slider, index, 2);

        connect(row.box, &QDoubleSpinBox::valueChanged, this, [this, index](double value) {
            emit coefficientEdited(index, value, false);
        });
        connect(row.slider, &QSlider::valueChanged, this, [this, index] { sliderMoved(index); });
        connect(row.slider, &QSlider::sliderPressed, this, [this, index] { emit dragStarted(index); });
        row.box->installEventFilter(this);
        row.slider->installEventFilter(this);
        connect(row.slider, &QSlider::sliderReleased, this, [this, index] {
            centreSlider(index, rows_[std::size_t(index)].box->value());
            emit dragFinished(index);
        });
        centreSlider(index, 0);
    }
}

QDoubleSpinBox *CoefficientControls::valueBox(int index) const
{
    return rows_[std::size_t(index)].box;
}

void CoefficientControls::showCoefficient(int index, double value)
{
    if (index < 0 || index >= int(rows_.size()) || !std::isfinite(value))
        return;
    Row &row = rows_[std::size_t(index)];
    {
        // A value the box cannot hold is not shown as another number.
        const QSignalBlocker block(row.box);
        row.box->showValue(value);
        if (row.box->value() != value) {
            row.box->showInstead(QStringLiteral("fuera de rango"));
            row.box->setToolTip(QStringLiteral("El coeficiente vale %1, fuera del rango de este control")
                                    .arg(exactTextOf(value)));
        } else {
            row.box->setToolTip(QString());
        }
    }
    // The slider's own move keeps its range, unless it ran into an end: then the keyboard can
    // go on from the middle of a new range.
    const bool ownMove = sliderEditing_ == index || row.slider->isSliderDown();
    const bool atEnd = row.slider->value() == row.slider->minimum() || row.slider->value() == row.slider->maximum();
    if (ownMove && !(atEnd && !row.slider->isSliderDown()))
        describeSlider(index, value);
    else
        centreSlider(index, value);
}

// A stepping key or a mouse button pressed on a box, or a stepping key on a slider, begins a
// gesture that lasts until it is released or the focus leaves: held, a key repeats and a box's
// arrow button steps on by itself. A slider's own press and release are its signals.
bool CoefficientControls::eventFilter(QObject *watched, QEvent *event)
{
    const auto row = std::find_if(rows_.begin(), rows_.end(),
                                  [watched](const Row &r) { return r.box == watched || r.slider == watched; });
    if (row == rows_.end())
        return false;
    const int index = static_cast<int>(row - rows_.begin());
    const auto isStepKey = [](const QEvent *e) {
        const auto *key = static_cast<const QKeyEvent *>(e);
        static constexpr int kStepKeys[] = {Qt::Key_Up,   Qt::Key_Down,     Qt::Key_Left, Qt::Key_Right,
                                            Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
        return !key->isAutoRepeat() && std::find(std::begin(kStepKeys), std::end(kStepKeys), key->key()) != std::end(kStepKeys);
    };
    bool begins = false, ends = false;
    switch (event->type()) {
    case QEvent::KeyPress: begins = isStepKey(event); break;
    case QEvent::KeyRelease: ends = isStepKey(event); break;
    case QEvent::MouseButtonPress: begins = watched == row->box; break;
    case QEvent::MouseButtonRelease: ends = watched == row->box; break;
    case QEvent::FocusOut: ends = true; break;
    default: break;
    }
    if (begins && gesture_ < 0) {
        gesture_ = index;
        emit dragStarted(index);
    } else if (ends && gesture_ == index) {
        gesture_ = -1;
        emit dragFinished(index);
    }
    return false;
}

double CoefficientControls::sliderValue(int index, int position) const
{
    const Row &row = rows_[std::size_t(index)];
    return std::clamp(row.step.times(row.centreSteps + position - kMiddle), -kLimit, kLimit);
}

void CoefficientControls::sliderMoved(int index)
{
    const Row &row = rows_[std::size_t(index)];
    const double value = sliderValue(index, row.slider->value());
    sliderEditing_ = index;
    emit coefficientEdited(index, value, row.slider->isSliderDown());
    sliderEditing_ = -1;
}

// The slider's positions are whole multiples of a round step, at least max(1, |value|) / 500,
// the middle one the multiple nearest the value. As value ± 500 steps, each position means a
// short decimal, the same every time the slider comes back to it.
void CoefficientControls::centreSlider(int index, double value)
{
    Row &row = rows_[std::size_t(index)];
    const double centre = std::clamp(value, -kLimit, kLimit);
    row.step = decimalStepAtLeast(std::max(1.0, std::fabs(centre)) / kMiddle);
    row.centreSteps = std::llround(centre / row.step.value());
    {
        const QSignalBlocker block(row.slider);
        row.slider->setValue(kMiddle);
    }
    describeSlider(index, value);
}

// A slider's position means nothing by itself: its description says the value and the range.
void CoefficientControls::describeSlider(int index, double value)
{
    const Row &row = rows_[std::size_t(index)];
    row.slider->setAccessibleDescription(QStringLiteral("Valor %1, entre %2 y %3")
                                             .arg(textOf(value), textOf(sliderValue(index, 0)),
                                                  textOf(sliderValue(index, kSteps))));
    row.slider->setToolTip(textOf(value));
}
