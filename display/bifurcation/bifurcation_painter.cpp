#include "display/bifurcation/bifurcation_painter.h"

#include "display/bifurcation/equilibrium_colours.h"
#include "display/bifurcation/panel_polyline.h"
#include "display/plots/plot_mapping.h"
#include "display/toolkit/conversions.h"
#include "model/ecology/ecological_path.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr int kPad = 8;         // around the whole diagram
constexpr int kInner = 6;       // between a plot area's edge and the ends of its value axis
constexpr int kTick = 4;
constexpr int kGap = 10;        // between the legend and the panels, and between the panels
constexpr double kFarAway = 1e9;

const QColor kText(60, 60, 60);
const QColor kFrame(150, 150, 150);
const QColor kGrid(232, 232, 232);
const QColor kZeroLine(190, 190, 190);
const QColor kCurrent(210, 0, 0);

// The roles drawn in a panel: all four. The x of (0, -D/F) is always 0, as is the origin's, and
// the y of (-A/B, 0) too; where two lines coincide the stable one is drawn over the other.
std::vector<EquilibriumRole> rolesIn(int)
{
    using R = EquilibriumRole;
    return {R::Origin, R::XAxis, R::YAxis, R::Interior};
}

// How a piece of curve is drawn: solid where the equilibrium is stable, dashed where it is
// unstable, dotted where it is neither (a centre, a zero eigenvalue).
enum class Stability { Stable, Unstable, Neutral };

Stability stabilityOf(const CurvePoint &p)
{
    return p.neutral ? Stability::Neutral : p.stable ? Stability::Stable : Stability::Unstable;
}

QPen curvePen(EquilibriumRole role, Stability stability)
{
    QPen pen(equilibriumColour(role), 2);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (stability == Stability::Unstable) {
        pen.setDashPattern({3, 2});
    } else if (stability == Stability::Neutral) {
        pen.setCapStyle(Qt::RoundCap);
        pen.setDashPattern({0.01, 2});
    }
    return pen;
}

QPen thinPen(const QColor &colour)
{
    QPen pen(colour, 0);
    pen.setCosmetic(true);
    return pen;
}

// A coordinate on a device pixel's centre, for crisp one-pixel lines.
double crisp(double position, double ratio)
{
    return (std::floor(position * ratio) + 0.5) / ratio;
}

void drawMark(QPainter &painter, QPointF at, bool bifurcation)
{
    painter.setPen(QPen(bifurcation ? Qt::white : kText, 1.5));
    painter.setBrush(bifurcation ? QColor(0, 0, 0) : QColor(255, 255, 255));
    const double radius = bifurcation ? 4.5 : 3.5;
    painter.drawEllipse(at, radius, radius);
}

// The legend in two groups: the colour of each role, then the line styles and the marks.
struct LegendEntry {
    QPen line;             // a short line of this pen, or a mark when the pen has no style
    bool bifurcation;      // the kind of mark
    const char *label;
};

std::array<std::vector<LegendEntry>, 2> legendGroups()
{
    using R = EquilibriumRole;
    using S = Stability;
    return {{{{curvePen(R::Origin, S::Stable), false, "(0, 0)"},
              {curvePen(R::XAxis, S::Stable), false, "(-A/B, 0)"},
              {curvePen(R::YAxis, S::Stable), false, "(0, -D/F)"},
              {curvePen(R::Interior, S::Stable), false, "interior"}},
             {{curvePen(R::Origin, S::Stable), false, "estable"},
              {curvePen(R::Origin, S::Unstable), false, "inestable"},
              {curvePen(R::Origin, S::Neutral), false, "neutral"},
              {QPen(Qt::NoPen), true, "bifurcación"},
              {QPen(Qt::NoPen), false, "nodo / foco"}}}};
}

// An entry's text; a point written as every text of the program writes it, "(0; 0)" where the
// decimal separator is a comma.
QString labelText(const LegendEntry &entry)
{
    QString text = QString::fromUtf8(entry.label);
    return text.startsWith(u'(') ? text.replace(QStringLiteral(", "), listSeparator()) : text;
}

constexpr int kLineSymbol = 25, kMarkSymbol = 14, kAfterLabel = 14, kBetweenGroups = 8;

