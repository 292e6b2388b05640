#pragma once

// Registers the benchmark of the fit of the built-in pelts in the classic form (B = F = 0,
// logarithmic residuals) from the «Estimar» start. Returns false, with a message, when the
// file cannot be read or the fit does not converge.
bool registerDataFitBenchmarks();
