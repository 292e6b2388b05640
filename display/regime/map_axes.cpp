#include "display/regime/map_axes.h"

#include "display/bifurcation/diagram_ticks.h"
#include "display/regime/regime_map.h"
#include "display/toolkit/conversions.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace {

constexpr double kTick = 5;
constexpr double kPad = 2;
const QColor kText(30, 30, 30);
const QColor kBox(255, 255, 255, 200);

// A label on its pale box, with its top left corner at `corner`.
void drawLabel(QPainter &painter, const QString &text, QPointF corner)
{
    const QFontMetricsF metrics(painter.font());
    const QRectF box(corner, QSizeF(metrics.horizontalAdvance(text) + 2 * kPad, metrics.height()));
    painter.fillRect(box, kBox);
    painter.drawText(QPointF(corner.x() + kPad, corner.y() + metrics.ascent()), text);
}

} // namespace

void drawMapAxes(QPainter &painter, const RegimeMapScene &scene, QSize size)
{
    if (!scene.hasRange() || size.isEmpty())
        return;
    const double w = size.width(), h = size.height();
    const QFontMetricsF metrics(painter.font());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kText, 1));

    const Ticks across = roundTicks(scene.fromH, scene.toH, std::max(2, int(w / 80)));
    for (double value : across.values) {
        const double x = (value - scene.fromH) / (scene.toH - scene.fromH) * w;
        painter.drawLine(QPointF(x, h - kTick), QPointF(x, h));
        const QString label = withPowerOfTen(tickText(value, across));
        const double width = metrics.horizontalAdvance(label) + 2 * kPad;
        drawLabel(painter, label, QPointF(std::clamp(x - width / 2, 0.0, w - width), h - kTick - metrics.height()));
    }
    const Ticks up = roundTicks(scene.fromV, scene.toV, std::max(2, int(h / 50)));
    for (double value : up.values) {
        const double y = (scene.toV - value) / (scene.toV - scene.fromV) * h;
        painter.drawLine(QPointF(0, y), QPointF(kTick, y));
        // A number that would lie on the bottom's numbers is left to them; its tick stays.
        const double top = std::max(0.0, y - metrics.height() / 2);
        if (top + metrics.height() > h - kTick - metrics.height())
            continue;
        drawLabel(painter, withPowerOfTen(tickText(value, up)), QPointF(kTick, top));
    }
    // The letters, past the last numbers: the horizontal one above the bottom's numbers at the
    // right, the vertical one at the top beside the left's.
    QFont bold = painter.font();
    bold.setBold(true);
    painter.setFont(bold);
    const QFontMetricsF boldMetrics(bold);
    const QString letterH = QString::fromUtf8(scene.nameH());
    const QString letterV = QString::fromUtf8(scene.nameV());
    drawLabel(painter, letterH,
              QPointF(w - boldMetrics.horizontalAdvance(letterH) - 2 * kPad - 2, h - kTick - 2 * metrics.height() - 2));
    drawLabel(painter, letterV, QPointF(kTick + 2 + metrics.horizontalAdvance(QStringLiteral("−0,00")) + 2 * kPad, 2));
    painter.restore();
}
