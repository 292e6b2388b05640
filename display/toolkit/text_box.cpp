#include "text_box.h"

#include <QLineEdit>

void writeText(QLineEdit *box, const QString &text)
{
    box->setText(text);
    box->setCursorPosition(0);
}
