#include "display/analysis/overlays/axis_titles.h"

#include "display/analysis/overlays/overlay_style.h"
#include "display/plots/twips.h"

#include <QFontMetricsF>
#include <QGuiApplication>

#include <algorithm>

namespace axis_titles {

using overlay_style::kTickLength;
using plot_mapping::PlotMapping;

QFont titleFont(int fontStep)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(kTitleFontPixels + fontStep);
    font.setItalic(true);
    return font;
}

double axisStrip()
{
    return kTickLength + kTitleGap + QFontMetricsF(titleFont()).height() + kTitleGap;
}

namespace {

// A title placed with its ink's top-left corner at `ink`, moved inside the area where it would
// leave it.
PlacedTitle placeTitle(const QFontMetricsF &metrics, const QString &text, QPointF ink, const QSizeF &area)
{
    const QRectF bounds = metrics.tightBoundingRect(text);   // from the baseline's start
    const double left = std::clamp(ink.x(), kMargin, std::max(kMargin, area.width() - kMargin - bounds.width()));
    const double top = std::clamp(ink.y(), kMargin, std::max(kMargin, area.height() - kMargin - bounds.height()));
    const QPointF baseline = QPointF(left, top) - bounds.topLeft();
    return {text, baseline, bounds.translated(baseline).adjusted(-1, -1, 1, 1)};
}

} // namespace

std::vector<PlacedTitle> placeTitles(const PlotMapping &m, PlotKind plot, const QSizeF &area, const QString &timeTitle,
                                     int fontStep)
{
    const QFontMetricsF metrics(titleFont(fontStep));
    const auto sizeOf = [&metrics](const QString &text) { return metrics.tightBoundingRect(text).size(); };
    const QString horizontal = plot == PlotKind::PhasePlane ? QStringLiteral("x") : timeTitle;
    const QString vertical = plot == PlotKind::XAgainstTime ? QStringLiteral("x") : QStringLiteral("y");
    const plot_mapping::ValueAxis &values = plot == PlotKind::YAgainstTime ? m.yValues : m.xValues;
    const QPointF origin = (plot == PlotKind::PhasePlane ? pixelCellOf(m.phaseX(0), m.phaseY(0))
                                                         : pixelCellOf(m.timeX(0), values.y(0)))
                         + QPointF(0.5, 0.5);
    const double ticksRight = plot == PlotKind::PhasePlane ? kTickLength : 0;
    const QSizeF h = sizeOf(horizontal);
    return {placeTitle(metrics, horizontal,
                       QPointF(area.width() - kMargin - h.width(), origin.y() - 0.5 - kTickLength - kTitleGap - h.height()),
                       area),
            placeTitle(metrics, vertical, QPointF(origin.x() + 0.5 + ticksRight + kTitleGap + 1, kMargin), area)};
}

} // namespace axis_titles

std::vector<QRectF> axisTitleRects(const plot_mapping::PlotMapping &m, PlotKind plot, const QSizeF &area,
                                   const QString &timeTitle, int fontStep)
{
    std::vector<QRectF> rects;
    for (const axis_titles::PlacedTitle &title : axis_titles::placeTitles(m, plot, area, timeTitle, fontStep))
        rects.push_back(title.rect);
    return rects;
}

