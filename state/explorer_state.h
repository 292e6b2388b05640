#pragma once

#include "model/analysis/analysed_system.h"
#include "model/analysis/extrema.h"
#include "model/data/fit.h"
#include "model/data/observations.h"
#include "model/ecology/ecological_form.h"
#include "model/model.h"
#include "model/trajectory.h"
#include "state/legend_corner.h"
#include "state/plane_view.h"

#include <QObject>

#include <array>
#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

// Everything the window shows, apart from its widgets: the model with the coefficients set
// and the trajectory they made, the system in force (the coefficients and dt of the last
// recomputation, with its equilibria), the trajectories kept from earlier recomputations,
// the turning points, the time cursor, the options and the view of the plane. Views read it and call it; what
// changed reaches them through its signals. It needs no widget.
class ExplorerState : public QObject {
    Q_OBJECT

public:
    // The options of the plots, all off at start.
    enum class Option {
        KeepTrajectories,
        TurningPoints,
        JoinSamples,
        Nullclines,
        Equilibria,
        DirectionField,
        Scales,
        Legend,   // the axis titles and the phase plane's legend, over the points
        Separatrices,
        LevelCurves,   // of the first integral or of a Lyapunov function
        Basins,   // the basins of attraction, tinted under everything in the phase plane
    };
    static constexpr std::size_t kOptionCount = std::size_t(Option::Basins) + 1;
    // At most this many kept trajectories, newest first.
    static constexpr std::size_t kMaxKept = 50;

    // Observed populations drawn over the plots: the series as read (the file's units and
    // times) and the same in the program's units, from t = 0 (inProgramUnits).
    struct ShownObservations {
        Observations observed;
        ScaledObservations scaled;
        friend bool operator==(const ShownObservations &, const ShownObservations &) = default;
    };

    explicit ExplorerState(QObject *parent = nullptr);

    // Everything the state holds at one moment, to go back to it exactly: the model with the
    // coefficients set and the trajectory on screen, the system in force with its turning
    // points, the kept trajectories as what each was computed from, the cursor, the options
    // and the view.
    struct Snapshot {
        Model model;
        AnalysedSystem system;
        bool analysed = false;
        std::vector<TurningPoint> turningPoints;
        std::vector<TrajectoryInputs> kept;   // newest first
        int cursor = 0;
        std::array<bool, kOptionCount> options{};
        PlaneView view;
        EcologicalForm ecologicalForm = EcologicalForm::Competition;
        std::optional<EcologicalParameters> ecology;   // as ecology() gave it
        bool ecologyTyped = false;   // as ecologyTyped() said
        std::optional<ShownObservations> observations;
        std::optional<FitResult> fit;
    };
    Snapshot snapshot() const;
    // Puts the state back as it was when the snapshot was taken, the kept trajectories
    // recomputed from their inputs, and says what changed through the signals; the cursor
    // always, so that what it shows is the restored samples'.
    void restore(const Snapshot &s);

    const Model &model() const { return model_; }
    // The model itself, for the window's data member of that name, through which its tests
    // set coefficients and samples by hand. A change made there is not signalled: the next
    // recomputation or redraw shows it.
    Model &model() { return model_; }

    // The start-up coefficients and span.
    void setDefaults();

    // Coefficient index (0..5 = A..F) as set; it is in force from the next recomputation.
    double coefficient(int index) const;
    Coefficients coefficients() const;
    // Stores value and says so; an index out of range or a value that is no finite number
    // changes nothing and returns false.
    bool setCoefficient(int index, double value);
    void setCoefficients(const Coefficients &k);

    // The form of population ecology the user chose, and its parameters for the coefficients
    // set: exactly as typed while the coefficients are those coefficientsOf gives for them;
    // after a change of the coefficients by any other way, those parametersFrom finds with the
    // harvest kept, else with no harvest; nothing where the coefficients do not fit the form.
    EcologicalForm ecologicalForm() const { return ecologicalForm_; }
    std::optional<EcologicalParameters> ecology() const;
    // Whether the parameters are as typed through setEcologicalParameter.
    bool ecologyTyped() const;
    // Chooses the form; the coefficients stay, the parameters are found for them.
    void setEcologicalForm(EcologicalForm form);
    // Parameter index of the form in force (in the order of parametersOf) takes value, and the
    // six coefficients those of the parameters (coefficientChanged for each that changed). It
    // changes nothing and returns false where the coefficients do not fit the form, for an
    // index out of range, a value outside the parameter's domain, or one whose coefficients
    // are no finite numbers.
    bool setEcologicalParameter(int index, double value);
    // Two parameters at once, as a press in the map of regimes along them sets them: both
    // are checked first, so that neither changes where the other would be refused.
    bool setEcologicalParameters(int first, double firstValue, int second, double secondValue);
    // Shows these parameters as typed, with their form; false, and nothing changes, unless they
    // are valid and give the coefficients set to the last bit (as a scenario holds them).
    bool showEcology(const EcologicalParameters &parameters);
    // Shows the first form the coefficients set fit with no harvest (formOf), as an example or
    // a scenario opens with its form; the form chosen stays where none fits.
    void showFormOfCoefficients();

