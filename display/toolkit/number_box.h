#pragma once

#include <QDoubleSpinBox>

// A spin box that reads and writes numbers as the rest of the program does: the user's locale,
// the shortest text that reads back as the value, and the value held exactly as typed. A typed
// text that is no number within its range is never turned into another number: when the edit
// ends it is refused visibly (a tooltip at the box says why) and the value stays. The arrows
// step in decimal, so that 0.2 + 0.1 gives 0.3.
class NumberBox : public QDoubleSpinBox {
    Q_OBJECT

public:
    explicit NumberBox(QWidget *parent = nullptr);

    QString textFromValue(double value) const override;
    double valueFromText(const QString &text) const override;
    QValidator::State validate(QString &text, int &position) const override;
    void fixup(QString &text) const override;
    void stepBy(int steps) override;

    // Shows `text` in place of a number the box cannot hold (beyond its range, or too small
    // for its decimals), until the user types or steps, or showValue is called. A number typed
    // over it is taken even when it equals the value the box holds meanwhile.
    void showInstead(const QString &text);
    // setValue, which also ends a text shown instead.
    void showValue(double value);
    bool showsInstead() const { return !instead_.isEmpty(); }

signals:
    // A typed text was refused; the message is the one the tooltip shows.
    void refused(const QString &message) const;

private:
    void clearInstead();

    QString instead_;
    bool typedOverInstead_ = false;
};