int legendWidth(const std::vector<LegendEntry> &group, const QFontMetrics &metrics)
{
    int width = 0;
    for (const LegendEntry &entry : group)
        width += (entry.line.style() == Qt::NoPen ? kMarkSymbol : kLineSymbol)
            + metrics.horizontalAdvance(labelText(entry)) + kAfterLabel;
    return width;
}

void drawLegend(QPainter &painter, const BifurcationGeometry &g)
{
    const QFontMetrics metrics(painter.font());
    const auto groups = legendGroups();
    const double rowHeight = static_cast<double>(g.legend.height()) / g.legendRows;
    double x = g.legend.left();
    double middle = g.legend.top() + rowHeight / 2;
    for (std::size_t group = 0; group < groups.size(); ++group) {
        if (group > 0 && g.legendRows > 1) {
            x = g.legend.left();
            middle += rowHeight;
        } else if (group > 0) {
            x += kBetweenGroups;
        }
        for (const LegendEntry &entry : groups[group]) {
            if (entry.line.style() == Qt::NoPen) {
                drawMark(painter, QPointF(x + 5, middle), entry.bifurcation);
                x += kMarkSymbol;
            } else {
                painter.setPen(entry.line);
                painter.drawLine(QPointF(x, middle), QPointF(x + 20, middle));
                x += kLineSymbol;
            }
            const QString label = labelText(entry);
            painter.setPen(kText);
            painter.drawText(QPointF(x, middle + (metrics.ascent() - metrics.descent()) / 2.0), label);
            x += metrics.horizontalAdvance(label) + kAfterLabel;
        }
    }
}

void drawPanelFrame(QPainter &painter, const BifurcationGeometry &g, int panel, const BifurcationScene &scene,
                    double ratio)
{
    const QRect &area = g.panels[panel];
    const QFontMetrics metrics(painter.font());
    painter.setPen(kText);
    painter.drawText(g.titles[panel], Qt::AlignLeft | Qt::AlignVCenter,
                     panel == BifurcationGeometry::XPanel ? QStringLiteral("x de cada equilibrio")
                                                          : QStringLiteral("y de cada equilibrio"));

    painter.setRenderHint(QPainter::Antialiasing, false);
    for (double value : g.valueTicks.values) {
        const double y = crisp(g.valueY(panel, value), ratio);
        painter.setPen(thinPen(value == 0 ? kZeroLine : kGrid));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.left() + area.width(), y));
        painter.setPen(thinPen(kFrame));
        painter.drawLine(QPointF(area.left() - kTick, y), QPointF(area.left(), y));
        painter.setPen(kText);
        const QString label = withPowerOfTen(tickText(value, g.valueTicks));
        painter.drawText(QPointF(area.left() - kTick - 3 - metrics.horizontalAdvance(label),
                                 y + (metrics.ascent() - metrics.descent()) / 2.0),
                         label);
    }
    if (scene.hasRange()) {
        for (double value : g.coefficientTicks.values) {
            const double x = crisp(g.coefficientX(value), ratio);
            painter.setPen(thinPen(value == 0 ? kZeroLine : kGrid));
            painter.drawLine(QPointF(x, area.top()), QPointF(x, area.top() + area.height()));
            painter.setPen(thinPen(kFrame));
            const double bottom = area.top() + area.height();
            painter.drawLine(QPointF(x, bottom), QPointF(x, bottom + kTick));
            painter.setPen(kText);
            const QString label = withPowerOfTen(tickText(value, g.coefficientTicks));
            painter.drawText(QPointF(x - metrics.horizontalAdvance(label) / 2.0, bottom + kTick + 2 + metrics.ascent()),
                             label);
        }
    }
    painter.setPen(thinPen(kFrame));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(area).adjusted(0.5 / ratio, 0.5 / ratio, -0.5 / ratio, -0.5 / ratio));
}

