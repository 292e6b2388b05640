#pragma once

#include "model/coefficients.h"
#include "model/ecology/ecological_form.h"

#include <QWidget>

#include <optional>
#include <utility>

class BifurcationCanvas;
class QComboBox;
class QDoubleSpinBox;

// The window "Diagrama de bifurcación" (objectName "Bifurcacion"): a coefficient to vary, the
// range it runs over (at first its current value ± 2, and re-centred on the value whenever the
// value leaves it) and the diagram. It only shows the system it is given; a press in the diagram
// asks for a new value through coefficientPicked, and the window follows once setSystem brings
// the changed coefficients back. Where the system has an ecological form (setEcology), its
// parameters follow A..F in the choice of what varies, and a press along one of them asks for
// it through ecologicalParameterPicked.
class BifurcationWindow : public QWidget {
    Q_OBJECT

public:
    explicit BifurcationWindow(QWidget *parent = nullptr);

    // The coefficient that varies, or the last one that did while a parameter varies.
    int coefficient() const;
    // Chooses the coefficient to vary (0..5 = A..F) and centres its range on its value: the
    // value ± 2. Choosing it in the combo box does the same.
    void setCoefficient(int index);
    // The index of the parameter of the form in force that varies, in parametersOf's order, or -1.
    int parameter() const;
    // Chooses that parameter, where the form in force has it; its range is at first 0 to twice
    // its value (0 to 2 for a value 0). Otherwise nothing changes.
    void setParameter(int index);
    // The id of the parameter that varies ("K2"), or empty; chosen by id likewise.
    QString parameterId() const;
    bool setParameterById(const QString &id);
    // The range the coefficient runs over, from < to; setRange takes one (within ±10⁶) that
    // stays when the window is first shown. An empty range changes nothing.
    std::pair<double, double> range() const;
    void setRange(double from, double to);

    BifurcationCanvas *canvas() const { return canvas_; }

public slots:
    void setSystem(const Coefficients &system);
    // The ecological form of the system in force and its parameters, or none where the system
    // has none. A diagram along a parameter of a form that goes or changes goes back to the
    // coefficient chosen before it; along a form that stays, it follows the new values.
    void setEcology(const std::optional<EcologicalParameters> &parameters);

signals:
    void coefficientPicked(int index, double value);
    // A press along a parameter: the tidiest value of its column within the parameter's domain.
    void ecologicalParameterPicked(int parameterIndex, double value);
    // A press in the diagram began picking values; its release ended it.
    void dragStarted();
    void dragFinished();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void resetRange();
    void showRange();
    void followValue();
    void choose(int item);
    void listParameters();

    QComboBox *coefficientBox_ = nullptr;
    QDoubleSpinBox *fromBox_ = nullptr;
    QDoubleSpinBox *toBox_ = nullptr;
    BifurcationCanvas *canvas_ = nullptr;
    bool shownBefore_ = false;
    bool rangeGiven_ = false;   // by setRange, before the window was first shown
    int lastCoefficient_ = 0;
    std::optional<EcologicalParameters> ecology_;
};
