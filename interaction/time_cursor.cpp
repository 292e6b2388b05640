// The time cursor: the scroll bar selects one sample, whose time and values the three
// read-outs show and which the plots draw thick.
#include "interaction/prog.h"

#include "display/controls/accessibility.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/text_box.h"

#include <QLineEdit>
#include <QScrollBar>

void Prog::HScroll1_Change()
{
    showTimeCursor();
}

void Prog::HScroll1_Scroll()
{
    showTimeCursor();
}

void Prog::showTimeCursor()
{
    showReadOuts(HScroll1->value());
    pintura();
}

// The read-outs show what is stored for sample c, whether or not it is valid.
void Prog::showReadOuts(int c)
{
    writeText(TR, textOf(static_cast<double>(c) * model.dt));
    writeText(XR, textOf(Round(model.xs(c), 3)));
    writeText(YR, textOf(Round(model.ys(c), 3)));
    describeTimeCursor(HScroll1);
}
