#pragma once

#include "model/coefficients.h"
#include "state/explorer_state.h"
#include "state/plane_view.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

// What a scenario file holds: everything needed to show the window's state again. Trajectories
// are held as their inputs and recomputed on opening, which gives the same samples to the last
// bit, since the integration is deterministic.
struct Scenario {
    // What one trajectory is computed from; span = dt * 100.
    struct TrajectoryInputs {
        double x0 = 0, y0 = 0;
        Coefficients coefficients;
        double span = 2;
    };
    // The bifurcation diagram's window: whether it is open, its coefficient (0..5 = A..F) and
    // the range that coefficient runs over, from < to. Where it runs along a parameter of the
    // ecological form in force instead, that parameter's id ("K2"; key "parametro", written
    // only then), the coefficient being the one it goes back to without that form.
    struct Diagram {
        bool open = false;
        int coefficient = 0;
        double from = -2, to = 2;
        QString parameter;
    };

    // The map of regimes' window: whether it is open, the coefficient along each axis (0..5,
    // never the same) and the ranges they run over, from < to. Absent from files written
    // before there was a map, which open with it closed. Where the axes run along two
    // parameters of the ecological form in force, their ids (keys "parametroH", "parametroV",
    // written only then), the coefficients being the ones they go back to without that form.
    struct RegimeMap {
        bool open = false;
        int horizontal = 2, vertical = 4;
        double fromH = -2, toH = 2, fromV = -2, toV = 2;
        QString parameterH, parameterV;
    };

    Coefficients coefficients;
    double x0 = 0, y0 = 0;   // the initial point
    double span = 2;         // > 0
    // What the trajectory on screen was computed with, where that is not the coefficients and
    // span above: a coefficient set since the last recomputation is not in force yet.
    std::optional<Coefficients> trajectoryCoefficients;
    std::optional<double> trajectorySpan;
    int cursor = 0;          // kFirstSample..kLastSample
    std::array<bool, ExplorerState::kOptionCount> options{};
    PlaneView view;          // within the limits of plane_view::clamped
    std::optional<LegendCorner> legendCorner;   // where the user put the legend, while it is on
    bool liveCoefficients = false;   // the analysis window, with its live coefficients, open
    Diagram diagram;
    RegimeMap regimeMap;
    std::vector<TrajectoryInputs> kept;   // newest first, at most ExplorerState::kMaxKept
    // The ecological form chosen, with its parameters where the coefficients fit it; absent
    // from files written before there were forms, which open with the form the coefficients fit.
    std::optional<EcologicalForm> ecologicalForm;
    std::optional<EcologicalParameters> ecology;   // of *ecologicalForm, giving coefficients exactly
    // The observations shown: the series as read from its file (key "datos": the three names,
    // the times, x and y with null where not observed), the unit's power of ten and the time
    // subtracted (the first time). Absent where none are shown.
    struct Data {
        Observations observed;
        ObservationUnit unit;
        double timeOffset = 0;
    };
    std::optional<Data> data;
};

namespace scenario {

// The format's name and the newest version this program reads and writes.
inline constexpr std::string_view kFormat = "lotka-volterra-escena";
inline constexpr int kVersion = 1;
// A larger file is refused unread.
inline constexpr qint64 kMaxFileBytes = 1 << 20;

// The name a corner of the legend has in a file, and back; an unknown name gives nothing.
const char *cornerName(LegendCorner corner);
std::optional<LegendCorner> cornerByName(QStringView name);

// The name an ecological form has in a file ("competencia", "depredadorYPresa", "mutualismo"),
// and back; an unknown name gives nothing.
const char *formKey(EcologicalForm form);
std::optional<EcologicalForm> formByKey(QStringView name);

// The stable name an option has in a file (the objectName of its action), and back; an unknown
// name gives -1.
const char *optionName(ExplorerState::Option option);
int optionByName(QStringView name);

} // namespace scenario

// The scenario as UTF-8 JSON. Every number is the shortest decimal that reads back as the same
// double (std::to_chars); -0.0 is written as the string "-0", because Qt's JSON reader drops the
// sign of a zero; an ecological parameter ∞ (K of predator and prey with no limit) is the string
// "inf". Kept trajectories' spans and the span are written as given.
QByteArray scenarioToJson(const Scenario &s);

// The scenario a file's bytes hold, or a message in Spanish that names the file and says what
// is wrong with it. It refuses anything that is not JSON (with the line and column of the
// fault), another format, a newer version, a missing field or a number that is missing, not
// finite or out of its range (a span ≤ 0 or one whose dt = span / 100 is 0, a cursor outside
// -100..100, a diagram's range that is empty), an option whose name it does not know (it could
// be one this program cannot show), more than 50 kept trajectories, and an ecological form it
// does not know or parameters outside their domains or not giving the coefficients to the last
// bit, and data that a data file could not hold (see readObservations: fewer than 3 or more than
// 100 000 rows, times not increasing, a negative or missing population), or whose unit or time
// offset do not fit them. Keys it does not know
// are ignored. The view is taken as the nearest one within the limits, as the window would.
std::variant<Scenario, QString> scenarioFromJson(const QByteArray &json, const QString &fileName);

// The scenario a file holds, as above; a file larger than kMaxFileBytes, or one that cannot be
// read, gives the message too.
std::variant<Scenario, QString> readScenarioFile(const QString &path);
