// Fuzzes the integrator with arbitrary finite coefficients, time steps and initial points,
// including initial texts that are no number.
//
// Input, read front to back (see number() for how a number is read):
//   byte 0        bit 0 set: start from a fresh model (zeros, no valid sample); clear: from
//                 the start-up state, a completed run from (5, 5) with the default coefficients
//   then up to 4 computations, each: A, B, C, D, E, F, dt (its size is taken), and the two
//   initial coordinates, each a byte (a multiple of 8: the text is no number) and a number.
//
// Properties of each computation, compared with a copy of the state before it:
// - it never crashes and changes neither the coefficients nor dt; every stored value is finite;
// - when either coordinate is no number it changes nothing at all; otherwise it writes every
//   sample, and the same values whatever the arrays held before (a copy filled with NaN shows
//   that each entry was written);
// - ok(0) is true, and each side is one run of valid samples inside the open square
//   |x|, |y| < 20, then at most one invalid sample holding the point that left it (or a filler,
//   where a fault struck), then (-1, -1): nothing of an earlier trajectory is left;
// - where the answer is known it is exact: with all coefficients 0, or a step that underflows
//   to 0 in a field that stays finite, every sample computed equals the initial point;
// - it leaves bit for bit what a second, plainly written integrator leaves, which also
//   settles where a fault ends the computation and which entries it had written by then.
#include "model/failure.h"
#include "model/model.h"
#include "tests/fuzz/byte_reader.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/reference_integrator.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Values around the edges that matter: the bound 20, huge and tiny numbers, the defaults.
constexpr std::array<double, 32> kInteresting = {
    0, -0.0, 1, -1, 4, -4, 5, -5, 0.5, 0.02, 2, 19.999999999999996, 20, -20, 20.000000000000004, 25,
    100, -100, 1e-3, 1e3, 1e6, 1e-300, 5e-324, 1e100, 1e150, 1e154, 1e155, 1e300, 1.7976931348623157e308,
    -1.7976931348623157e308, 1e-10, 0.1};

// A selector byte below 0x80 picks an interesting value; otherwise 8 raw bytes follow, and a
// pattern that is no finite number falls back to an interesting value.
double number(ByteReader &in)
{
    const std::uint8_t selector = in.byte();
    if (selector < 0x80)
        return kInteresting[selector % kInteresting.size()];
    const double raw = in.rawDouble();
    return std::isfinite(raw) ? raw : kInteresting[selector % kInteresting.size()];
}

// An initial coordinate as the text box gives it: a number, or nothing when its text is none.
std::optional<double> coordinate(ByteReader &in)
{
    const bool noNumber = in.byte() % 8 == 0;
    const double value = number(in);
    return noNumber ? std::nullopt : std::optional<double>(value);
}

Model::Reader readerOf(std::optional<double> value)
{
    return [value] {
        if (!value)
            throw Failure(Failure::Kind::TypeMismatch, "type mismatch");
        return *value;
    };
}

