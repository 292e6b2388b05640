#include "display/analysis/turning_point_table.h"

#include "display/analysis/analysis_window.h"
#include "display/toolkit/conversions.h"

#include <algorithm>

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kRowsInSight = 5;

} // namespace

PeriodClaim periodClaim(const std::vector<TurningPoint> &points, const Trajectory &t)
{
    const std::optional<Oscillation> oscillation = approximatePeriod(t.coefficients, points, t.xs, t.ys, t.ok, t.dt);
    if (!oscillation) {
        // Without a single maximum x does not oscillate here; with one the span is too short.
        const bool xPeaks = std::any_of(points.begin(), points.end(), [](const TurningPoint &p) {
            return p.variable == TurningPoint::Variable::X && p.kind == TurningPoint::Kind::Maximum;
        });
        return {xPeaks ? QStringLiteral("Periodo aproximado: se necesitan al menos dos máximos de x")
                       : QStringLiteral("Periodo aproximado: x no oscila en este intervalo"),
                {}, std::nullopt};
    }
    QString caption;
    switch (oscillation->kind) {
    case Oscillation::Kind::Closed: caption = QStringLiteral("Periodo aproximado: "); break;
    case Oscillation::Kind::Damped: caption = QStringLiteral("Pseudoperiodo (oscilación amortiguada): "); break;
    case Oscillation::Kind::Growing: caption = QStringLiteral("Pseudoperiodo (oscilación creciente): "); break;
    }
    // The digits that the error estimate leaves sure, the exact value to copy from the tooltip;
    // no number at all where not even the first digit is sure.
    const int digits = sureDigits(oscillation->period, oscillation->error);
    if (digits == 0)
        return {caption + QStringLiteral("ninguna cifra segura con este paso; un intervalo de tiempo más corto lo precisa"),
                {}, std::nullopt};
    const QString number = QLocale().toString(oscillation->period, 'g', digits);
    return {caption + number, exactTextOf(oscillation->period), std::pair(oscillation->kind, number)};
}

TurningPointTable::TurningPointTable(QWidget *parent) : QWidget(parent)
{
    table_ = resultTable(
        QStringLiteral("tablaExtremos"),
        {QStringLiteral("Variable"), QStringLiteral("Tipo"), QStringLiteral("t"), QStringLiteral("x"), QStringLiteral("y")},
        QStringLiteral("Máximos y mínimos"),
        QStringLiteral("Una fila por máximo o mínimo de x o de y en la trayectoria actual: t, x e y de su muestra."), this);

    period_ = new QLabel(this);
    period_->setObjectName(QStringLiteral("periodoAproximado"));
    period_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    period_->setFocusPolicy(Qt::TabFocus);

    auto *caption = new QLabel(QStringLiteral("Máximos y mínimos de la trayectoria actual"), this);
    caption->setBuddy(table_);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption);
    layout->addWidget(table_, 1);
    layout->addWidget(period_);
    // Room for five rows at least, so that a few turns are in sight without scrolling.
    table_->setMinimumHeight(2 * table_->frameWidth() + table_->horizontalHeader()->sizeHint().height()
                             + kRowsInSight * table_->verticalHeader()->defaultSectionSize()
                             + table_->horizontalScrollBar()->sizeHint().height());
}

void TurningPointTable::showTrajectory(const std::vector<TurningPoint> &points, const Trajectory &t)
{
    table_->setRowCount(int(points.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const TurningPoint &p = points[std::size_t(row)];
        const double time = static_cast<double>(p.sample) * t.dt;
        table_->setItem(row, 0, resultCell(p.variable == TurningPoint::Variable::X ? QStringLiteral("x") : QStringLiteral("y")));
        table_->setItem(row, 1, resultCell(p.kind == TurningPoint::Kind::Maximum ? QStringLiteral("máximo") : QStringLiteral("mínimo")));
        table_->setItem(row, 2, resultCell(shortTextOf(time), exactTextOf(time)));
        table_->setItem(row, 3, resultCell(shortTextOf(t.xs(p.sample)), exactTextOf(t.xs(p.sample))));
        table_->setItem(row, 4, resultCell(shortTextOf(t.ys(p.sample)), exactTextOf(t.ys(p.sample))));
    }
    table_->resizeColumnsToContents();
    const PeriodClaim claim = periodClaim(points, t);
    period_->setText(claim.text);
    period_->setToolTip(claim.exact);
    period_->setAccessibleName(period_->text());
}
