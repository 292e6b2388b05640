#pragma once

#include <QWidget>

class LiveNumberRows;
class QDoubleSpinBox;
class QSlider;

// The six coefficients as live controls (LiveNumberRows): for each a spin box with its exact
// value (valorA..valorF) and a slider beside it (deslizadorA..deslizadorF).
// A change by the user is reported through coefficientEdited; showCoefficient only shows.
class CoefficientControls : public QWidget {
    Q_OBJECT

public:
    explicit CoefficientControls(QWidget *parent = nullptr);

    // Shows a value stored elsewhere without reporting it as an edit. The slider keeps its
    // range while it is being moved, and is re-centred on the value otherwise.
    void showCoefficient(int index, double value);

    QDoubleSpinBox *valueBox(int index) const;
    QSlider *slider(int index) const;

signals:
    // The user changed coefficient index (0..5 = A..F); dragging while a slider is held.
    void coefficientEdited(int index, double value, bool dragging);
    // A gesture that changes coefficient index step by step began: a slider pressed, a key or
    // a mouse button pressed on a slider or a box (held, it repeats).
    void dragStarted(int index);
    // That gesture ended: the slider, key or button released.
    void dragFinished(int index);

private:
    LiveNumberRows *rows_ = nullptr;
};
