#pragma once

#include <QLabel>

// A label that reports a click: a press and a release of the left mouse button on it. It also
// takes the keyboard focus by Tab, and Space or Enter click it, on release as push buttons do,
// so that it can be used without a mouse.
class ClickableLabel : public QLabel {
    Q_OBJECT

public:
    explicit ClickableLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool pressed_ = false;
    bool keyPressed_ = false;
};
