#pragma once

class Prog;

// Registers the benchmark of the separatrices of one saddle (the default system's origin) and,
// on a second window with the separatrices on, checks that they are drawn and that a time-cursor
// step repaints each plot once, then registers the benchmarks of that step, without the legend
// and with it.
// Returns false, with a message, when a check fails. The window must outlive the benchmark run.
bool registerSeparatrixBenchmarks(Prog &prog);
