// The commands that recompute the trajectory: the time span button and a press in the
// phase plane.
#include "interaction/prog.h"

#include "display/plots/plot_mapping.h"
#include "display/plots/twips.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/text_box.h"
#include "display/views/plot_views.h"
#include "model/failure.h"

#include <QLineEdit>
#include <QScrollBar>

#include <cmath>

void Prog::Calcular_Click()
{
    double v = 0;
    try {
        v = numberFromText(Text2->text());
    } catch (const Failure &) {
        // A text that is no number changes nothing and shows the span in force again.
        v = 0;
    }
    if (state_.setSpan(v)) {
        calcula();
        resetTimeCursor();
        pintura();
    } else {
        v = state_.span();
    }
    writeText(Text2, textOf(v));
}

// A recomputation asked for by a live change: as Calcular makes it, after a span box that
// holds no usable span is given the span in force, as Calcular would write it, so that a change
// always recomputes.
void Prog::recomputeAsCalcular()
{
    bool holdsSpan = false;
    try {
        holdsSpan = Model::isUsableSpan(numberFromText(Text2->text()));
    } catch (const Failure &) {
    }
    if (!holdsSpan)
        writeText(Text2, textOf(state_.span()));
    Calcular_Click();
}

// An example's initial point and span, shown where Calcular reads them.
void Prog::showStart(double x0, double y0, double span)
{
    writeText(XI, textOf(x0));
    writeText(YI, textOf(y0));
    writeText(Text2, textOf(span));
}

namespace {

// One coordinate of the pressed point in the window's first view: snapped onto its axis when
// asked and nearer than 80 twips (distances compared in single precision), otherwise the
// inverse of the phase-plane mapping as a single-precision number.
QString coordinateText(const plot_mapping::PlotMapping &m, float offsetTwips, bool snap)
{
    if (snap && std::fabs(offsetTwips) < 80.0f)
        return QStringLiteral("0");
    return textOfSingle(m.phaseUnitsOfOffset(offsetTwips));
}

// The same in any other view, where the axis lines may stand far outside the drawing area and
// single precision would land the point pixels away: the offset and the value in double
// precision, written with the fewest digits that stay within a tenth of a pixel of the press.
QString zoomedCoordinateText(double offsetTwips, double twipsPerUnit, bool snap)
{
    if (snap && std::fabs(offsetTwips) < 80)
        return QStringLiteral("0");
    return textWithin(offsetTwips / twipsPerUnit, 0.1 * kTwipsPerPixel / twipsPerUnit);
}

} // namespace

void Prog::XYgraf_MouseDown(int /*Button: every button sets the point*/, int Shift, float X, float Y)
{
    const bool snap = Shift == 1;
    const plot_mapping::PlotMapping m = plots_->mapping();
    if (state_.view() == PlaneView{}) {
        writeText(XI, coordinateText(m, m.twipsRightOfYAxis(X), snap));
        writeText(YI, coordinateText(m, m.twipsAboveXAxis(Y), snap));
    } else {
        writeText(XI, zoomedCoordinateText(double(X) - m.phaseOriginX, m.phaseStep, snap));
        writeText(YI, zoomedCoordinateText(m.phaseOriginY - double(Y), m.phaseStep, snap));
    }
    calcula();
    resetTimeCursor();
    pintura();
}

// Puts the time cursor back to sample 0. Moving it runs the change procedure, which fills the
// read-outs; when it stands at 0 already they are filled here, so that they never keep the
// values of the trajectory just replaced.
void Prog::resetTimeCursor()
{
    if (state_.cursor() != 0)
        state_.setCursor(0);
    else
        showReadOuts(0);
}