// Each role's curve, broken where the equilibrium does not exist or passes through a pole, its
// pen changed where the stability changes: the segment into a column takes that column's pen.
// The stable pieces of every role are drawn last, so that where two branches coincide (the
// origin and (-A/B, 0) on y = 0) the stable one shows.
void drawCurves(QPainter &painter, const BifurcationGeometry &g, int panel, const BifurcationDiagram &diagram)
{
    const QRect &area = g.panels[panel];
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    const auto at = [&](int i, const CurvePoint &p) {
        const double value = panel == BifurcationGeometry::XPanel ? p.x : p.y;
        // Far outside, a point only sets the slope of the piece that leaves the panel.
        return QPointF(g.columnX(i), std::clamp(g.valueY(panel, value), area.top() - kFarAway, area.bottom() + kFarAway));
    };
    for (const bool stablePass : {false, true}) {
        for (EquilibriumRole role : rolesIn(panel)) {
            const std::vector<CurvePoint> &curve = diagram.curve(role);
            PanelPolyline line(painter, area.top(), area.top() + area.height());
            bool drawing = false;
            Stability stability = Stability::Stable;
            for (int i = 0; i < static_cast<int>(curve.size()); ++i) {
                const CurvePoint &p = curve[static_cast<std::size_t>(i)];
                const bool inPass = p.exists && (stabilityOf(p) == Stability::Stable) == stablePass;
                const CurvePoint *before = i > 0 ? &curve[static_cast<std::size_t>(i - 1)] : nullptr;
                const bool joined = before && before->exists && before->branch == p.branch;
                if (!inPass || (drawing && !joined)) {
                    line.breakLine();
                    drawing = false;
                }
                if (!inPass)
                    continue;
                if (!drawing || stabilityOf(p) != stability)
                    line.setPen(curvePen(role, stabilityOf(p)));
                stability = stabilityOf(p);
                // A piece of this pass begins where the curve comes into it.
                if (!drawing && joined)
                    line.lineTo(at(i - 1, *before));
                line.lineTo(at(i, p));
                drawing = true;
            }
        }
    }
    painter.restore();
}

void drawArrow(QPainter &painter, QPointF tip, int direction, const QColor &colour)
{
    constexpr double kLength = 8, kHalfWidth = 4.5;
    const QPointF points[] = {tip, tip + QPointF(-kHalfWidth, direction * kLength),
                              tip + QPointF(kHalfWidth, direction * kLength)};
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(colour);
    painter.drawPolygon(points, 3);
}

// Where a curve leaves the panel's view, above or below, an arrow at that edge points the way
// it went; a stretch of curve that is outside all along gets one arrow at its middle. So a
// branch out of one panel's view is not lost there while the other panel shows it.
void drawLeavingArrows(QPainter &painter, const BifurcationGeometry &g, int panel, const BifurcationDiagram &diagram)
{
    const QRect &area = g.panels[panel];
    const double top = area.top() + 1, bottom = area.top() + area.height() - 1;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (EquilibriumRole role : rolesIn(panel)) {
        const std::vector<CurvePoint> &curve = diagram.curve(role);
        const int count = static_cast<int>(curve.size());
        // -1 below the view, +1 above, 0 inside, and no side where the equilibrium does not exist.
        const auto side = [&](int i) -> std::optional<int> {
            const CurvePoint &p = curve[static_cast<std::size_t>(i)];
            if (!p.exists)
                return std::nullopt;
            const double y = g.valueY(panel, panel == BifurcationGeometry::XPanel ? p.x : p.y);
            return y < area.top() ? 1 : y > area.top() + area.height() ? -1 : 0;
        };
        for (int start = 0; start < count;) {
            const std::optional<int> outside = side(start);
            int end = start;
            while (end + 1 < count && side(end + 1) == outside)
                ++end;
            if (outside && *outside != 0) {
                const double edge = *outside > 0 ? top : bottom;
                const bool entersBefore = start > 0 && side(start - 1) == 0;
                const bool leavesAfter = end + 1 < count && side(end + 1) == 0;
                const QColor colour = equilibriumColour(role);
                if (entersBefore)
                    drawArrow(painter, QPointF(g.columnX(start), edge), *outside, colour);
                if (leavesAfter)
                    drawArrow(painter, QPointF(g.columnX(end), edge), *outside, colour);
                if (!entersBefore && !leavesAfter)
                    drawArrow(painter, QPointF(g.columnX((start + end) / 2), edge), *outside, colour);
            }
            start = end + 1;
        }
    }
    painter.restore();
}

