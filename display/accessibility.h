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

// Makes that the accessible description of the scroll bar and announces the change.
void describeTimeCursor(QWidget *scrollBar, const QString &t, const QString &x, const QString &y);
