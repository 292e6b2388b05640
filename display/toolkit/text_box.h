#pragma once

class QLineEdit;
class QString;

// Writes a text the program computed into a text box, shown from its start: a number wider
// than the box then loses its last digits from view, never its sign and first digits.
void writeText(QLineEdit *box, const QString &text);

// Shows that the box holds a text that is not a number and was left out: a red-tinted frame
// and the tooltip "No es un número: se mantiene el valor anterior", until its text changes,
// when the box looks as before and its own tooltip is back.
void markNotANumber(QLineEdit *box);

// "No es un número: se mantiene el valor anterior", the cue of a text left out.
QString notANumberCue();
