#pragma once

class QWidget;

// Spanish names and descriptions for assistive technology, for every control of the layout
// that does not already say what it is by its text.
void describeForAssistiveTechnology(QWidget *window);
