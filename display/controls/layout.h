#pragma once

#include "display/plots/plot_mapping.h"

#include <QLineF>
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

// Where a line lies in the view a mapping shows, in twips: the phase plane's axes and the time
// plots' lines of the value 0 move with the view; the lines of the time 0 stay.
QLineF lineIn(const Line &line, const plot_mapping::PlotMapping &m);

// Builds every control of the layout as a child of window, in tab order, and sets the
// window's caption and client size.
void build(QWidget *window);

} // namespace layout
