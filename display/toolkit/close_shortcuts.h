#pragma once

class QWidget;

// Escape and Ctrl+W close the window, wherever its focus is, as a secondary window of a
// desktop program closes. The action is named `objectName`, for tests and screen readers.
void addCloseShortcuts(QWidget *window, const char *objectName);
