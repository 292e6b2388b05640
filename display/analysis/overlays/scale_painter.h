#pragma once

#include "display/plots/plot_mapping.h"

#include <QRectF>
#include <QString>

#include <vector>

class QPainter;
class QSizeF;

// The time between two ticks of a time axis whose samples stand dt apart: the round step
// whose ticks stand at least `minimumPixels` logical pixels apart. 0 when there is none.
double timeTickStep(double dt, double minimumPixels);

// Small ticks with their numbers along the axis lines of the phase plane: every round step that
// the view shows on both axes (every whole unit in the designed view, and never closer than
// that), the ticks on the side of positive values and the numbers on the other, with one 0 for
// the origin. An axis out of view has its scale along the nearest edge. A number is left out
// where it would not fit inside the drawing area or would touch another number or an axis
// line. Gives the boxes of the numbers written, in logical pixels of the drawing area.
// Each font step makes the numbers overlay_style::kFontStepPixels larger.
std::vector<QRectF> paintPhaseScales(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m = {},
                                     int fontStep = 0);

// The same along the axis lines of a time plot: the values its value axis shows left of it,
// and round times chosen from dt below the time axis, each in its shortest form.
std::vector<QRectF> paintTimeScales(QPainter &painter, const QSizeF &area, double dt,
                                    const plot_mapping::ValueAxis &values = {},
                                    const plot_mapping::TimeAxis &times = {}, int fontStep = 0,
                                    const QString &timeTitle = QStringLiteral("t"));
