#pragma once

#include "model/data/observations.h"

// The series shipped in the program: the Hudson's Bay Company's pelts of snowshoe hare (x) and
// Canada lynx (y), 1900–1920, in thousands (a resource made from data/pieles_liebre_lince.csv),
// and the synthetic noisy series of the default system.
namespace built_in_data {

// The file name the pelts are read under, as a refusal would name it.
inline constexpr const char *kPeltsFileName = "pieles_liebre_lince.csv";

const Observations &pelts();
const Observations &synthetic();

// Whether a series is the built-in pelts table, to the last value: its values are thousands of
// pelts, whoever opened it (the example, a scenario that carries it, an undo).
bool isPelts(const Observations &series);

} // namespace built_in_data
