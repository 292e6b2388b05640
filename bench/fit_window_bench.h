#pragma once

class Prog;

// Registers the benchmark of «Ajustar» in the analysis window, with the synthetic series shown:
// the time from the press to the first paint of the progress label. Returns false, with a
// message, when the window or its fit section cannot be shown.
bool registerFitWindowBenchmarks(Prog &prog);
