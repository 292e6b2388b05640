#pragma once

#include "model/trajectory.h"

#include <QWidget>

class QLabel;

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
