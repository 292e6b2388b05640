#pragma once

#include <QWidget>

// One equation of the window, x' = x (A + B x + C y) or y' = y (D + E x + F y): a transparent
// holder of the labels of its row, so that assistive technology reads the row as one formula
// with the coefficient letters inside it as buttons.
class EquationRow : public QWidget {
    Q_OBJECT

public:
    explicit EquationRow(QWidget *parent = nullptr) : QWidget(parent) {}
};
