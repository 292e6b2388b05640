#pragma once

#include "model/analysis/equilibria.h"
#include "model/coefficients.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

// The basins of attraction on a grid of cells: which attractor the forward trajectory from each
// cell's centre reaches. An attractor is a stable equilibrium (node, degenerate or star node,
// focus). The square |x|, |y| < 20 only bounds the drawing: a trajectory is followed beyond it,
// and grows without bound when it passes a bound a million times the size of the system's
// equilibria. Where a first integral has closed orbits around a centre, the open quadrant is
// labelled so at once; where a Lyapunov function proves an equilibrium stable in the whole open
// quadrant, with that equilibrium. The invariant axes take the fate of their own flow. A
// trajectory that reaches nothing within the time limit has no fate; the steps are bounded by a
// count, each at least the time still left over the steps still left (where RK4 stays stable),
// so that the count reaches the limit.
namespace basins {

// A cell's label: the index of its attractor in BasinSystem::attractors, or one of these.
using Label = std::int8_t;
inline constexpr Label kClosed = -4;    // on a closed orbit, as around a centre: no attractor
inline constexpr Label kUnknown = -3;   // not computed yet
inline constexpr Label kNone = -2;      // nothing reached within the time limit
inline constexpr Label kEscapes = -1;   // grows without bound

// The square of the drawing, where the steps are short enough for a pixel of the designed view.
inline constexpr double kBound = 20;
// A trajectory past this many times the size of the system (BasinSystem::escapeBound) grows
// without bound.
inline constexpr double kEscapeFactor = 1e6;

// The levels of a progressive map: first every 16th cell in each direction, then every 8th, and
// so on down to every cell. Each level reuses the labels of the coarser ones.
inline constexpr int kLevels[] = {16, 8, 4, 2, 1};

// A stable equilibrium and the region around it where convergence is certain: every point with
// V(z) = p z₁² + 2 q z₁ z₂ + r z₂² < level, z the offset from (x, y), tends to it (see basins.cpp).
struct Attractor {
    double x = 0, y = 0;
    std::size_t equilibrium = 0;   // its index in the equilibria it was found among
    double p = 0, q = 0, r = 0;
    double level = 0;              // 0: no such region could be found

    bool contains(double px, double py) const
    {
        const double u = px - x, v = py - y;
        return p * u * u + 2 * q * u * v + r * v * v < level;
    }
};

// What a map needs of the system.
struct BasinSystem {
    // Those of the system times a power of two, the largest near 1 (see basinSystem()); the
    // trajectories are followed for these, in their time.
    Coefficients coefficients;
    std::vector<Attractor> attractors;   // at most 4
    // A trajectory that reaches nothing before this time has no fate; see basinSystem().
    double timeLimit = 0;
    // Past this in |x| or |y| a trajectory grows without bound: kEscapeFactor times the largest
    // of kBound and the coordinates of the equilibria.
    double escapeBound = kEscapeFactor * kBound;
    // The label of every point with x, y > 0 when proved: kClosed for the closed orbits of a
    // first integral around a centre, an attractor's index for a Lyapunov function's global
    // stability; kUnknown otherwise.
    Label openQuadrant = kUnknown;
    bool finite = true;   // false: some coefficient is no finite number, every cell has no fate
};

// The attractors among the equilibria, with their regions of certain convergence, and the
// time limit.
BasinSystem basinSystem(const Coefficients &k, const std::vector<Equilibrium> &equilibria);

// The cells: `width` × `height` cells covering the plane rectangle from `left` to `right` and
// from `bottom` to `top`, row 0 at the top; a cell's point is its centre.
struct Grid {
    double left = 0, right = 1, bottom = 0, top = 1;
    int width = 0, height = 0;

    double x(int column) const { return left + (right - left) * ((column + 0.5) / width); }
    double y(int row) const { return top - (top - bottom) * ((row + 0.5) / height); }
};

// A label per cell, row by row, kUnknown where not computed yet.
struct Map {
    Grid grid;
    std::vector<Label> labels;

    explicit Map(const Grid &g = {})
        : grid(g), labels(std::size_t(std::max(g.width, 0)) * std::size_t(std::max(g.height, 0)), kUnknown)
    {
    }
    Label at(int column, int row) const { return labels[std::size_t(row) * std::size_t(grid.width) + std::size_t(column)]; }
};

// Whether the cell (column, row) belongs to the level of the given spacing: on that spacing's
// lattice, and (below the coarsest level) not on the lattice of twice the spacing.
bool inLevel(int column, int row, int spacing);

// Computes the cells of one row that belong to the level of the given spacing, once the coarser
// levels are done. It reads only cells of coarser levels and writes only its own, so the rows of
// a level may run on any threads at once, and the labels do not depend on how they are shared
// out. Returns early, leaving cells unknown, when `cancelled` becomes true.
void computeRow(const BasinSystem &system, Map &map, int spacing, int row, const std::atomic<bool> &cancelled);

// Every level in turn on this thread.
void computeMap(const BasinSystem &system, Map &map, const std::atomic<bool> &cancelled);

// The fate of one point with every early stop: the proved open quadrant, the regions of certain
// convergence, and the labelled cells of `known` on the lattice of spacing `knownSpacing` (none
// when null) that the trajectory passes within a fraction of a cell of, inside a uniform 3 × 3
// block of them. The start itself never takes a neighbour's label, and neither do the invariant
// axes: a point with x = 0 or y = 0 is followed along its axis.
Label fate(const BasinSystem &system, double x, double y, const Map *known = nullptr, int knownSpacing = 0);

// The fate of one point without early stops, for comparison: integrated with the same steps until
// it lies within 1e-9 (relative) of an attractor, grows without bound or reaches the time limit.
Label settledFate(const BasinSystem &system, double x, double y);

} // namespace basins
