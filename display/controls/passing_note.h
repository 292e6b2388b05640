#pragma once

#include <QLabel>
#include <QTimer>

// A short note in the top right corner of its parent, shown for a moment and then hidden, as
// a change of something the window does not show otherwise (the play speed). A label, so that
// screen readers read it as it appears.
class PassingNote : public QLabel {
    Q_OBJECT

public:
    static constexpr int kShownMs = 1500;

    explicit PassingNote(QWidget *parent);

    void showNote(const QString &text);

private:
    QTimer hide_;
};
