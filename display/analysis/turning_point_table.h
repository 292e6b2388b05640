#pragma once

#include "model/analysis/extrema.h"
#include "model/trajectory.h"

#include <QWidget>

#include <QString>

#include <optional>
#include <utility>
#include <vector>

class QLabel;

// What the section says of the period: its text, the exact value for the tooltip (none without
// a number), and the kind of oscillation with the number shown, where a number is shown.
struct PeriodClaim {
    QString text;
    QString exact;
    std::optional<std::pair<Oscillation::Kind, QString>> shown;
};
PeriodClaim periodClaim(const std::vector<TurningPoint> &points, const Trajectory &trajectory);
class QTableWidget;

// The analysis window's section on the current trajectory's turning points: one row each
// (variable, maximum or minimum, and t, x, y at its sample), and the approximate period from
// the peaks of x when there are at least two: a period for a closed orbit, a pseudoperiod where
// they shrink or grow, with the digits its error estimate leaves sure.
class TurningPointTable : public QWidget {
    Q_OBJECT

public:
    explicit TurningPointTable(QWidget *parent = nullptr);

    void showTrajectory(const std::vector<TurningPoint> &points, const Trajectory &trajectory);

    QTableWidget *table() const { return table_; }
    QLabel *period() const { return period_; }

private:
    QTableWidget *table_ = nullptr;
    QLabel *period_ = nullptr;
};
