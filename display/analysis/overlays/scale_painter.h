#pragma once

#include <QRectF>

#include <vector>

class QPainter;
class QSizeF;

// The time between two ticks of a time axis whose samples stand dt apart: the round step
// whose ticks stand at least `minimumPixels` logical pixels apart. 0 when there is none.
double timeTickStep(double dt, double minimumPixels);

// Small ticks with their numbers along the axis lines of the phase plane: every whole unit
// from 0 to 10 on both axes, the ticks inside the quadrant and the numbers outside, with one
// 0 for the origin. A number is left out where it would not fit inside the drawing area or
// would touch another number or an axis line. Gives the boxes of the numbers written, in
// logical pixels of the drawing area.
std::vector<QRectF> paintPhaseScales(QPainter &painter, const QSizeF &area);

// The same along the axis lines of a time plot: values 0 to 10 left of the value axis, and
// round times chosen from dt below the time axis, each in its shortest form.
std::vector<QRectF> paintTimeScales(QPainter &painter, const QSizeF &area, double dt);
