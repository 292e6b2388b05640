// Editing one coefficient through its label.
#include "interaction/prog.h"

#include "display/controls/clickable_label.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/text_box.h"
#include "model/failure.h"

#include <QInputDialog>

void Prog::par_Click(int index)
{
    try {
        if (index < 0 || index >= int(par.size()))
            return;
        const QString prompt = QStringLiteral("Nuevo valor del parámetro %1").arg(QChar(u'A' + index));
        const QString offered = textOf(Round(state_.coefficient(index), 3));
        bool accepted = false;
        const QString answer = QInputDialog::getText(this, QStringLiteral("Modificación de datos"), prompt,
                                                     QLineEdit::Normal, offered, &accepted);
        if (!accepted)
            return;   // cancelled: nothing changes and nothing is shown
        // The offer is rounded to 3 decimals: accepting it unchanged keeps the exact value,
        // so that 0.00004 does not turn into 0.
        const double value = answer == offered ? state_.coefficient(index) : numberFromText(answer);
        state_.setCoefficient(index, value);
        par[index]->setToolTip(textOf(state_.coefficient(index)));
    } catch (const Failure &) {
        // The coefficient stays; its letter says why until the next change.
        par[index]->setToolTip(notANumberCue());
    }
}
