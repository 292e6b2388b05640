#pragma once

#include <QWidget>

// The help window ("Ayuda"): every mouse and keyboard action of the program, in Spanish.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);
};

// The help text, as HTML.
QString helpHtml();
