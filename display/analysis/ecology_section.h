#pragma once

#include "model/analysis/equilibria.h"
#include "model/coefficients.h"
#include "model/ecology/ecological_form.h"
#include "model/trajectory.h"

#include <QGroupBox>

#include <array>
#include <optional>
#include <string_view>
#include <vector>

class LiveNumberRows;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSlider;

// The section «Parámetros ecológicos» of the analysis window: the form of population ecology
// chosen (formaEcologica), a live row for each of its parameters (ecologico_K1 with
// deslizador_K1, …; the rows of the other forms hidden), each with its meaning for tooltips and
// assistive tools, the textbook outcome in words (resultadoEcologico) and the harvest's yields
// (cosechaEcologica). Where the coefficients fit no form, it says so and the boxes are idle. The
// rows keep the rules of the live coefficients (LiveNumberRows); a value outside a parameter's
// domain is refused at its box. A change by the user is reported; the show… calls only show.
class EcologySection : public QGroupBox {
    Q_OBJECT

public:
    // Every parameter of every form, by its id, in the order of the rows.
    static constexpr std::array<const char *, 15> kIds = {"r1", "K1", "alfa12", "r2", "K2", "alfa21", "r", "a",
                                                          "b",  "m",  "K",      "beta12", "beta21", "h1", "h2"};

    explicit EcologySection(QWidget *parent = nullptr);

    // The form chosen and its parameters for the coefficients k; nothing where k do not fit it.
    void showEcology(EcologicalForm form, const std::optional<EcologicalParameters> &parameters,
                     const Coefficients &k);
    // The harvest's yields h₁·x and h₂·y at the cursor's sample of the trajectory on screen and
    // at each equilibrium of its system, where these parameters are the ones in force.
    void showYields(const std::optional<EcologicalParameters> &parameters, const Trajectory &trajectory, int sample,
                    const std::vector<Equilibrium> &equilibria);
    // Says at the box of parameter index (of the form shown) why value was not taken, and
    // shows the value in force again.
    void refuse(int index, double value);

    // The outcome in words and the yields, for the window to place in view beside the rows.
    QWidget *results() const { return results_; }

    QDoubleSpinBox *parameterBox(std::string_view id) const;
    QSlider *parameterSlider(std::string_view id) const;

signals:
    void formChosen(EcologicalForm form);
    // The user changed parameter index of the form shown; dragging while a slider is held.
    void parameterEdited(int index, double value, bool dragging);
    void dragStarted();
    void dragFinished();

private:
    int rowOf(std::string_view id) const;
    // The row of parameter index of the form shown, and back (-1 where it has none).
    int rowOfParameter(int index) const;
    int parameterOfRow(int row) const;
    void showRow(int row, const EcologicalParameter &parameter, std::optional<double> value);

    LiveNumberRows *rows_ = nullptr;
    QComboBox *form_ = nullptr;
    std::array<QLabel *, kIds.size()> labels_{};
    QCheckBox *unlimited_ = nullptr;   // K of predator and prey: ∞
    QWidget *results_ = nullptr;
    QLabel *outcome_ = nullptr;
    QLabel *yields_ = nullptr;
    EcologicalForm shownForm_ = EcologicalForm::Competition;
    std::optional<EcologicalParameters> shown_;
};
