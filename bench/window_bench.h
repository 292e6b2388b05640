#pragma once

class Prog;

// Starts the window as the program does, checks that each measured action really recomputes
// and repaints what it should, and registers the benchmarks that drive it. Returns false,
// with a message, when a check fails. The window must outlive the benchmark run.
bool registerWindowBenchmarks(Prog &prog);
