#include "display/analysis/overlays/direction_field_painter.h"

#include "display/analysis/overlays/overlay_style.h"
#include "display/analysis/overlays/phase_geometry.h"
#include "model/analysis/direction.h"

#include <QLineF>
#include <QPainter>
#include <QVector>

#include <cmath>

namespace {

using namespace overlay_style;

// The shaft and the two strokes of the head of an arrow centred on `centre`, pointing along
// the unit vector (ux, uy) in pixel coordinates.
void addArrow(QVector<QLineF> &lines, QPointF centre, double ux, double uy)
{
    const QPointF along(ux, uy);
    const QPointF tip = centre + along * (kArrowLength / 2);
    lines.append(QLineF(centre - along * (kArrowLength / 2), tip));
    // The head's strokes lean back from the tip at about 27 degrees on either side.
    const QPointF back = -along * kArrowHead;
    const QPointF side = QPointF(-uy, ux) * (kArrowHead / 2);
    lines.append(QLineF(tip, tip + back + side));
    lines.append(QLineF(tip, tip + back - side));
}

} // namespace

void paintDirectionField(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m, const Coefficients &k)
{
    const QPointF origin = phase_geometry::pointAt(m, 0, 0);
    const double firstX = origin.x() + kFieldSpacing / 2
        - kFieldSpacing * std::floor((origin.x() + kFieldSpacing / 2) / kFieldSpacing);
    const double firstY = origin.y() - kFieldSpacing / 2
        - kFieldSpacing * std::floor((origin.y() - kFieldSpacing / 2) / kFieldSpacing);

    // An arrow may reach over the edge by a little, but no further.
    const double margin = kArrowLength / 2 - 2;
    const auto firstFrom = [margin](double first) { return first < margin ? first + kFieldSpacing : first; };

    QVector<QLineF> lines;
    lines.reserve(3 * int(area.width() / kFieldSpacing + 1) * int(area.height() / kFieldSpacing + 1));
    for (double py = firstFrom(firstY); py <= area.height() - margin; py += kFieldSpacing) {
        for (double px = firstFrom(firstX); px <= area.width() - margin; px += kFieldSpacing) {
            const auto d = fieldDirection(k, phase_geometry::xAt(m, px), phase_geometry::yAt(m, py));
            if (d)
                addArrow(lines, QPointF(px, py), d->dx, -d->dy);   // y grows downwards on screen
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Flat ends: round ones cost ten times as much once the screen scale widens the pen.
    painter.setPen(QPen(kField, 1, Qt::SolidLine, Qt::FlatCap));
    painter.drawLines(lines);
    painter.restore();
}
