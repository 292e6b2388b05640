#include "display/toolkit/number_box.h"

#include "display/toolkit/conversions.h"
#include "display/toolkit/decimal_step.h"
#include "model/failure.h"

#include <QLineEdit>
#include <QToolTip>

namespace {

// With this many decimals QDoubleSpinBox keeps every double it is given as it is.
constexpr int kAllDecimals = 323;

} // namespace

NumberBox::NumberBox(QWidget *parent) : QDoubleSpinBox(parent)
{
    setDecimals(kAllDecimals);
}

QString NumberBox::textFromValue(double value) const
{
    return textOf(value);
}

double NumberBox::valueFromText(const QString &text) const
{
    try {
        return numberFromText(text);
    } catch (const Failure &) {
        return value();
    }
}

QValidator::State NumberBox::validate(QString &text, int &) const
{
    try {
        const double typed = numberFromText(text);
        return typed >= minimum() && typed <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
    } catch (const Failure &) {
        return QValidator::Intermediate;   // perhaps a number still being typed
    }
}

// Called as an edit ends with a text validate() did not accept: the spin box then goes back to
// the value it had. Say so, where the text was typed.
void NumberBox::fixup(QString &text) const
{
    const QString message = QStringLiteral("No se admite «%1»: escriba un número entre %2 y %3. Se mantiene %4.")
                                .arg(text.trimmed(), textOf(minimum()), textOf(maximum()), textOf(value()));
    QToolTip::showText(mapToGlobal(QPoint(0, height())), message, const_cast<NumberBox *>(this));
    emit refused(message);
}

void NumberBox::stepBy(int steps)
{
    setValue(decimalSum(value(), singleStep(), steps));
    selectAll();
}
