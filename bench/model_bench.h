#pragma once

// Registers calcula from (5, 5) beside the bare RK4 loop, after checking that both produce
// the same samples to the last bit. Returns false, with a message, when they do not.
bool registerModelBenchmarks();
