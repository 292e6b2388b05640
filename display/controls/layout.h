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

// How a window of the given size (logical pixels) shows the designed one: magnified by a factor,
// 1 at the designed size, which is the least, and as large as both dimensions allow; in a
// window wider than that, the time plots take the width left over.
struct Growth {
    double factor = 1;
    int extraWidth = 0;   // logical pixels
};
Growth growthFor(QSize windowSize);
// How much wider than magnified the time plots' drawing areas are.
double timeStretchOf(const Growth &growth);
// Places every control for the growth: each where the designed window magnified puts it, its
// font as much larger; the time plots and the scroll bar wider by the extra width, the read-outs
// moved right by it. The phase plane stays square.
void arrange(QWidget *window, const Growth &growth);

// Builds every control of the layout as a child of window, in tab order, and sets the
// window's caption and client size.
void build(QWidget *window);

} // namespace layout
