#pragma once

#include "display/toolkit/decimal_step.h"

#include <QWidget>

#include <array>

class NumberBox;
class QDoubleSpinBox;
class QSlider;

// The six coefficients as live controls: for each a spin box with its exact value
// (valorA..valorF, up to 15 significant digits in the user's locale) and a slider beside it
// (deslizadorA..deslizadorF) whose 1001 positions are whole multiples of a round step (1, 2 or
// 5 × 10^n, at least max(1, |value|) / 500) around the value, re-centred when released. A
// position's value is the short decimal it shows; the arrow keys move one step, PageUp and
// PageDown 100.
// A change by the user is reported through coefficientEdited; showCoefficient only shows.
class CoefficientControls : public QWidget {
    Q_OBJECT

public:
    explicit CoefficientControls(QWidget *parent = nullptr);

    // Shows a value stored elsewhere without reporting it as an edit. The slider keeps its
    // range while it is being moved, and is re-centred on the value otherwise.
    void showCoefficient(int index, double value);

    QDoubleSpinBox *valueBox(int index) const;
    QSlider *slider(int index) const { return rows_[std::size_t(index)].slider; }

signals:
    // The user changed coefficient index (0..5 = A..F); dragging while a slider is held.
    void coefficientEdited(int index, double value, bool dragging);
    // A gesture that changes coefficient index step by step began: a slider pressed, a key or
    // a mouse button pressed on a slider or a box (held, it repeats).
    void dragStarted(int index);
    // That gesture ended: the slider, key or button released.
    void dragFinished(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Row {
        NumberBox *box = nullptr;
        QSlider *slider = nullptr;
        DecimalStep step;
        long long centreSteps = 0;   // the middle position's value in steps
    };

    double sliderValue(int index, int position) const;
    void sliderMoved(int index);
    void centreSlider(int index, double value);
    void describeSlider(int index, double value);

    std::array<Row, 6> rows_;
    int sliderEditing_ = -1;   // the slider whose own change is being reported, or -1
    int gesture_ = -1;         // the row of a key or button gesture under way, or -1
};
