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
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        if (showsInstead()) {
            instead_.clear();
            typedOverInstead_ = true;
        }
    });
    // A changed value has been reported; an unchanged one typed over the text in place of a
    // number is reported here, once the edit ends.
    connect(this, &QDoubleSpinBox::valueChanged, this, [this] {
        instead_.clear();
        typedOverInstead_ = false;
    });
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
        if (typedOverInstead_) {
            typedOverInstead_ = false;
            emit valueChanged(value());
        }
    });
}

QString NumberBox::textFromValue(double value) const
{
    return showsInstead() ? instead_ : exactTextOf(value);
}

void NumberBox::showInstead(const QString &text)
{
    instead_ = text;
    typedOverInstead_ = false;
    lineEdit()->setText(text);
}

void NumberBox::showValue(double value)
{
    instead_.clear();
    typedOverInstead_ = false;
    setValue(value);
    lineEdit()->setText(textFromValue(this->value()));
}

void NumberBox::clearInstead()
{
    if (!showsInstead())
        return;
    instead_.clear();
    lineEdit()->setText(textFromValue(value()));
}

double NumberBox::valueFromText(const QString &text) const
{
    if (showsInstead() && text == instead_)
        return value();
    try {
        return numberFromText(text);
    } catch (const Failure &) {
        return value();
    }
}

QValidator::State NumberBox::validate(QString &text, int &) const
{
    if (showsInstead() && text == instead_)
        return QValidator::Acceptable;
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
    clearInstead();
    setValue(decimalSum(value(), singleStep(), steps));
    selectAll();
}
