#pragma once

#include "model/coefficients.h"

#include <QWidget>

#include <utility>

class BifurcationCanvas;
class QComboBox;
class QDoubleSpinBox;

// The window "Diagrama de bifurcación" (objectName "Bifurcacion"): a coefficient to vary, the
// range it runs over (at first its current value ± 2, and re-centred on the value whenever the
// value leaves it) and the diagram. It only shows the system it is given; a press in the diagram asks for a new value through coefficientPicked, and the
// window follows once setSystem brings the changed coefficients back.
class BifurcationWindow : public QWidget {
    Q_OBJECT

public:
    explicit BifurcationWindow(QWidget *parent = nullptr);

    int coefficient() const;
    // Chooses the coefficient to vary (0..5 = A..F) and centres its range on its value: the
    // value ± 2. Choosing it in the combo box does the same.
    void setCoefficient(int index);
    // The range the coefficient runs over, from < to; setRange takes one (within ±10⁶) that
    // stays when the window is first shown. An empty range changes nothing.
    std::pair<double, double> range() const;
    void setRange(double from, double to);

    BifurcationCanvas *canvas() const { return canvas_; }

public slots:
    void setSystem(const Coefficients &system);

signals:
    void coefficientPicked(int index, double value);
    // A press in the diagram began picking values; its release ended it.
    void dragStarted();
    void dragFinished();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void resetRange();
    void showRange();

    QComboBox *coefficientBox_ = nullptr;
    QDoubleSpinBox *fromBox_ = nullptr;
    QDoubleSpinBox *toBox_ = nullptr;
    BifurcationCanvas *canvas_ = nullptr;
    bool shownBefore_ = false;
    bool rangeGiven_ = false;   // by setRange, before the window was first shown
};