void drawCurrentValue(QPainter &painter, const BifurcationGeometry &g, const BifurcationScene &scene, double ratio)
{
    const double value = scene.current();
    if (value < scene.from || value > scene.to)
        return;
    const double x = crisp(g.coefficientX(value), ratio);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(thinPen(kCurrent));
    for (const QRect &area : g.panels)
        painter.drawLine(QPointF(x, area.top() + 1), QPointF(x, area.top() + area.height() - 1));

    const QFontMetrics metrics(painter.font());
    const QString label = QStringLiteral("%1 = %2").arg(scene.axisSymbol(), textOf(value));
    const QRect &area = g.panels[BifurcationGeometry::XPanel];
    QRectF box(0, area.top() + 4, metrics.horizontalAdvance(label) + 8, metrics.height() + 2);
    box.moveLeft(x + 4 + box.width() <= area.right() ? x + 4 : x - 4 - box.width());
    painter.fillRect(box, QColor(255, 255, 255, 225));
    painter.setPen(kCurrent);
    painter.drawText(box, Qt::AlignCenter, label);
}

void drawMarks(QPainter &painter, const BifurcationGeometry &g, const BifurcationDiagram &diagram)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int panel : {0, 1}) {
        painter.save();
        painter.setClipRect(g.panels[panel].adjusted(-5, -5, 5, 5), Qt::IntersectClip);
        for (const TypeChange &change : diagram.changes) {
            const double value = panel == BifurcationGeometry::XPanel ? change.x : change.y;
            const QPointF at(g.coefficientX(change.value), g.valueY(panel, value));
            if (QRectF(g.panels[panel]).contains(at))
                drawMark(painter, at, change.isBifurcation());
        }
        painter.restore();
    }
}

} // namespace

bool BifurcationScene::hasRange() const
{
    return std::isfinite(from) && std::isfinite(to) && from < to && std::isfinite(to - from);
}

bool BifurcationScene::alongParameter() const
{
    return ecology && parameter >= 0 && parameter < ecology->count();
}

double BifurcationScene::current() const
{
    return alongParameter() ? ecology->values[std::size_t(parameter)] : coefficientValue(system, coefficient);
}

QString BifurcationScene::axisSymbol() const
{
    if (alongParameter())
        return QString::fromUtf8(parametersOf(ecology->form)[std::size_t(parameter)].symbol);
    return QString::fromLatin1(coefficientName(coefficient));
}

BifurcationGeometry::BifurcationGeometry(const QRect &target, const BifurcationScene &scene, const QFont &font,
                                         double pixelRatio)
    : target(target), scene_(scene), pixelRatio_(pixelRatio > 0 ? pixelRatio : 1)
{
    const QFontMetrics metrics(font);
    const int line = metrics.height();

    // Top to bottom: the legend, then for each panel its title, plot area and numbers, then the
    // name of the coefficient.
    const int legendSpace = std::max(0, target.width() - 2 * kPad);
    const auto groups = legendGroups();
    const int legendLength = legendWidth(groups[0], metrics) + kBetweenGroups + legendWidth(groups[1], metrics);
    legendRows = legendLength <= legendSpace ? 1 : 2;
    legend = QRect(target.left() + kPad, target.top() + kPad, legendSpace, legendRows * (line + 4));
    const int numbers = kTick + 2 + line;
    const int fixed = 2 * kPad + legend.height() + kGap + 2 * (line + 2 + numbers) + kGap + line + 2;
    const int plotHeight = std::max(2 * kInner + 10, (target.height() - fixed) / 2);
    valueTicks = roundTicks(scene.valueMin, scene.valueMax, std::max(2, plotHeight / 30));

    int labelWidth = metrics.horizontalAdvance(QStringLiteral("10"));
    for (double value : valueTicks.values)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(withPowerOfTen(tickText(value, valueTicks))));
    const int left = target.left() + kPad + labelWidth + kTick + 4;
    const int right = target.left() + target.width() - kPad - metrics.horizontalAdvance(QStringLiteral("-0,00")) / 2;
    const int width = std::max(10, right - left);

    int y = legend.bottom() + 1 + kGap;
    for (int panel : {0, 1}) {
        titles[panel] = QRect(left, y, width, line);
        y += line + 2;
        panels[panel] = QRect(left, y, width, plotHeight);
        y += plotHeight + numbers + (panel == 0 ? kGap : 0);
    }
    axisTitle = QRect(left, y + 2, width, line);

    columns_ = std::max(2, static_cast<int>(std::lround(width * pixelRatio_)));
    if (scene.hasRange())
        coefficientTicks = roundTicks(scene.from, scene.to, std::max(2, width / 80));
}

