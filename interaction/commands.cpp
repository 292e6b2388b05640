// The commands that recompute the trajectory: the time span button and a press in the
// phase plane.
#include "prog.h"

#include "conversions.h"
#include "failure.h"

#include <QLineEdit>
#include <QScrollBar>

#include <cmath>

void Prog::Calcular_Click()
{
    double v = 0;
    try {
        v = numberFromText(Text2->text());
        if (v > 0) {
            model.dt = v / 100;
            calcula();
            HScroll1->setValue(0);
            pintura();
        } else {
            v = model.dt * 100;
        }
    } catch (const Failure &) {
        // Continues at the write-back: a text that is no number comes back as "0".
    }
    Text2->setText(textOf(v));
}

namespace {

// One coordinate of the pressed point: snapped onto its axis when asked and nearer than
// 80 twips (distances compared in single precision), otherwise the inverse of the
// phase-plane mapping as a single-precision number.
QString coordinateText(float offsetTwips, bool snap)
{
    if (snap && std::fabs(offsetTwips) < 80.0f)
        return QStringLiteral("0");
    return textOfSingle(static_cast<float>(static_cast<double>(offsetTwips) / 400));
}

} // namespace

void Prog::XYgraf_MouseDown(int /*Button: every button sets the point*/, int Shift, float X, float Y)
{
    const bool snap = Shift == 1;
    XI->setText(coordinateText(X - 150.0f, snap));
    YI->setText(coordinateText(4100.0f - Y, snap));
    calcula();
    HScroll1->setValue(0);
    pintura();
}
