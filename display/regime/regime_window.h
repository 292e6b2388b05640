#pragma once

#include "model/coefficients.h"

#include <QWidget>

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
// changed coefficients back.
class RegimeWindow : public QWidget {
    Q_OBJECT

public:
    explicit RegimeWindow(QWidget *parent = nullptr);

    // The coefficients along each axis, 0..5 = A..F. Choosing the other axis' coefficient for
    // one axis swaps the two; each axis chosen centres its range on its value.
    int horizontal() const;
    int vertical() const;
    void setAxes(int horizontal, int vertical);
    // The ranges, from < to; an empty range changes nothing.
    std::pair<double, double> rangeH() const;
    std::pair<double, double> rangeV() const;
    void setRanges(double fromH, double toH, double fromV, double toV);

    RegimeMap *map() const { return map_; }

public slots:
    void setSystem(const Coefficients &system);

signals:
    // A press or drag in the map: the coefficients of the two axes and their values.
    void valuesPicked(int horizontal, double horizontalValue, int vertical, double verticalValue);
    void dragStarted();
    void dragFinished();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void axisChosen(QComboBox *chosen, QComboBox *other, int &previous, int &otherPrevious);
    void resetRange(QComboBox *axis);
    void followValues();
    void showRanges();
    void showLegend();
    void describeCrosshair();

    QComboBox *horizontalBox_ = nullptr;
    QComboBox *verticalBox_ = nullptr;
    QDoubleSpinBox *fromH_ = nullptr;
    QDoubleSpinBox *toH_ = nullptr;
    QDoubleSpinBox *fromV_ = nullptr;
    QDoubleSpinBox *toV_ = nullptr;
    RegimeMap *map_ = nullptr;
    QLabel *legend_ = nullptr;
    Coefficients system_;
    int horizontalBefore_ = 2;
    int verticalBefore_ = 4;
    bool shownBefore_ = false;
    bool rangeGiven_ = false;
    bool systemGiven_ = false;
};
