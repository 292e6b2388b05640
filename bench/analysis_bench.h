#pragma once

class Prog;

// Starts a second window with every analysis overlay on, checks that the overlays are drawn
// and that each measured action repaints each plot once, and registers the benchmarks of a
// phase-plane press and a time-cursor step over the overlays. Returns false, with a message,
// when a check fails. The window must outlive the benchmark run.
bool registerAnalysisBenchmarks(Prog &prog);

// Turns the four overlays on; false, with a message, when they did not turn on.
bool turnEveryOverlayOn(Prog &prog);
