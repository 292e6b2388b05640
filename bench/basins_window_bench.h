#pragma once

class Prog;

// The basins of a stiff node on prog's window at 1600 × 1000: the longest wait of an event on
// the GUI thread while they compute, and the close of a window in the middle of computing
// them. Returns false, with a message, when a check fails.
bool registerBasinWindowBenchmarks(Prog &prog);
