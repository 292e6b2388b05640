#pragma once

class Prog;

// The basins of attraction of "Competencia con exclusión" at the phase plane's designed size:
// the whole map as the window computes it, its first coarse level, a naive map for comparison,
// and a time-cursor step over a finished map on prog. Returns false, with a message, when a
// check fails.
bool registerBasinBenchmarks(Prog &prog);

// The share of pixels on which the naive map and ours agree, in percent; negative until the
// naive map has been timed.
double basinAgreementPercent();
