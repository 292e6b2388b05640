#include "display/analysis/overlays/legend_painter.h"

#include "display/analysis/overlays/axis_titles.h"
#include "display/analysis/overlays/equilibrium_marks.h"
#include "display/analysis/overlays/observation_marks.h"
#include "display/analysis/overlays/overlay_style.h"
#include "display/analysis/overlays/phase_geometry.h"
#include "display/analysis/overlays/separatrix_painter.h"
#include "display/plots/plot_canvas.h"
#include "display/plots/plot_mapping.h"
#include "display/plots/twips.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/palette.h"
#include "model/analysis/first_integral.h"
#include "model/analysis/lyapunov.h"
#include "model/analysis/type_names.h"
#include "model/model.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLineF>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

using overlay_style::kTickLength;

constexpr int kLegendFontPixels = 9;
constexpr double kPadding = 4;       // inside the legend's border
constexpr double kSymbolWidth = 15;  // the column of the symbols
constexpr double kSymbolGap = 4;     // between a symbol and its text
constexpr double kRowHeight = 12;    // room for an equilibrium's mark
using axis_titles::kMargin;   // between the legend or a title and the area's border
using axis_titles::titleFont;
using axis_titles::PlacedTitle;
using axis_titles::placeTitles;
using axis_titles::axisStrip;

constexpr int kSmallLegendFontPixels = 7;
constexpr double kSmallRowHeight = 9;   // the marks' room in the small font
constexpr double kColumnGap = 8;     // between two columns of the legend
// The legend takes no more than this part of the plane while a smaller layout fits.
constexpr double kMostOfThePlane = 1.0 / 6;

QFont legendFont(int pixels = kLegendFontPixels)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixels);
    return font;
}

// How the legend's lines are set: in one or two columns, filled top to bottom, in a font.
struct LegendLayout {
    int columns = 1;
    int fontPixels = kLegendFontPixels;
    double rowHeight = kRowHeight;
    double columnWidth = 0;   // a symbol, its gap and the widest text
    QSizeF size;
};

LegendLayout layoutWith(const std::vector<LegendEntry> &entries, int columns, int fontPixels, double rowHeight)
{
    const QFontMetricsF metrics(legendFont(fontPixels));
    double widest = 0;
    for (const LegendEntry &entry : entries)
        widest = std::max(widest, metrics.horizontalAdvance(entry.text));
    LegendLayout layout{columns, fontPixels, rowHeight, std::ceil(kSymbolWidth + kSymbolGap + widest), {}};
    const int rows = (int(entries.size()) + columns - 1) / columns;
    layout.size = {std::ceil(2 * kPadding + columns * layout.columnWidth + (columns - 1) * kColumnGap),
                   2 * kPadding + double(rows) * rowHeight};
    return layout;
}

// One column in the usual font; where that would take more than a sixth of the plane, two
// columns, then the small font in one or two, whichever first keeps within it and fits across
// the plane; the smallest of them otherwise. A presentation's font steps make every font and row
// that many pixels larger.
LegendLayout layoutFor(const std::vector<LegendEntry> &entries, const std::optional<QSizeF> &area, int fontStep)
{
    const int font = kLegendFontPixels + fontStep, smallFont = kSmallLegendFontPixels + fontStep;
    const double row = kRowHeight + fontStep, smallRow = kSmallRowHeight + fontStep;
    const LegendLayout usual = layoutWith(entries, 1, font, row);
    if (!area || entries.size() < 2)
        return usual;
    const double most = kMostOfThePlane * area->width() * area->height();
    const auto across = [&](const LegendLayout &l) { return l.size.width() <= area->width() - 2 * kMargin; };
    const auto taken = [](const LegendLayout &l) { return l.size.width() * l.size.height(); };
    const LegendLayout candidates[] = {usual, layoutWith(entries, 2, font, row), layoutWith(entries, 1, smallFont, smallRow),
                                       layoutWith(entries, 2, smallFont, smallRow)};
    const LegendLayout *smallest = &usual;
    for (const LegendLayout &l : candidates) {
        if (across(l) && taken(l) <= most)
            return l;
        if (across(l) && taken(l) < taken(*smallest))
            smallest = &l;
    }
    return *smallest;
}

// The type's name as the analysis gives it, with a capital first letter.
using plot_mapping::PlotMapping;

