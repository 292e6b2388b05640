#include "display/analysis/overlays/nullcline_painter.h"

#include "display/analysis/overlays/overlay_style.h"
#include "display/analysis/overlays/phase_geometry.h"

#include <QPainter>

void paintPhaseLine(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m, const StraightLine &line)
{
    const auto segment = clipToRect(line, phase_geometry::visibleRect(m, area, 1));
    if (!segment)
        return;
    const bool parallelToAnAxis = line.b == 0 || line.c == 0;
    const auto at = [&m, parallelToAnAxis](double x, double y) {
        return parallelToAnAxis ? phase_geometry::dotCentreAt(m, x, y) : phase_geometry::pointAt(m, x, y);
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, !parallelToAnAxis);
    painter.drawLine(at(segment->x1, segment->y1), at(segment->x2, segment->y2));
    painter.restore();
}

void paintNullclines(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m, const Coefficients &k)
{
    painter.save();
    painter.setPen(QPen(overlay_style::kXNullcline, 1));
    paintPhaseLine(painter, area, m, xNullcline(k));
    painter.setPen(QPen(overlay_style::kYNullcline, 1));
    paintPhaseLine(painter, area, m, yNullcline(k));
    painter.restore();
}
