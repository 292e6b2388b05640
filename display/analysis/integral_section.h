#pragma once

#include "model/trajectory.h"

#include <QString>
#include <QWidget>

class QLabel;

// What the section says of a trajectory's system. With the first integral: its claim (text),
// H's right-hand side alone (function) and the drift along the trajectory, with its exact value.
// Otherwise the Lyapunov criterion's verdict (text); globallyStable with the point where it is
// proved.
struct IntegralClaim {
    bool firstIntegral = false;
    QString text;
    QString function;
    QString drift;
    QString driftExact;
    bool globallyStable = false;
    QString point;
};
IntegralClaim integralClaim(const Trajectory &trajectory);

// The analysis window's section on what proves the orbits' shape: for the classic
// predator–prey form (B = F = 0) the first integral H with the coefficients in force and how far
// the trajectory on screen strays from its level ("derivaH"); otherwise what Goh's Lyapunov
// criterion says of the interior equilibrium ("lyapunov"), a claim only where it is proved.
class IntegralSection : public QWidget {
    Q_OBJECT

public:
    explicit IntegralSection(QWidget *parent = nullptr);

    void showTrajectory(const Trajectory &trajectory);

private:
    QLabel *formula_ = nullptr;
    QLabel *drift_ = nullptr;
    QLabel *lyapunov_ = nullptr;
};
