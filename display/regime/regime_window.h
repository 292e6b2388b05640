#pragma once

#include "model/coefficients.h"
#include "model/ecology/ecological_form.h"

#include <QWidget>

#include <optional>
#include <utility>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class RegimeMap;

// The window «Mapa de regímenes» (objectName "MapaRegimenes"): a coefficient along each axis
// (at first C across and E up), the range each runs over (at first its value ± 2, re-centred
// on the value whenever the value leaves it, as the bifurcation diagram's), the map and a
// legend of the regimes it shows. It only shows the system it is given; a press in the map
// asks for both values through valuesPicked, and the window follows once setSystem brings the
// changed coefficients back. Where the system has an ecological form (setEcology), its
// parameters follow A..F in the choice of each axis; both axes are then of one kind, two
// coefficients or two parameters, and a press along parameters asks for them through
// parametersPicked.
class RegimeWindow : public QWidget {
    Q_OBJECT

public:
    explicit RegimeWindow(QWidget *parent = nullptr);

    // The coefficients along each axis, 0..5 = A..F, or the ones they go back to while the axes
    // run along parameters. Choosing the other axis' coefficient for one axis swaps the two;
    // each axis chosen centres its range on its value. setAxes puts both on coefficients.
    int horizontal() const;
    int vertical() const;
    void setAxes(int horizontal, int vertical);
    // The parameters of the form in force along each axis (parametersOf's order), or -1 on
    // coefficients. Choosing a parameter for one axis while the other is on a coefficient puts
    // the other on the parameter that answers it in the other species (α₂₁ for α₁₂), and a
    // coefficient back puts the other back on its coefficient. A parameter's range is at first
    // 0 to twice its value (0 to 2 for a value 0). setParameters takes two different
    // parameters of the form in force, else changes nothing and returns false.
    int horizontalParameter() const;
    int verticalParameter() const;
    bool setParameters(int horizontal, int vertical);
    // Their ids ("alfa12"), empty on coefficients; chosen by id likewise.
    QString horizontalParameterId() const;
    QString verticalParameterId() const;
    bool setParametersById(const QString &horizontal, const QString &vertical);
    // The ranges, from < to; an empty range changes nothing.
    std::pair<double, double> rangeH() const;
    std::pair<double, double> rangeV() const;
    void setRanges(double fromH, double toH, double fromV, double toV);

    RegimeMap *map() const { return map_; }

public slots:
    void setSystem(const Coefficients &system);
    // The ecological form of the system in force and its parameters, or none. Axes along the
    // parameters of a form that goes or changes go back to their coefficients; along a form
    // that stays, they follow the new values.
    void setEcology(const std::optional<EcologicalParameters> &parameters);

signals:
    // A press or drag in the map: the coefficients of the two axes and their values.
    void valuesPicked(int horizontal, double horizontalValue, int vertical, double verticalValue);
    // A press or drag in a map along parameters, within both parameters' domains.
    void parametersPicked(int horizontal, double horizontalValue, int vertical, double verticalValue);
    void dragStarted();
    void dragFinished();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void axisChosen(QComboBox *chosen, QComboBox *other, int &previous, int &otherPrevious);
    void listParameters();
    void choose(int horizontalItem, int verticalItem);
    void resetRange(QComboBox *axis);
    void followValues();
    void showRanges();
    void showLegend();
    void describeCrosshair();
    QString what() const;   // «coeficientes» or «parámetros», as the axes run

    QComboBox *horizontalBox_ = nullptr;
    QComboBox *verticalBox_ = nullptr;
    QDoubleSpinBox *fromH_ = nullptr;
    QDoubleSpinBox *toH_ = nullptr;
    QDoubleSpinBox *fromV_ = nullptr;
    QDoubleSpinBox *toV_ = nullptr;
    RegimeMap *map_ = nullptr;
    QLabel *legend_ = nullptr;
    Coefficients system_;
    std::optional<EcologicalParameters> ecology_;
    // The items chosen before (0..5 a letter, then the parameters), and the last letters.
    int horizontalBefore_ = 2;
    int verticalBefore_ = 4;
    int horizontalLetter_ = 2;
    int verticalLetter_ = 4;
    bool shownBefore_ = false;
    bool rangeGiven_ = false;
    bool systemGiven_ = false;
};
