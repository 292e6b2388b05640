#pragma once

#include "display/analysis/residual_plot.h"
#include "model/data/fit.h"

#include <QGroupBox>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

// The section «Ajuste a los datos» of the analysis window, shown while observations are: the
// choices of the fit (escalaLogaritmica, fijar_A … fijar_F, or fijar_ and the parameter's id
// while an ecological form is in force, «Forma clásica»), «Estimar»
// (estimarInicio) with its regression's table (tablaEstimacion), «Ajustar» (ajustar), the
// progress of a fit under way (progresoAjuste), and the result: tablaAjuste with one row per
// free parameter, resumenAjuste with the sum of squares, R² and the fit's warnings, and the
// residuals' plot. A request of the user is reported; the show… calls only show.
class FitSection : public QGroupBox {
    Q_OBJECT

public:
    explicit FitSection(QWidget *parent = nullptr);

    // The scale of the residuals and the coefficients held, as the check boxes say (the form's
    // parameters held in formHeld while a form is shown; the form itself is not set).
    FitOptions choices() const;
    // The form in force, whose parameters the «Fijar» row then offers (the harvest h₁, h₂
    // held at first: with r they move the same coefficient), or none: the letters A … F.
    // A parameter at ∞ is shown held and cannot be freed.
    void setForm(const std::optional<EcologicalParameters> &form);
    // Ticks or clears fijar_<letter> of coefficient index (0..5).
    void setHeld(int index, bool held);

    // A fit under way: «Ajustando…» at once, then with the seconds it has taken.
    void showRunning(int seconds);
    // No fit under way; a line saying why, or none.
    void showStopped(const QString &why);
    // The fit of the observations shown, made with these options, with the species' names and
    // its residuals on the scale they were fitted on: one row of the table per parameter not
    // held. Refused and cancelled fits show their message alone.
    void showFit(const FitResult &result, const FitOptions &options, const QString &xName, const QString &yName,
                 std::vector<ResidualPlot::Series> residuals);
    // The fit shown goes (the coefficients changed since, or the observations did).
    void clearFit();
    // «Estimar»'s regression, or why there is none.
    void showEstimate(const GrowthEstimate &estimate);
    void showEstimateRefused(const QString &why);
    void clearEstimate();

    QLabel *progressLabel() const { return progress_; }
    QTableWidget *resultTable() const { return table_; }
    QLabel *summary() const { return summary_; }
    ResidualPlot *residualPlot() const { return residuals_; }

signals:
    void fitRequested();
    void estimateRequested();
    void classicFormRequested();
    // Escape while a fit is under way, in the section's window.
    void cancelRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QCheckBox *logarithmic_ = nullptr;
    std::array<QCheckBox *, 6> held_{};
    QHBoxLayout *formBoxes_ = nullptr;
    std::vector<QCheckBox *> formHeld_;
    std::optional<EcologicalForm> form_;
    QPushButton *fit_ = nullptr;
    QLabel *progress_ = nullptr;
    QTabWidget *tabs_ = nullptr;
    QTableWidget *table_ = nullptr;
    QLabel *summary_ = nullptr;
    ResidualPlot *residuals_ = nullptr;
    QTableWidget *estimate_ = nullptr;
    QLabel *estimateNote_ = nullptr;
    bool running_ = false;
};
