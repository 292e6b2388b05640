#include "model/analysis/examples.h"

namespace {

// The equilibria and their types, worked by hand, are in the rows of the examples test.
// Each initial point keeps its trajectory inside |x|, |y| < 20 forwards in time, with enough
// samples in the visible window to show the outcome. Every example fits an ecological form
// (formOf), so that it opens with its parameters shown.
const ExampleSystem kExamples[] = {
    {"depredador_presa", "Depredador y presa",
     "La presa crece sin límite y el depredador la controla: órbitas cerradas alrededor del centro (4, 4).",
     {4, 0, -1, -4, 1, 0}, 5, 5, 2},
    {"presa_logistica", "Presa con crecimiento logístico",
     "La presa tiene un límite propio de crecimiento: las soluciones giran en espiral hacia el foco estable (2, 1).",
     {3, -1, -1, -2, 1, 0}, 1, 3, 6},
    {"competencia_coexistencia", "Competencia con coexistencia",
     "La competencia dentro de cada especie pesa más que la competencia entre ellas (B F > C E): ambas sobreviven, cerca del nodo estable (4, 2).",
     {6, -1, -1, 4, -0.5, -1}, 1, 8, 4},
    {"competencia_exclusion", "Competencia con exclusión",
     "Cada especie frena más a la otra que a sí misma: gana x en (8, 0) o y en (0, 7), según el lado del punto de silla (2, 3) en que se empiece.",
     {8, -1, -2, 7, -2, -1}, 1, 1.6, 4},
    {"mutualismo", "Mutualismo acotado",
     "Cada especie favorece a la otra, pero también vive sola (sin x, la especie y se queda en su capacidad 1), y la competencia dentro de cada especie acota el crecimiento: nodo estable (4, 3).",
     {2.5, -1, 0.5, 1, 0.5, -1}, 1, 1, 4},
};

} // namespace

std::span<const ExampleSystem> exampleSystems()
{
    return kExamples;
}
