#pragma once

#include <benchmark/benchmark.h>

#include <initializer_list>

class Prog;
class QScrollBar;

// Driving a real window from a benchmark, as the event loop would.

// Paints now what the last action left to repaint, as the event loop does once the action
// has returned: one pass over the window's dirty region.
void repaintNow();

// The sample after the cursor's, wrapping round at the end.
int nextCursor(const QScrollBar &scrollBar);

// Starts the window as the program does and waits until it is on screen with the start-up
// trajectory. Returns false, with a message, when it is not.
bool showWindow(Prog &prog);

// Prints the message for a failed check and returns false.
bool benchFailure(const char *message);

// One benchmark of a window: its name and what one iteration does.
struct WindowBenchmark {
    const char *name;
    void (*run)(benchmark::State &, Prog &);
};

// Registers each to run on prog, timed in real milliseconds, ten repetitions reported as
// aggregates. The window must outlive the run.
void registerOnWindow(Prog &prog, std::initializer_list<WindowBenchmark> benchmarks);

// One step of the time cursor with the repaint it causes; the cursor goes back to 0 after.
void timeCursorStep(benchmark::State &state, Prog &prog);
