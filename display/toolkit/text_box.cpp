#include "display/toolkit/text_box.h"

#include <QLineEdit>
#include <QString>
#include <QVariant>

namespace {

// The box's own tooltip while the mark is shown; no such property while it is not.
constexpr char kOwnToolTip[] = "lvOwnToolTip";

} // namespace

void writeText(QLineEdit *box, const QString &text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

QString notANumberCue()
{
    return QStringLiteral("No es un número: se mantiene el valor anterior");
}

void markNotANumber(QLineEdit *box)
{
    if (box->property(kOwnToolTip).isValid())
        return;
    box->setProperty(kOwnToolTip, box->toolTip());
    box->setToolTip(notANumberCue());
    box->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid rgb(210, 0, 0); border-radius: 2px;"
                                      " background-color: rgb(255, 232, 232); padding: 1px 2px; }"));
    QObject::connect(
        box, &QLineEdit::textChanged, box,
        [box] {
            box->setStyleSheet(QString());
            box->setToolTip(box->property(kOwnToolTip).toString());
            box->setProperty(kOwnToolTip, QVariant());
        },
        Qt::SingleShotConnection);
}
