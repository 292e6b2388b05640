// The time cursor: the scroll bar selects one sample, whose time and values the three
// read-outs show and which the plots draw thick.
#include "interaction/prog.h"

#include "display/controls/accessibility.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/text_box.h"
#include "state/time_player.h"

#include <QLineEdit>
#include <QScrollBar>

// The state takes the scroll bar's value; the cursor it moves is shown (showTimeCursor).
void Prog::HScroll1_Change()
{
    state_.setCursor(HScroll1->value());
}

void Prog::HScroll1_Scroll()
{
    state_.setCursor(HScroll1->value());
}

void Prog::showTimeCursor()
{
    showReadOuts(state_.cursor());
    pintura();
}

// The read-outs show what is stored for sample c, whether or not it is valid.
void Prog::showReadOuts(int c)
{
    writeText(TR, textOf(static_cast<double>(c) * model.dt));
    writeText(XR, textOf(Round(model.xs(c), 3)));
    writeText(YR, textOf(Round(model.ys(c), 3)));
    if (player_ && player_->isPlaying() && lastDescribed_.isValid() && lastDescribed_.elapsed() < 250)
        return;
    describeTimeCursor(HScroll1);
    lastDescribed_.start();
}
