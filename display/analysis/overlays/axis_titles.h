#pragma once

#include "display/plots/plot_mapping.h"
#include "display/plots/trajectory_plot.h"

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

// Where the axis titles of a plot stand ("x" and "y" near the ends of the phase plane's axes;
// "t" at the end of a time plot's time axis and "x" or "y" at the top of its value axis), in
// logical pixels of its drawing area: the legend's layer paints them, and the scales' numbers and
// the legend keep clear of them.
namespace axis_titles {

inline constexpr double kMargin = 3;     // between a title (or the legend) and the area's border
inline constexpr double kTitleGap = 2;   // between a title and the ticks of its axis
inline constexpr int kTitleFontPixels = 11;

// A presentation's font steps make it that many pixels larger.
QFont titleFont(int fontStep = 0);

// The room an axis keeps beside it: its ticks, its title and a gap.
double axisStrip();

// A title: where its text starts, and the rectangle its pixels may touch.
struct PlacedTitle {
    QString text;
    QPointF baseline;
    QRectF rect;
};

// The titles stand clear of the ticks: in the phase plane they lie on the quadrant's side of
// both axes, in a time plot above the time axis and right of the value axis.
// A time plot's time axis has timeTitle for "t".
std::vector<PlacedTitle> placeTitles(const plot_mapping::PlotMapping &m, PlotKind plot, const QSizeF &area,
                                     const QString &timeTitle = QStringLiteral("t"), int fontStep = 0);

} // namespace axis_titles

// The rectangles of placeTitles.
std::vector<QRectF> axisTitleRects(const plot_mapping::PlotMapping &m, PlotKind plot, const QSizeF &area,
                                   const QString &timeTitle = QStringLiteral("t"), int fontStep = 0);
