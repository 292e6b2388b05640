// Fuzzes the basins of attraction with arbitrary coefficients (no number, infinite, huge and tiny
// included) on a small grid anywhere in the square |x|, |y| <= 20.
//
// Input, read front to back: A, B, C, D, E, F as in number(); the grid's left and bottom edges
// and its side, each a byte (a fraction of the square); its width and height, each a byte
// (1 to 24 cells).
//
// Properties:
// - it ends (libFuzzer's timeout catches a hang) and every cell gets a label: an attractor's
//   index, growing without bound, none, or closed orbits (only with B = F = 0); an attractor's
//   label only when the system has attractors;
// - with coefficients that are no finite numbers every cell has no fate;
// - each attractor is a stable equilibrium of the system, inside its own region of convergence;
// - the labels are the same whatever the order of the rows within each level, as on threads;
// - a run cancelled before it starts leaves every cell unknown;
// - with every coefficient times 2^-700 or 2^700 (the first that keeps them all normal or zero)
//   every cell has the same label, since a common scale only changes the speed along each
//   trajectory.
#include "model/analysis/basins.h"
#include "model/analysis/equilibria.h"
#include "model/analysis/first_integral.h"
#include "tests/fuzz/byte_reader.h"
#include "tests/fuzz/fuzz_check.h"

#include <array>
#include <cmath>
#include <optional>

namespace {

constexpr std::array<double, 24> kInteresting = {
    0, -0.0, 1, -1, 4, -4, 8, -2, 7, 0.5, -0.5, 2, 1e-3, 1e3, 1e6, -1e6, 1e-300, 5e-324, 1e150,
    -1e155, 1e300, 1.7976931348623157e308, -1.7976931348623157e308, 0.1};

// A selector byte below 0x80 picks an interesting value; otherwise 8 raw bytes follow, taken
// as they are: no number and infinities included.
double number(ByteReader &in)
{
    const std::uint8_t selector = in.byte();
    if (selector < 0x80)
        return kInteresting[selector % kInteresting.size()];
    return in.rawDouble();
}

// k times 2^exponent, when that is exact: every coefficient stays zero or a normal number.
std::optional<Coefficients> scaledExactly(const Coefficients &k, int exponent)
{
    const auto exact = [exponent](double c) {
        return c == 0 || (std::isnormal(c) && std::isnormal(std::ldexp(c, exponent)));
    };
    if (!exact(k.A) || !exact(k.B) || !exact(k.C) || !exact(k.D) || !exact(k.E) || !exact(k.F))
        return std::nullopt;
    return Coefficients{std::ldexp(k.A, exponent), std::ldexp(k.B, exponent), std::ldexp(k.C, exponent),
                        std::ldexp(k.D, exponent), std::ldexp(k.E, exponent), std::ldexp(k.F, exponent)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ByteReader in(data, size);
    Coefficients k;
    for (double *c : {&k.A, &k.B, &k.C, &k.D, &k.E, &k.F})
        *c = number(in);
    const double left = -20 + 40 * (in.byte() / 255.0);
    const double bottom = -20 + 40 * (in.byte() / 255.0);
    const double side = std::max(1e-6, (20 - std::max(left, bottom)) * (in.byte() / 255.0));
    const int width = 1 + in.byte() % 24;
    const int height = 1 + in.byte() % 24;
    const basins::Grid grid{left, left + side, bottom, bottom + side, width, height};

    const std::vector<Equilibrium> list = equilibria(k);
    const basins::BasinSystem system = basins::basinSystem(k, list);
    FUZZ_CHECK(system.attractors.size() <= 4, "%zu attractors", system.attractors.size());
    for (const basins::Attractor &a : system.attractors) {
        FUZZ_CHECK(a.equilibrium < list.size() && isStable(list[a.equilibrium].type()), "not a stable equilibrium");
        FUZZ_CHECK(a.level == 0 || a.contains(a.x, a.y), "(%g, %g) outside its own region", a.x, a.y);
    }

    const std::atomic<bool> running{false}, cancelled{true};
    basins::Map map(grid), reversed(grid), stopped(grid);
    basins::computeMap(system, map, running);
    basins::computeMap(system, stopped, cancelled);
    for (const int spacing : basins::kLevels)
        for (int row = (height - 1) / spacing * spacing; row >= 0; row -= spacing)
            basins::computeRow(system, reversed, spacing, row, running);
    std::optional<Coefficients> scaled = scaledExactly(k, -700);
    if (!scaled)
        scaled = scaledExactly(k, 700);
    basins::Map rescaled(grid);
    if (scaled)
        basins::computeMap(basins::basinSystem(*scaled, equilibria(*scaled)), rescaled, running);
    const int attractors = int(system.attractors.size());
    for (std::size_t i = 0; i < map.labels.size(); ++i) {
        const basins::Label label = map.labels[i];
        FUZZ_CHECK((label >= basins::kNone && label < attractors) || (label == basins::kClosed && hasFirstIntegral(k)),
                   "cell %zu labelled %d", i, int(label));
        FUZZ_CHECK(system.finite || label == basins::kNone, "cell %zu labelled %d without finite coefficients", i,
                   int(label));
        FUZZ_CHECK(reversed.labels[i] == label, "cell %zu: %d in order, %d reversed", i, int(label),
                   int(reversed.labels[i]));
        FUZZ_CHECK(stopped.labels[i] == basins::kUnknown, "cell %zu computed after cancelling", i);
        FUZZ_CHECK(!scaled || rescaled.labels[i] == label, "cell %zu: %d, %d with the coefficients rescaled", i,
                   int(label), int(rescaled.labels[i]));
    }
    return 0;
}
