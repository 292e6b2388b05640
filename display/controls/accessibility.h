#pragma once

class QString;
class QWidget;

// Tells Qt how to present the program's own widgets to assistive technology: the coefficient
// letters as buttons, the plots as charts without parts, the window as a window. Qt keeps the
// first interface it finds for a widget for the widget's whole life, so this must run before
// any widget exists. Installing twice does nothing more.
void installAccessibilityFactory();

// Spanish names and descriptions for assistive technology, for every control of the layout
// that does not already say what it is by its text.
void describeForAssistiveTechnology(QWidget *window);

// What the time cursor says about the highlighted sample: "t = 0,74; x = 3,412; y = 5,019",
// made of the texts of the three read-outs.
QString timeCursorDescription(const QString &t, const QString &x, const QString &y);

// Announces to assistive technology, when any listens, that the time cursor's description
// changed. The description itself is made of the read-outs' texts when it is asked for.
void describeTimeCursor(QWidget *scrollBar);

// An equation read as words with its coefficients, for the accessible name of its row:
// "x prima igual a x por (4 + 0 x − 1 y)". species is 'x' or 'y'; a, b, c are the constant,
// the x and the y coefficient.
QString equationInWords(char species, double a, double b, double c);

// Gives the phase plane the point its keyboard crosshair stands on, "x = 5,25; y = 3,5", as its
// accessible value and at the head of its description, and announces the change.
void describePhasePlanePoint(QWidget *plane, const QString &x, const QString &y);
