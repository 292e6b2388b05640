#pragma once

#include <QSize>

class QPainter;
struct RegimeMapScene;

// The numbers of both axes over the map itself, along its bottom and left edges, with the same
// round ticks as the diagram's and each coefficient's letter at the far end of its axis: a tick
// from the edge, its number on a pale box so that it reads on every tint. The map keeps every
// pixel for the regimes, so a pixel's place is the same with the numbers as without.
void drawMapAxes(QPainter &painter, const RegimeMapScene &scene, QSize size);
