#pragma once

// Checks that the bifurcation diagram draws its curves and marks into an image, and registers
// the benchmark of a full redraw 800 pixels wide. Returns false, with a message, when the
// check fails.
bool registerBifurcationBenchmarks();
