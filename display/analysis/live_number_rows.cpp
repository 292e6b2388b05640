#include "display/analysis/live_number_rows.h"

#include "display/toolkit/conversions.h"
#include "display/toolkit/number_box.h"

#include <QEvent>
#include <QKeyEvent>
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

LiveNumberRows::LiveNumberRows(QWidget &parent) : QObject(&parent), parent_(parent)
{
}

int LiveNumberRows::addRow(Floor floor, const QString &what)
{
    const int index = count();
    Row &row = rows_.emplace_back();
    row.floor = floor;
    row.what = what;

    row.box = new NumberBox(&parent_);
    row.box->setRange(-kLimit, kLimit);
    row.box->setSingleStep(0.1);
    row.box->setKeyboardTracking(false);   // a half-typed number is no value
    row.box->setMinimumWidth(150);

    row.slider = new QSlider(Qt::Horizontal, &parent_);
    row.slider->setRange(0, kSteps);
    row.slider->setSingleStep(1);
    row.slider->setPageStep(kPageSteps);
    row.slider->setValue(kMiddle);
    row.slider->setMinimumWidth(200);

    connect(row.box, &QDoubleSpinBox::valueChanged, this, [this, index](double value) {
        emit edited(index, value, false);
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
    return index;
}

void LiveNumberRows::setWhat(int index, const QString &what)
{
    rows_[std::size_t(index)].what = what;
    describeSlider(index, rows_[std::size_t(index)].box->value());
}

bool LiveNumberRows::showValue(int index, double value)
{
    Row &row = rows_[std::size_t(index)];
    bool held = true;
    {
        // A value the box cannot hold is not shown as another number.
        const QSignalBlocker block(row.box);
        row.box->showValue(value);
        if (row.box->value() != value) {
            row.box->showInstead(QStringLiteral("fuera de rango"));
            held = false;
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
    return held;
}

// A stepping key or a mouse button pressed on a box, or a stepping key on a slider, begins a
// gesture that lasts until it is released or the focus leaves: held, a key repeats and a box's
// arrow button steps on by itself. A slider's own press and release are its signals.
bool LiveNumberRows::eventFilter(QObject *watched, QEvent *event)
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

double LiveNumberRows::sliderValue(int index, int position) const
{
    const Row &row = rows_[std::size_t(index)];
    return std::clamp(row.step.times(row.centreSteps + position - kMiddle), -kLimit, kLimit);
}

void LiveNumberRows::sliderMoved(int index)
{
    const Row &row = rows_[std::size_t(index)];
    const double value = sliderValue(index, row.slider->value());
    sliderEditing_ = index;
    emit edited(index, value, row.slider->isSliderDown());
    sliderEditing_ = -1;
}

// The slider's positions are whole multiples of a round step, at least max(1, |value|) / 500,
// the middle one the multiple nearest the value. As value ± 500 steps, each position means a
// short decimal, the same every time the slider comes back to it. A row with a floor starts at
// its first position at or above it, so that the slider offers no value the row refuses.
void LiveNumberRows::centreSlider(int index, double value)
{
    Row &row = rows_[std::size_t(index)];
    const double centre = std::isfinite(value) ? std::clamp(value, -kLimit, kLimit) : 0.0;
    row.step = decimalStepAtLeast(std::max(1.0, std::fabs(centre)) / kMiddle);
    row.centreSteps = std::llround(centre / row.step.value());
    {
        const QSignalBlocker block(row.slider);
        const long long first = row.floor == Floor::None ? 0
            : kMiddle - row.centreSteps + (row.floor == Floor::AboveZero ? 1 : 0);
        row.slider->setMinimum(int(std::clamp<long long>(first, 0, kSteps)));
        row.slider->setValue(kMiddle);
    }
    describeSlider(index, value);
}

// A slider's position means nothing by itself: its description says the value and the range.
void LiveNumberRows::describeSlider(int index, double value)
{
    const Row &row = rows_[std::size_t(index)];
    const QString range = QStringLiteral("Valor %1, entre %2 y %3")
                              .arg(textOf(value), textOf(sliderValue(index, row.slider->minimum())),
                                   textOf(sliderValue(index, kSteps)));
    if (row.what.isEmpty()) {
        row.slider->setAccessibleDescription(range);
        row.slider->setToolTip(textOf(value));
    } else {
        row.slider->setAccessibleDescription(row.what + QStringLiteral(". ") + range);
        row.slider->setToolTip(row.what + QStringLiteral(". Valor: ") + textOf(value));
    }
}
