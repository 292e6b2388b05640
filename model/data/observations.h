#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A series of observed populations: at each time the two species' values, either of which may be
// missing (not observed then). Plain C++; the texts are UTF-8.
struct Observations {
    std::string timeName, xName, yName;        // the header's three names, as written
    std::vector<double> times;                 // strictly increasing, finite
    std::vector<std::optional<double>> xs, ys; // finite and >= 0; nothing: not observed

    std::size_t size() const { return times.size(); }
    friend bool operator==(const Observations &, const Observations &) = default;
};

namespace observations {

// Larger files are refused: the reader keeps everything in memory, and a plot of more points
// shows nothing more.
inline constexpr std::size_t kMaxBytes = std::size_t(10) << 20;
inline constexpr std::size_t kMaxRows = 100'000;
inline constexpr std::size_t kMinRows = 3;

} // namespace observations

// The series a file's bytes hold, or a message in Spanish naming the file, the line and what is
// wrong there («No se pueden abrir los datos «f.csv»: línea 4: …»).
//
// The file: a header row with three names (t, x, y: any names), then one row per time, the
// rows' times strictly increasing. Blank lines are skipped; the lines may end in LF, CRLF or
// CR; a UTF-8 byte-order mark is skipped. A cell may be enclosed in double quotes ("" inside
// stands for one "); spaces around a cell are ignored. Empty x or y cells are not observed;
// the time is never empty. A row may end in empty cells beyond the third.
//
// Separators and decimals: the header decides the separator: a tab if it holds one, else a
// semicolon if it holds one, else a comma. With a comma as separator the decimal mark is the
// point. With a tab or a semicolon the decimal mark is the first of point or comma met in a
// number cell, reading the rows in order; a later number with the other mark is refused (it
// could be a thousands separator: "1.500" with decimal commas). Numbers never have thousands
// separators; an exponent (1e3) and a leading + are accepted.
//
// Refused: fewer than 3 rows or more than 100 000, more than 10 MiB, a row without exactly
// three cells, a header of three numbers (the header row is missing), a cell that is not a
// number (nan and inf included) or is beyond the range of a double, a time not greater than
// the one before (or so far from the first that t − t₀ is no longer increasing and finite), a
// negative population, and a series with no population observed at all.
std::variant<Observations, std::string> readObservations(std::string_view bytes, std::string_view fileName);

// The unit the values are divided by: 10^exponent, within kMinUnitExponent..kMaxUnitExponent
// (so that the division never overflows nor underflows a value of interest to zero).
struct ObservationUnit {
    static constexpr int kMinUnitExponent = -300;
    static constexpr int kMaxUnitExponent = 300;
    int exponent = 0;
    friend bool operator==(const ObservationUnit &, const ObservationUnit &) = default;
};

// The power of ten that brings the largest observed value into the square where samples are
// valid: the smallest 10^k with largest / 10^k < Model::kBound (20). Pelts up to 77.4 thousand
// give 10 (7.74 units of 10 000 pelts); values up to 0.003 give 0.001. Nothing observed, or
// only zeros: 1.
ObservationUnit chosenUnit(const Observations &series);

// The value v in a unit: v / 10^k (for k < 0, v · 10^-k, both exact powers of ten up to 10^22).
double inUnit(double value, ObservationUnit unit);

// The series in the program's units: each value in the unit, each time minus the first time
// (the first observation at t = 0; timeOffset gives it back). Nothing when a value in that unit
// is not finite (a unit chosen too small for the values).
struct ScaledObservations {
    Observations series;          // in units, from t = 0
    ObservationUnit unit;
    double timeOffset = 0;        // the file's time of t = 0
    friend bool operator==(const ScaledObservations &, const ScaledObservations &) = default;
};
std::optional<ScaledObservations> inProgramUnits(const Observations &series, ObservationUnit unit);
