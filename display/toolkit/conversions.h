#pragma once

#include <QColor>
#include <QString>

// The conversions between numbers and the texts the user reads and types, in the user's
// locale (QLocale's default locale: its decimal separator).

// The number a text shows, blanks around it allowed. Throws Failure (type mismatch) for the
// empty text and for anything that is not a finite number, "inf" and "nan" included.
double numberFromText(const QString &text);

// The shortest text that shows the value, up to 15 significant digits; no group separators,
// "-" before negatives, no leading blank, whole numbers as plain digits, "0" for -0.
QString textOf(double value);

// The same for a single-precision value, up to 7 significant digits.
QString textOfSingle(float value);

// The value to 6 significant digits, as tables and labels show it ("2,42443" in Spanish); a
// power of ten written as a reader writes it ("2,9·10⁻¹⁴"); otherwise as textOf. Only for
// reading: numberFromText does not take it back.
QString shortTextOf(double value);

// As textOf, with a power of ten written as shortTextOf writes it, for the analysis' texts.
QString readableTextOf(double value);

// A number's text with its exponent written as a power of ten: "2,9E-14" as "2,9·10⁻¹⁴".
QString withPowerOfTen(const QString &text);

// The shortest text that reads back as the same double ("2,424425307"), as a tooltip gives
// the exact value of a number shown shorter; otherwise as textOf.
QString exactTextOf(double value);

// The separator between two numbers of a list: "; " where the decimal separator is a comma,
// ", " otherwise.
QString listSeparator();

// A point of the plane as every text of the program writes it: "(4, 3.8)", or "(4; 3,8)" where
// the decimal separator is a comma, each coordinate written by `number`.
QString pointText(double x, double y, QString (*number)(double) = textOf);

// A text the program keeps with its points written "(4, 3.8)", as pointText writes them.
QString withPointsInLocale(const QString &text);

// The shortest text whose number lies within `tolerance` (> 0) of the value, as a press
// writes a point of a zoomed view: no more digits than the view can tell apart.
QString textWithin(double value, double tolerance);

// value rounded to the given number of decimals, halves to the even neighbour.
double Round(double value, int digits);

// A colour from its red, green and blue components, each 0..255.
QColor RGB(int red, int green, int blue);
