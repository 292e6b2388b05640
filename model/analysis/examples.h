#pragma once

#include "model/coefficients.h"

#include <span>

// A ready-made system that shows one kind of behaviour inside the visible 0..10 window of the
// phase plane. Texts are Spanish, UTF-8.
struct ExampleSystem {
    const char *id;            // ASCII; the action that loads it is named "modelo_<id>"
    const char *title;         // menu text
    const char *description;   // one line, for the tooltip and the help window
    Coefficients coefficients;
    double x0, y0;             // the initial point (XI, YI)
    double span;               // the time span (Text2); dt = span / 100
};

// The examples in menu order; the first is the program's start-up state.
std::span<const ExampleSystem> exampleSystems();
