#pragma once

#include "display/plots/plot_mapping.h"

#include <QLineF>
#include <QSize>
#include <QPoint>
#include <QString>

#include <array>

class QWidget;

// The window's static layout, in twips. Nothing is created, moved or hidden at run time.
namespace layout {

inline constexpr const char *kCaption =
    "Representación  de soluciones de un sistema de Lotka-Volterra autónomo 2x2. ";
inline constexpr int kClientWidth = 9975;
inline constexpr int kClientHeight = 6900;

inline constexpr const char *kLabelFontFamily = "Times New Roman";
inline constexpr int kLabelFontPoints = 18;

// A ReadOut is a text box that shows a value: selectable and copyable, never typed into.
enum class Kind { Plot, ScrollBar, TextBox, ReadOut, Button, Label, ParameterLabel };

struct Control {
    const char *name;   // objectName, array members as "par(3)"
    Kind kind;
    int left, top, width, height;
    const char *text;   // initial text or caption
    const char *toolTip;
    int tabIndex;
};

struct Line {
    const char *name;
    const char *plot;   // the plot it lies in
    QPoint from, to;    // twips in the plot's drawing area
};

extern const std::array<Control, 29> kControls;
extern const std::array<Line, 6> kLines;

// Where a line lies in the view a mapping shows, in twips of plots as grown as the mapping's:
// the phase plane's axes and the time plots' lines of the value 0 move with the view.
QLineF lineIn(const Line &line, const plot_mapping::PlotMapping &m);

// How much larger than designed the plots are drawn in a window of the given size (logical
// pixels): 1 at the designed size, which is the least, and as large as both dimensions allow.
double growthFor(QSize windowSize);
// Places every control for the growth: the plots grow from the window's top-left margin, the
// phase plane square, the scroll bar as wide as the time plots; the boxes, the button and the
// equations keep their size and move down with the plots' bottom edge, the read-outs with the
// time plots' right edge, the equations and the span box with the time plots' left edge.
void arrange(QWidget *window, double growth);

// Builds every control of the layout as a child of window, in tab order, and sets the
// window's caption and client size.
void build(QWidget *window);

} // namespace layout
