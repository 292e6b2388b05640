// The commands that recompute the trajectory: the time span button and a press in the
// phase plane.
#include "interaction/prog.h"

#include "display/plots/plot_mapping.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/text_box.h"
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
    if (v > 0) {
        model.dt = v / 100;
        calcula();
        resetTimeCursor();
        pintura();
    } else {
        v = model.dt * 100;
    }
    writeText(Text2, textOf(v));
}

namespace {

// One coordinate of the pressed point: snapped onto its axis when asked and nearer than
// 80 twips (distances compared in single precision), otherwise the inverse of the
// phase-plane mapping as a single-precision number.
QString coordinateText(float offsetTwips, bool snap)
{
    if (snap && std::fabs(offsetTwips) < 80.0f)
        return QStringLiteral("0");
    return textOfSingle(plot_mapping::phaseUnitsOfOffset(offsetTwips));
}

} // namespace

void Prog::XYgraf_MouseDown(int /*Button: every button sets the point*/, int Shift, float X, float Y)
{
    const bool snap = Shift == 1;
    writeText(XI, coordinateText(plot_mapping::twipsRightOfYAxis(X), snap));
    writeText(YI, coordinateText(plot_mapping::twipsAboveXAxis(Y), snap));
    calcula();
    resetTimeCursor();
    pintura();
}

// Puts the time cursor back to sample 0. Moving it runs the change procedure, which fills the
// read-outs; when it stands at 0 already they are filled here, so that they never keep the
// values of the trajectory just replaced.
void Prog::resetTimeCursor()
{
    if (HScroll1->value() != 0)
        HScroll1->setValue(0);
    else
        showReadOuts(0);
}
