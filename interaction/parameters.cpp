// Editing one coefficient through its label.
#include "interaction/prog.h"

#include "display/controls/clickable_label.h"
#include "display/toolkit/conversions.h"
#include "model/failure.h"

#include <QInputDialog>

void Prog::par_Click(int index)
{
    try {
        if (index < 0 || index >= int(par.size()))
            return;
        const QString prompt = QStringLiteral("Nuevo valor del parámetro %1").arg(QChar(u'A' + index));
        const QString offered = textOf(Round(parameter(index), 3));
        bool accepted = false;
        const QString answer = QInputDialog::getText(this, QStringLiteral("Modificación de datos"), prompt,
                                                     QLineEdit::Normal, offered, &accepted);
        // The offer is rounded to 3 decimals: accepting it unchanged keeps the exact value,
        // so that 0.00004 does not turn into 0.
        // Cancel gives the empty text, which is no number.
        const double value = accepted && answer == offered ? parameter(index)
                                                           : numberFromText(accepted ? answer : QString());
        parameter(index) = value;
        refreshParameterLabel(index, value);
    } catch (const Failure &) {
        // Nothing changes and nothing is shown.
    }
}
