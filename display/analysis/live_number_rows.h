#pragma once

#include "display/toolkit/decimal_step.h"

#include <QObject>
#include <QString>

#include <vector>

class NumberBox;
class QSlider;
class QWidget;

// Rows of live number controls, each a spin box holding its value exactly (up to 15
// significant digits in the user's locale) and a slider beside it whose 1001 positions are
// whole multiples of a round step (1, 2 or 5 × 10^n, at least max(1, |value|) / 500) around
// the value, re-centred when released. A position's value is the short decimal it shows; the
// arrow keys move one step, PageUp and PageDown 100. The live coefficients and the ecological
// parameters are such rows; their owners lay the controls out and name them.
// A change by the user is reported through edited; showValue only shows.
class LiveNumberRows : public QObject {
    Q_OBJECT

public:
    // The least value a row's slider reaches: any, above 0 (a rate, a capacity) or 0 (a harvest).
    enum class Floor { None, AboveZero, Zero };

    explicit LiveNumberRows(QWidget &parent);

    // A new row, its controls children of the parent; its index is the number of rows before it.
    // The slider's tooltip and description begin with `what` where it is not empty.
    int addRow(Floor floor = Floor::None, const QString &what = {});
    int count() const { return int(rows_.size()); }
    // What the row's slider describes from now on, before its value and range.
    void setWhat(int row, const QString &what);

    NumberBox *box(int row) const { return rows_[std::size_t(row)].box; }
    QSlider *slider(int row) const { return rows_[std::size_t(row)].slider; }

    // Shows a value stored elsewhere without reporting it as an edit; false where the box cannot
    // hold it and shows «fuera de rango» instead. The slider keeps its range while it is being
    // moved, and is re-centred on the value otherwise.
    bool showValue(int row, double value);

signals:
    // The user changed the row's value; dragging while a slider is held.
    void edited(int row, double value, bool dragging);
    // A gesture that changes the row step by step began: a slider pressed, a key or a mouse
    // button pressed on a slider or a box (held, it repeats).
    void dragStarted(int row);
    // That gesture ended: the slider, key or button released.
    void dragFinished(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Row {
        NumberBox *box = nullptr;
        QSlider *slider = nullptr;
        Floor floor = Floor::None;
        QString what;
        DecimalStep step;
        long long centreSteps = 0;   // the middle position's value in steps
    };

    double sliderValue(int row, int position) const;
    void sliderMoved(int row);
    void centreSlider(int row, double value);
    void describeSlider(int row, double value);

    QWidget &parent_;
    std::vector<Row> rows_;
    int sliderEditing_ = -1;   // the slider whose own change is being reported, or -1
    int gesture_ = -1;         // the row of a key or button gesture under way, or -1
};
