#pragma once

#include "display/bifurcation/diagram_ticks.h"
#include "model/analysis/bifurcation.h"
#include "model/ecology/ecological_form.h"

#include <QFont>
#include <QPointF>
#include <QRect>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class QPainter;

// What the diagram shows: the system, the coefficient that moves (0..5 = A..F) over
// [from, to], and the range of the value axis shared by both panels. Where the system has an
// ecological form and `parameter` is one of its parameters, that parameter moves instead, the
// others staying as the form gives them.
struct BifurcationScene {
    Coefficients system;
    int coefficient = 0;
    std::optional<EcologicalParameters> ecology;   // the form in force, whose coefficients are system
    int parameter = -1;
    double from = -2, to = 2;
    double valueMin = 0, valueMax = 10;

    bool hasRange() const;   // from < to, both finite
    bool alongParameter() const;
    double current() const;   // the value of what moves
    QString axisSymbol() const;   // "D", "K₂"
};

// Where the parts of the diagram stand in a target rectangle, in the target's logical units,
// and the mappings between positions and values. The curves are sampled once per device pixel
// across a panel: column i is centred at columnX(i).
class BifurcationGeometry {
public:
    enum Panel { XPanel = 0, YPanel = 1 };

    BifurcationGeometry(const QRect &target, const BifurcationScene &scene, const QFont &font,
                        double pixelRatio);

    QRect target;
    QRect legend;
    int legendRows = 1;               // two when one row would not fit
    std::array<QRect, 2> panels;      // the plot areas, x above y
    std::array<QRect, 2> titles;      // the text above each plot area
    Ticks valueTicks;                 // the same for both panels
    Ticks coefficientTicks;
    QRect axisTitle;                  // under the lower panel

    int columns() const { return columns_; }
    double columnX(int column) const;
    int columnAt(double x) const;              // clamped to the columns
    double coefficientX(double value) const;   // continuous; the column of value is floor(...)
    double valueY(int panel, double value) const;
    double valueAt(int panel, double y) const;
    int panelAt(QPointF point) const;           // -1 outside both

    // The coefficient a press at x picks: the value with the fewest decimals among those drawn
    // within the logical pixel under x, so that a press on the pixel of -3 gives -3.
    double pickedValue(double x) const;

private:
    BifurcationScene scene_;
    double pixelRatio_ = 1;
    int columns_ = 2;
};

// Draws the whole diagram into `target`: legend, both panels with their scales, the curves
// (solid where stable, dashed where unstable, dotted where neutral, with an arrow at the edge
// where one leaves the view), the marks at type changes and the line at the
// coefficient's current value. The same routine serves the window, an image and an SVG file.
void paintBifurcation(QPainter &painter, const QRect &target, const BifurcationScene &scene);

// The diagram at the resolution of a geometry.
BifurcationDiagram diagramFor(const BifurcationScene &scene, const BifurcationGeometry &geometry);

// "D = -3\n" or "K₂ = 80\n" (the symbol given) followed by the change described in Spanish,
// numbers in the user's locale.
QString describeForToolTip(const TypeChange &change, const QString &symbol);