    // The time from sample 0 to sample 100, dt * 100.
    double span() const { return model_.dt * 100; }
    // Takes a span > 0; any other value changes nothing and returns false.
    bool setSpan(double span);

    // Recomputes the trajectory from the initial point the readers give (see Model::calcula).
    // The trajectory it replaces joins the kept ones while they are wanted.
    void recompute(const Model::Reader &readX, const Model::Reader &readY);
    // The coefficients and dt of the last recomputation, with their equilibria.
    const AnalysedSystem &system() const { return system_; }
    // The trajectory on screen, with the coefficients and dt it was computed with (a span set
    // since is not in force yet).
    Trajectory trajectory() const { return {system_.coefficients, system_.dt, model_.xs, model_.ys, model_.ok}; }

    const std::deque<Trajectory> &keptTrajectories() const { return kept_; }
    void clearKeptTrajectories();
    // Replaces the kept trajectories (newest first; past kMaxKept the oldest are dropped), as
    // when a scenario is opened. They stay kept only while the option is on.
    void setKeptTrajectories(std::deque<Trajectory> kept);
    // A gesture that recomputes at each of its steps (a drag in the phase plane, a slider or
    // the bifurcation diagram dragged): of it only the trajectory in force when it began is kept.
    void beginContinuousChange();
    void endContinuousChange();
    // Whether such a gesture is under way.
    bool changing() const { return continuing_; }

    // The maxima and minima of x and y along the trajectory on screen, ordered by sample.
    const std::vector<TurningPoint> &turningPoints() const { return turningPoints_; }

    // The sample the time cursor stands on, kFirstSample..kLastSample.
    int cursor() const { return cursor_; }
    // Moves the cursor, clamped to the samples.
    void setCursor(int sample);
    // To the next turning point after the cursor (direction > 0) or the one before it; where
    // there is none the cursor stays.
    void moveToTurningPoint(int direction);

    bool option(Option which) const { return options_[std::size_t(which)]; }
    // Switching kept trajectories off forgets them.
    void setOption(Option which, bool on);

    // Where the user put the legend, until the legend goes off; nothing while the legend picks
    // its quietest corner itself.
    std::optional<LegendCorner> legendCorner() const { return legendCorner_; }
    void setLegendCorner(std::optional<LegendCorner> corner);

    // What part of the plane is shown; the designed view at start.
    const PlaneView &view() const { return view_; }
    // Takes the nearest view within the limits (plane_view::clamped).
    void setView(const PlaneView &view);
    // The smallest view that holds the trajectory's valid samples and the equilibria within
    // the limits; the view stays when there is nothing to hold.
    void fitView();

    // The observations shown, if any.
    const std::optional<ShownObservations> &observations() const { return observations_; }
    // Shows a series in a unit (chosenUnit's where none is given); any fit shown goes. False,
    // and nothing changes, where a value in that unit is no finite number.
    bool setObservations(const Observations &observed, std::optional<ObservationUnit> unit = std::nullopt);
    // The same series in another unit; false, and nothing changes, without observations or
    // where a value in that unit is no finite number.
    bool setObservationUnit(ObservationUnit unit);
    void clearObservations();

    // The last fit to the observations shown, while its coefficients are those in force: a
    // recomputation with other coefficients, or other observations, take it away.
    const std::optional<FitResult> &fit() const { return fit_; }
    // Shows a fit of the observations shown; without observations it changes nothing.
    void setFit(const FitResult &result);
    void clearFit();

signals:
    void coefficientChanged(int index, double value);
    // The form chosen or its parameters changed (parameters found again count).
    void ecologyChanged();
    // After each recomputation; says whether the coefficients or dt in force changed with it.
    void recomputed(bool newCoefficients, bool newStep);
    void keptTrajectoriesChanged();
    void cursorMoved(int sample);
    void optionChanged(ExplorerState::Option which, bool on);
    void viewChanged();
    void legendCornerChanged();
    // A gesture that recomputes at each of its steps has ended.
    void continuousChangeEnded();
    // Observations shown, gone or in another unit.
    void observationsChanged();
    // A fit shown or gone.
    void fitChanged();

private:
    void keepReplaced(const Trajectory &replaced);
    bool storeCoefficient(int index, double value);
    std::optional<EcologicalParameters> ecologyFound(const Coefficients &k) const;
    void findEcology();

    Model model_;
    AnalysedSystem system_;
    bool analysed_ = false;
    std::deque<Trajectory> kept_;
    bool keptDuringChange_ = false;
    bool continuing_ = false;
    std::vector<TurningPoint> turningPoints_;
    int cursor_ = 0;
    std::array<bool, kOptionCount> options_{};
    PlaneView view_;
    std::optional<LegendCorner> legendCorner_;
    EcologicalForm ecologicalForm_ = EcologicalForm::Competition;
    // The parameters last typed or found; they stand while coefficientsOf gives the coefficients
    // set, which a change made through model() may not.
    std::optional<EcologicalParameters> ecology_;
    bool ecologyTyped_ = false;
    std::optional<ShownObservations> observations_;
    std::optional<FitResult> fit_;
};