bool inside(double x, double y)
{
    return std::fabs(x) < Model::kBound && std::fabs(y) < Model::kBound;
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameSample(const Model &a, const Model &b, int k)
{
    return a.ok(k) == b.ok(k) && a.xs(k) == b.xs(k) && a.ys(k) == b.ys(k);
}

// Sample n steps from 0 on the given side (+1 forwards, -1 backwards).
int sampleOn(int side, int n)
{
    return side * n;
}

// The rules of a run for samples 1..100 on one side: a run of valid samples inside the square,
// then at most one invalid sample with the point that left it, or a filler where a fault struck,
// then (-1, -1).
bool sideKeepsRules(const Model &m, int side)
{
    bool valid = true;
    for (int n = 1; n <= kLastSample; ++n) {
        const int k = sampleOn(side, n);
        const double x = m.xs(k), y = m.ys(k);
        if (valid && m.ok(k)) {
            if (!inside(x, y))
                return false;
        } else if (valid) {
            valid = false;
            const bool filler = x == Model::kFiller && y == Model::kFiller;
            if (inside(x, y) && !filler)
                return false;
        } else if (m.ok(k) || x != Model::kFiller || y != Model::kFiller) {
            return false;
        }
    }
    return true;
}

bool keepsRules(const Model &m)
{
    return m.ok(0) && sideKeepsRules(m, +1) && sideKeepsRules(m, -1);
}

void checkFinite(const Model &m)
{
    for (int k = kFirstSample; k <= kLastSample; ++k)
        FUZZ_CHECK(std::isfinite(m.xs(k)) && std::isfinite(m.ys(k)), "sample %d is (%g, %g)", k, m.xs(k), m.ys(k));
    FUZZ_CHECK(std::isfinite(m.xp) && std::isfinite(m.yp), "evaluation point (%g, %g)", m.xp, m.yp);
}

// With all coefficients 0, or a step that underflows to 0 where the field is finite, every
// step keeps the point.
bool pointStaysPut(const Model &m, double x0, double y0)
{
    const bool noField = m.A == 0 && m.B == 0 && m.C == 0 && m.D == 0 && m.E == 0 && m.F == 0;
    const double limit = 1e100;
    const bool finiteField = std::fabs(m.A) <= limit && std::fabs(m.B) <= limit && std::fabs(m.C) <= limit
                             && std::fabs(m.D) <= limit && std::fabs(m.E) <= limit && std::fabs(m.F) <= limit
                             && std::fabs(x0) <= limit && std::fabs(y0) <= limit;
    return noField || (m.dt / Model::kStepsPerSample == 0 && finiteField);
}

void checkKnownAnswer(const Model &after, double x0, double y0)
{
    for (int side : {+1, -1}) {
        for (int n = 1; n <= kLastSample; ++n) {
            const int k = sampleOn(side, n);
            if (inside(x0, y0))
                FUZZ_CHECK(after.ok(k) && after.xs(k) == x0 && after.ys(k) == y0,
                           "sample %d moved from (%g, %g) to (%g, %g)", k, x0, y0, after.xs(k), after.ys(k));
            else if (n == 1)
                FUZZ_CHECK(!after.ok(k) && after.xs(k) == x0 && after.ys(k) == y0,
                           "sample %d of a point outside is (%g, %g)", k, after.xs(k), after.ys(k));
            else
                FUZZ_CHECK(!after.ok(k) && after.xs(k) == Model::kFiller && after.ys(k) == Model::kFiller,
                           "sample %d after an invalid one is (%g, %g)", k, after.xs(k), after.ys(k));
        }
    }
}

void checkComputation(Model &model, std::optional<double> x0, std::optional<double> y0)
{
    const Model before = model;
    Model probe = model;
    for (int k = kFirstSample; k <= kLastSample; ++k)
        probe.xs(k) = probe.ys(k) = kNaN;

    model.calcula(readerOf(x0), readerOf(y0));
    probe.calcula(readerOf(x0), readerOf(y0));
    const Model &after = model;

    FUZZ_CHECK(after.A == before.A && after.B == before.B && after.C == before.C && after.D == before.D
                   && after.E == before.E && after.F == before.F && after.dt == before.dt,
               "the coefficients or dt changed");
    checkFinite(after);
    if (!x0 || !y0) {
        // Half a point is no point: the stored trajectory stays whole.
        for (int k = kFirstSample; k <= kLastSample; ++k)
            FUZZ_CHECK(sameSample(after, before, k), "sample %d changed without an initial point", k);
        FUZZ_CHECK(sameBits(after.xp, before.xp) && sameBits(after.yp, before.yp), "the evaluation point moved");
        return;
    }
    FUZZ_CHECK(after.ok(0) && after.xs(0) == *x0 && after.ys(0) == *y0, "sample 0 is (%d, %g, %g)", after.ok(0),
               after.xs(0), after.ys(0));
    for (int k = kFirstSample; k <= kLastSample; ++k)
        FUZZ_CHECK(sameSample(after, probe, k), "sample %d depends on what was stored before", k);
    FUZZ_CHECK(keepsRules(after), "the stored trajectory breaks the rules of a run");

    if (pointStaysPut(after, *x0, *y0))
        checkKnownAnswer(after, *x0, *y0);

    // Bit for bit what the plain second integrator computes, early ends included.
    Model expected = before;
    reference::calcula(expected, x0, y0);
    for (int k = kFirstSample; k <= kLastSample; ++k)
        FUZZ_CHECK(after.ok(k) == expected.ok(k) && sameBits(after.xs(k), expected.xs(k))
                       && sameBits(after.ys(k), expected.ys(k)),
                   "sample %d is (%d, %.17g, %.17g), the second integrator gives (%d, %.17g, %.17g)", k, after.ok(k),
                   after.xs(k), after.ys(k), expected.ok(k), expected.xs(k), expected.ys(k));
    FUZZ_CHECK(sameBits(after.xp, expected.xp) && sameBits(after.yp, expected.yp),
               "last evaluation point (%.17g, %.17g), the second integrator gives (%.17g, %.17g)", after.xp,
               after.yp, expected.xp, expected.yp);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ByteReader in(data, size);
    Model model;
    if (in.byte() % 2 == 0) {
        model.setDefaults();
        checkComputation(model, 5.0, 5.0);
    }
    for (int computation = 0; computation < 4 && !in.atEnd(); ++computation) {
        for (double *coefficient : {&model.A, &model.B, &model.C, &model.D, &model.E, &model.F})
            *coefficient = number(in);
        model.dt = std::fabs(number(in));
        const std::optional<double> x0 = coordinate(in);
        const std::optional<double> y0 = coordinate(in);
        checkComputation(model, x0, y0);
    }
    return 0;
}