// The view the scene's plots show; the designed one without plots.
PlotMapping mappingOf(const LegendScene &scene)
{
    return scene.plots ? scene.plots->mapping : PlotMapping{};
}

QString capitalised(const char *utf8)
{
    QString text = QString::fromUtf8(utf8);
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

std::optional<Segment> drawnPart(const PlotMapping &m, const StraightLine &line, const QSizeF &area)
{
    return clipToRect(line, phase_geometry::visibleRect(m, area, 1));
}

// How many pixel steps along a segment of the plane lie in rect.
int pixelsOfSegmentIn(const PlotMapping &m, const QRectF &rect, const Segment &segment)
{
    const QPointF a = phase_geometry::pointAt(m, segment.x1, segment.y1);
    const QPointF b = phase_geometry::pointAt(m, segment.x2, segment.y2);
    const int steps = int(std::ceil(QLineF(a, b).length()));
    int count = 0;
    for (int i = 0; i <= steps; ++i)
        count += rect.contains(steps == 0 ? a : a + (b - a) * (double(i) / steps));
    return count;
}

int samplesIn(const PlotMapping &m, const QRectF &rect, const SampleArray<double> &xs, const SampleArray<double> &ys,
              const SampleArray<bool> &ok)
{
    int count = 0;
    for (int k = kFirstSample; k <= kLastSample; ++k)
        count += ok(k) && rect.contains(phase_geometry::dotCentreAt(m, xs(k), ys(k)));
    return count;
}

std::vector<QRectF> paintTitles(QPainter &painter, const PlotMapping &m, PlotKind plot, const QSizeF &area,
                                const QColor &colour, const QString &timeTitle, int fontStep)
{
    painter.save();
    painter.setFont(titleFont(fontStep));
    painter.setPen(colour);
    std::vector<QRectF> painted;
    for (const PlacedTitle &title : placeTitles(m, plot, area, timeTitle, fontStep)) {
        painter.drawText(title.baseline, title.text);
        painted.push_back(title.rect);
    }
    painter.restore();
    return painted;
}

// Whether a rectangle would cover one of the phase plane's axis titles or the point where the
// keyboard's crosshair starts, the initial point: the legend never does.
bool coversTitleOrCrosshair(const QRectF &rect, const LegendScene &scene, const QSizeF &area)
{
    const PlotMapping m = mappingOf(scene);
    for (const PlacedTitle &title : placeTitles(m, PlotKind::PhasePlane, area, QStringLiteral("t"), scene.overlays.fontStep))
        if (rect.intersects(title.rect))
            return true;
    if (scene.plots && scene.plots->current) {
        const Model &model = *scene.plots->current;
        const double reach = 6;   // the crosshair's arms around its pixel
        if (rect.adjusted(-reach, -reach, reach, reach).contains(phase_geometry::dotCentreAt(m, model.xs(0), model.ys(0))))
            return true;
    }
    return false;
}

void paintDots(QPainter &painter, QPointF centre, const QColor &colour)
{
    for (int dx : {-6, -3, 0, 3, 6})
        painter.fillRect(QRectF(std::floor(centre.x()) + dx, std::floor(centre.y()), 1, 1), colour);
}

void paintSymbol(QPainter &painter, const LegendEntry &entry, QPointF centre, const LegendColours &colours)
{
    const QPointF half(std::floor(kSymbolWidth / 2), 0);
    switch (entry.kind) {
    case LegendEntry::Kind::Trajectory:
        paintDots(painter, centre, colours.ink);
        break;
    case LegendEntry::Kind::KeptTrajectories:
        paintDots(painter, centre, keptTrajectoryColour());
        break;
    case LegendEntry::Kind::Maximum:
    case LegendEntry::Kind::Minimum: {
        // Drawn as the plots draw it, at the cell of the symbol's centre.
        const auto kind = entry.kind == LegendEntry::Kind::Maximum ? PlotCanvas::Mark::Maximum : PlotCanvas::Mark::Minimum;
        const QPointF cell(std::floor(centre.x()), std::floor(centre.y()));
        paintMark(painter, turningPointColour(kind), kind, float(cell.x() * kTwipsPerPixel),
                  float(cell.y() * kTwipsPerPixel));
        break;
    }
    case LegendEntry::Kind::XNullcline:
    case LegendEntry::Kind::YNullcline:
        painter.setPen(QPen(entry.kind == LegendEntry::Kind::XNullcline ? overlay_style::kXNullcline
                                                                         : overlay_style::kYNullcline,
                            1));
        painter.drawLine(centre - half, centre + half);
        break;
    case LegendEntry::Kind::Equilibrium:
        paintEquilibriumSymbol(painter, centre, entry.type);
        break;
    case LegendEntry::Kind::StableSeparatrix:
    case LegendEntry::Kind::UnstableSeparatrix:
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(separatrixPen(entry.kind == LegendEntry::Kind::StableSeparatrix ? Separatrix::Kind::Stable
                                                                                       : Separatrix::Kind::Unstable));
        painter.drawLine(centre - half, centre + half);
        painter.restore();
        break;
    case LegendEntry::Kind::LevelCurves:
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(palette::kLevelCurve.colour, 1, Qt::DashLine));
        painter.drawLine(centre - half, centre + half);
        painter.restore();
        break;
    case LegendEntry::Kind::Observations:
        paintObservationCircle(painter, centre);
        break;
    case LegendEntry::Kind::Note:
        break;
    case LegendEntry::Kind::Basin: {
        const QRectF swatch(std::floor(centre.x()) - 6, std::floor(centre.y()) - 4, 13, 9);
        if (entry.basin >= 0)
            painter.fillRect(swatch, palette::basinTint(std::size_t(entry.basin)));
        else if (entry.basin == basins::kEscapes)
            painter.fillRect(swatch, palette::escapeTint());
        painter.setPen(QPen(colours.frame, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(swatch.adjusted(0.5, 0.5, -0.5, -0.5));
        break;
    }
    }
}

void paintLegend(QPainter &painter, const QRectF &rect, const std::vector<LegendEntry> &entries,
                 const LegendLayout &layout, const LegendColours &colours)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect, colours.base);
    painter.setPen(QPen(colours.frame, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setFont(legendFont(layout.fontPixels));
    const QFontMetricsF metrics(painter.font());
    const int rows = (int(entries.size()) + layout.columns - 1) / layout.columns;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int row = int(i) % rows, column = int(i) / rows;
        const double left = rect.left() + kPadding + column * (layout.columnWidth + kColumnGap);
        const double top = rect.top() + kPadding + double(row) * layout.rowHeight;
        const QPointF centre(left + std::floor(kSymbolWidth / 2) + 0.5, top + std::floor(layout.rowHeight / 2) + 0.5);
        paintSymbol(painter, entries[i], centre, colours);
        painter.setPen(colours.axes);
        const double baseline = top + (layout.rowHeight - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent();
        painter.drawText(QPointF(left + kSymbolWidth + kSymbolGap, baseline), entries[i].text);
    }
    painter.restore();
}

} // namespace

std::vector<LegendEntry> legendEntries(const LegendScene &scene, const QSizeF &area)
{
    const PlotMapping m = mappingOf(scene);
    using Kind = LegendEntry::Kind;
    std::vector<LegendEntry> entries{{Kind::Trajectory, {}, QStringLiteral("Trayectoria")}};
    if (scene.plots && scene.plots->kept && !scene.plots->kept->empty())
        entries.push_back({Kind::KeptTrajectories, {}, QStringLiteral("Trayectorias conservadas")});
    if (scene.plots && scene.plots->observations) {
        const Observations &series = scene.plots->observations->series;
        entries.push_back({Kind::Observations, {},
                           QStringLiteral("Observaciones: %1, %2")
                               .arg(QString::fromStdString(series.xName), QString::fromStdString(series.yName))});
        if (!scene.observationUnit.isEmpty())
            entries.push_back({Kind::Note, {}, scene.observationUnit});
    }
    if (scene.plots && scene.plots->turningPoints && scene.plots->current) {
        const Model &model = *scene.plots->current;
        const QRectF inArea(QPointF(0, 0), area);
        const auto shown = [&](TurningPoint::Kind kind) {
            return std::any_of(scene.plots->turningPoints->begin(), scene.plots->turningPoints->end(),
                               [&](const TurningPoint &p) {
                                   return p.kind == kind
                                       && inArea.contains(phase_geometry::dotCentreAt(m, model.xs(p.sample), model.ys(p.sample)));
                               });
        };
        if (shown(TurningPoint::Kind::Maximum))
            entries.push_back({Kind::Maximum, {}, QStringLiteral("Máximo de x o de y")});
        if (shown(TurningPoint::Kind::Minimum))
            entries.push_back({Kind::Minimum, {}, QStringLiteral("Mínimo de x o de y")});
    }
    if (!scene.system)
        return entries;
    const Coefficients &k = scene.system->coefficients;
    if (scene.overlays.nullclines && drawnPart(m, xNullcline(k), area))
        entries.push_back({Kind::XNullcline, {}, QStringLiteral("Isoclina x' = 0")});
    if (scene.overlays.nullclines && drawnPart(m, yNullcline(k), area))
        entries.push_back({Kind::YNullcline, {}, QStringLiteral("Isoclina y' = 0")});
    if (scene.overlays.equilibria) {
        std::vector<EquilibriumType> types;
        for (const Equilibrium &e : scene.system->equilibria)
            if (equilibriumDrawn(e, area, m))
                types.push_back(e.type());
        std::sort(types.begin(), types.end());
        types.erase(std::unique(types.begin(), types.end()), types.end());
        for (EquilibriumType type : types)
            entries.push_back({Kind::Equilibrium, type, capitalised(typeName(type))});
    }
    if (scene.overlays.separatrices) {
        if (separatrixDrawn(Separatrix::Kind::Stable, *scene.system, area, m))
            entries.push_back({Kind::StableSeparatrix, {}, QStringLiteral("Separatriz estable")});
        if (separatrixDrawn(Separatrix::Kind::Unstable, *scene.system, area, m))
            entries.push_back({Kind::UnstableSeparatrix, {}, QStringLiteral("Separatriz inestable")});
    }
    // Level curves are drawn for the first integral, or for a Lyapunov function that proves
    // stability, and for nothing else.
    if (scene.overlays.levelCurves) {
        if (hasFirstIntegral(k))
            entries.push_back({Kind::LevelCurves, {}, QStringLiteral("Curvas de nivel de H")});
        else if (gohLyapunovFunction(k))
            entries.push_back({Kind::LevelCurves, {}, QStringLiteral("Curvas de nivel de V (Lyapunov)")});
    }
    if (scene.overlays.basins && scene.attractors && scene.basinLabels) {
        for (const basins::Label label : *scene.basinLabels)
            if (label >= 0 && std::size_t(label) < scene.attractors->size()) {
                const basins::Attractor &a = (*scene.attractors)[std::size_t(label)];
                entries.push_back({Kind::Basin, {}, pointText(a.x, a.y, readableTextOf),
                                   label});
            }
        if (std::find(scene.basinLabels->begin(), scene.basinLabels->end(), basins::kEscapes)
            != scene.basinLabels->end())
            entries.push_back({Kind::Basin, {}, QStringLiteral("Crece sin límite"), basins::kEscapes});
        // Left untinted: the swatch shows the drawing area's own colour.
        if (std::find(scene.basinLabels->begin(), scene.basinLabels->end(), basins::kClosed)
            != scene.basinLabels->end())
            entries.push_back({Kind::Basin, {}, QStringLiteral("Órbitas cerradas (sin atractor)"), basins::kClosed});
    }
    return entries;
}

QSizeF legendSize(const std::vector<LegendEntry> &entries, const std::optional<QSizeF> &area, int fontStep)
{
    return layoutFor(entries, area, fontStep).size;
}

QRectF legendRect(LegendCorner corner, const QSizeF &size, const QSizeF &area, const PlotMapping &m)
{
    const QRectF room = QRectF(QPointF(0, 0), area).adjusted(kMargin, kMargin, -kMargin, -kMargin);
    QRectF quadrant = room;
    const QPointF origin = phase_geometry::dotCentreAt(m, 0, 0);
    if (origin.x() >= 0 && origin.x() < area.width())
        quadrant.setLeft(std::max(room.left(), std::ceil(origin.x() + axisStrip())));
    if (origin.y() > 0 && origin.y() <= area.height())
        quadrant.setBottom(std::min(room.bottom(), std::floor(origin.y() - axisStrip())));
    if (quadrant.width() < size.width() || quadrant.height() < size.height())
        quadrant = room;
    const bool right = corner == LegendCorner::TopRight || corner == LegendCorner::BottomRight;
    const bool top = corner == LegendCorner::TopRight || corner == LegendCorner::TopLeft;
    const double left = right ? std::floor(quadrant.right() - size.width()) : quadrant.left();
    const double y = top ? quadrant.top() : std::floor(quadrant.bottom() - size.height());
    return QRectF(QPointF(left, y), size);
}

int hiddenBy(const QRectF &rect, const LegendScene &scene, const QSizeF &area)
{
    const PlotMapping m = mappingOf(scene);
    int count = 0;
    if (scene.plots && scene.plots->current) {
        const Model &model = *scene.plots->current;
        count += samplesIn(m, rect, model.xs, model.ys, model.ok);
    }
    if (scene.plots && scene.plots->kept)
        for (const Trajectory &kept : *scene.plots->kept)
            count += samplesIn(m, rect, kept.xs, kept.ys, kept.ok);
    if (scene.plots && scene.plots->observations) {
        const Observations &series = scene.plots->observations->series;
        for (std::size_t i = 0; i < series.size(); ++i)
            if (series.xs[i] && series.ys[i])
                count += rect.contains(phase_geometry::pointAt(m, *series.xs[i], *series.ys[i]));
    }
    if (!scene.system)
        return count;
    const Coefficients &k = scene.system->coefficients;
    if (scene.overlays.nullclines)
        for (const StraightLine &line : {xNullcline(k), yNullcline(k)})
            if (const auto part = drawnPart(m, line, area))
                count += pixelsOfSegmentIn(m, rect, *part);
    if (scene.overlays.equilibria) {
        const double r = overlay_style::kMarkRadius;
        const QRectF reached = rect.adjusted(-r, -r, r, r);
        for (const Equilibrium &e : scene.system->equilibria) {
            if (!equilibriumDrawn(e, area, m))
                continue;
            if (e.shape == Equilibrium::Shape::Point)
                count += reached.contains(phase_geometry::dotCentreAt(m, e.x, e.y));
            else if (const auto part = drawnPart(m, e.line, area))
                count += pixelsOfSegmentIn(m, rect, *part);
        }
    }
    if (scene.overlays.separatrices)
        count += separatrixPointsIn(rect, *scene.system, area, m);
    return count;
}

LegendCorner quietestCorner(const LegendScene &scene, const QSizeF &area, const QSizeF &size)
{
    // A corner over a title or the crosshair comes after every other.
    constexpr long long kCovers = 1LL << 40;
    LegendCorner best = kLegendCorners[0];
    long long least = -1;
    for (LegendCorner corner : kLegendCorners) {
        const QRectF rect = legendRect(corner, size, area, mappingOf(scene));
        const long long hidden = hiddenBy(rect, scene, area) + (coversTitleOrCrosshair(rect, scene, area) ? kCovers : 0);
        if (least < 0 || hidden < least) {
            least = hidden;
            best = corner;
        }
    }
    return best;
}

LegendPlace legendPlace(const LegendScene &scene, const QSizeF &area)
{
    const QSizeF size = legendSize(legendEntries(scene, area), area, scene.overlays.fontStep);
    const LegendCorner corner = scene.corner.value_or(quietestCorner(scene, area, size));
    return {corner, legendRect(corner, size, area, mappingOf(scene))};
}

std::vector<QRectF> paintLegendLayer(QPainter &painter, PlotKind plot, const QSizeF &area, const LegendScene &scene,
                                     const LegendColours &colours)
{
    const PlotMapping m = mappingOf(scene);
    std::vector<QRectF> painted = paintTitles(painter, m, plot, area, colours.axes, scene.overlays.timeTitle,
                                              scene.overlays.fontStep);
    if (plot != PlotKind::PhasePlane)
        return painted;
    const std::vector<LegendEntry> entries = legendEntries(scene, area);
    const LegendLayout layout = layoutFor(entries, area, scene.overlays.fontStep);
    const LegendCorner corner = scene.corner.value_or(quietestCorner(scene, area, layout.size));
    const QRectF rect = legendRect(corner, layout.size, area, m);
    paintLegend(painter, rect, entries, layout, colours);
    painted.push_back(rect);
    return painted;
}
