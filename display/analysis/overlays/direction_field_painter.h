#pragma once

#include "display/plots/plot_mapping.h"
#include "model/coefficients.h"

class QPainter;
class QSizeF;

// Short arrows of one length showing the direction of the field on a square grid, set off
// half a spacing from the axes so that no arrow sits on an axis line. No arrow where the field
// is zero or not a finite number.
void paintDirectionField(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m, const Coefficients &k);
