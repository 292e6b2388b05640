// The time cursor: the scroll bar selects one sample, whose time and values the three
// read-outs show and which the plots draw thick.
#include "prog.h"

#include "accessibility.h"
#include "conversions.h"

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

// The read-outs show what is stored for the sample, whether or not it is valid.
void Prog::showTimeCursor()
{
    const int c = HScroll1->value();
    TR->setText(textOf(static_cast<double>(c) * model.dt));
    XR->setText(textOf(Round(model.xs(c), 3)));
    YR->setText(textOf(Round(model.ys(c), 3)));
    describeTimeCursor(HScroll1, TR->text(), XR->text(), YR->text());
    pintura();
}
