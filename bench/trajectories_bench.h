#pragma once

class Prog;

// Starts a window with every overlay on, 50 kept trajectories and the turning-point marks,
// checks that they are there, and registers a time-cursor step over them and one step of a
// drag in the phase plane (a recomputation with its redraw, through the pointer's event).
// Returns false, with a message, when a check fails. The window must outlive the run.
bool registerTrajectoryBenchmarks(Prog &prog);
