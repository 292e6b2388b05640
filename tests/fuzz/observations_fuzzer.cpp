// Fuzzes the reading of observed-data files and the choice of their unit.
//
// Input: the bytes of a file.
//
// Properties:
// - readObservations never crashes; it either refuses with a message that names the file, or
//   gives 3 to 100 000 rows whose times increase strictly (from the first one too, finite),
//   whose values are finite and >= 0, with at least one value observed.
// - The chosen unit puts the series in the program's units with every value finite and, while
//   the unit is within its range, the largest below 20; the first time becomes 0.
#include "model/data/observations.h"
#include "tests/fuzz/fuzz_check.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto read = readObservations(bytes, "datos.csv");
    if (const std::string *message = std::get_if<std::string>(&read)) {
        FUZZ_CHECK(message->starts_with("No se pueden abrir los datos «datos.csv»: ") && message->ends_with("."),
                   "message \"%s\"", message->c_str());
        return 0;
    }
    const Observations &s = std::get<Observations>(read);
    FUZZ_CHECK(s.size() >= 3 && s.size() <= 100'000 && s.xs.size() == s.size() && s.ys.size() == s.size(),
               "%zu rows", s.size());
    bool observed = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        FUZZ_CHECK(std::isfinite(s.times[i]), "time %g", s.times[i]);
        if (i > 0)
            FUZZ_CHECK(s.times[i] > s.times[i - 1] && s.times[i] - s.times[0] > s.times[i - 1] - s.times[0]
                           && std::isfinite(s.times[i] - s.times[0]),
                       "times %.17g after %.17g", s.times[i], s.times[i - 1]);
        for (const std::optional<double> &v : {s.xs[i], s.ys[i]})
            if (v) {
                FUZZ_CHECK(std::isfinite(*v) && *v >= 0, "value %g", *v);
                observed = true;
            }
    }
    FUZZ_CHECK(observed, "nothing observed");

    const ObservationUnit unit = chosenUnit(s);
    const std::optional<ScaledObservations> scaled = inProgramUnits(s, unit);
    FUZZ_CHECK(scaled.has_value(), "the chosen unit 10^%d fails", unit.exponent);
    FUZZ_CHECK(scaled->series.times.front() == 0, "first time %g", scaled->series.times.front());
    const bool inRange = unit.exponent > ObservationUnit::kMinUnitExponent && unit.exponent < ObservationUnit::kMaxUnitExponent;
    for (const auto *column : {&scaled->series.xs, &scaled->series.ys})
        for (const std::optional<double> &v : *column)
            if (v)
                FUZZ_CHECK(std::isfinite(*v) && (!inRange || *v < 20), "value %g in 10^%d", *v, unit.exponent);
    return 0;
}
