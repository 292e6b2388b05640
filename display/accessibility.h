#pragma once

class QWidget;

// Tells Qt how to present the program's own widgets to assistive technology: the coefficient
// letters as buttons, the plots as charts without parts, the window as a window. Qt keeps the
// first interface it finds for a widget for the widget's whole life, so this must run before
// any widget exists. Installing twice does nothing more.
void installAccessibilityFactory();

// Spanish names and descriptions for assistive technology, for every control of the layout
// that does not already say what it is by its text.
void describeForAssistiveTechnology(QWidget *window);
