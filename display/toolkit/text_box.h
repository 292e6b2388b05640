#pragma once

class QLineEdit;
class QString;

// Writes a text the program computed into a text box, shown from its start: a number wider
// than the box then loses its last digits from view, never its sign and first digits.
void writeText(QLineEdit *box, const QString &text);