double BifurcationGeometry::columnX(int column) const
{
    return panels[0].left() + (column + 0.5) / pixelRatio_;
}

int BifurcationGeometry::columnAt(double x) const
{
    const double column = std::floor((x - panels[0].left()) * pixelRatio_);
    if (!(column >= 0))
        return 0;
    return column >= columns_ - 1 ? columns_ - 1 : static_cast<int>(column);
}

double BifurcationGeometry::coefficientX(double value) const
{
    const double step = (scene_.to - scene_.from) / (columns_ - 1);
    return panels[0].left() + (0.5 + (value - scene_.from) / step) / pixelRatio_;
}

double BifurcationGeometry::valueY(int panel, double value) const
{
    const QRect &area = panels[panel];
    const double bottom = area.top() + area.height() - kInner;
    const double span = area.height() - 2.0 * kInner;
    return bottom - (value - scene_.valueMin) / (scene_.valueMax - scene_.valueMin) * span;
}

double BifurcationGeometry::valueAt(int panel, double y) const
{
    const QRect &area = panels[panel];
    const double bottom = area.top() + area.height() - kInner;
    const double span = area.height() - 2.0 * kInner;
    return scene_.valueMin + (bottom - y) / span * (scene_.valueMax - scene_.valueMin);
}

int BifurcationGeometry::panelAt(QPointF point) const
{
    for (int panel : {0, 1})
        if (QRectF(panels[panel]).contains(point))
            return panel;
    return -1;
}

double BifurcationGeometry::pickedValue(double x) const
{
    // A pointer stands on a logical pixel, which at a pixel ratio above 1 holds more than one
    // column: every value drawn within that pixel is one the user pointed at.
    const double step = (scene_.to - scene_.from) / (columns_ - 1);
    const double pixel = std::clamp(std::floor(x - panels[0].left()), 0.0, std::max(0.0, panels[0].width() - 1.0));
    const double low = std::max(scene_.from, scene_.from + (pixel * pixelRatio_ - 0.5) * step);
    double high = scene_.from + ((pixel + 1) * pixelRatio_ - 0.5) * step;
    if (high >= scene_.to || pixel + 1 >= panels[0].width())
        high = std::nextafter(scene_.to, std::numeric_limits<double>::infinity());
    return plot_mapping::tidiestIn(low, high);
}

BifurcationDiagram diagramFor(const BifurcationScene &scene, const BifurcationGeometry &geometry)
{
    if (scene.alongParameter())
        return bifurcationDiagram(parameterPath(*scene.ecology, scene.parameter), scene.from, scene.to,
                                  geometry.columns());
    return bifurcationDiagram(scene.system, scene.coefficient, scene.from, scene.to, geometry.columns());
}

QString describeForToolTip(const TypeChange &change, const QString &symbol)
{
    QString text = QString::fromStdString(
        describeChange(change, [](double x, double y) { return pointText(x, y).toStdString(); }));
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return QStringLiteral("%1 = %2\n%3").arg(symbol, textOf(change.value), text);
}

void paintBifurcation(QPainter &painter, const QRect &target, const BifurcationScene &scene)
{
    painter.save();
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const BifurcationGeometry g(target, scene, painter.font(), ratio);
    painter.setClipRect(target);
    painter.fillRect(target, Qt::white);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::Antialiasing, true);

    drawLegend(painter, g);
    for (int panel : {0, 1})
        drawPanelFrame(painter, g, panel, scene, ratio);
    painter.setPen(kText);
    painter.drawText(g.axisTitle, Qt::AlignHCenter | Qt::AlignVCenter,
                     (scene.alongParameter() ? QStringLiteral("Parámetro %1") : QStringLiteral("Coeficiente %1"))
                         .arg(scene.axisSymbol()));

    if (!scene.hasRange()) {
        painter.drawText(g.panels[0], Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("Elija un intervalo con «Desde» menor que «Hasta»."));
        painter.restore();
        return;
    }
    const BifurcationDiagram diagram = diagramFor(scene, g);
    for (int panel : {0, 1}) {
        drawCurves(painter, g, panel, diagram);
        drawLeavingArrows(painter, g, panel, diagram);
    }
    drawCurrentValue(painter, g, scene, ratio);
    drawMarks(painter, g, diagram);
    painter.restore();
}
