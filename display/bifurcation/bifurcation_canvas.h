#pragma once

#include "display/bifurcation/bifurcation_painter.h"

#include <QWidget>

// The two panels of the diagram on screen. A press or drag with the left button in a panel
// picks the coefficient's value under the mouse; the wheel zooms the value axis of both panels
// about the value under the mouse; hovering over a mark tells what changes there.
class BifurcationCanvas : public QWidget {
    Q_OBJECT

public:
    explicit BifurcationCanvas(QWidget *parent = nullptr);

    const BifurcationScene &scene() const { return scene_; }
    void setScene(const BifurcationScene &scene);

    // Where everything stands in the widget as it is now.
    BifurcationGeometry diagramGeometry() const;

    // The description of every change whose mark is within reach of pos; empty if none.
    QString toolTipAt(QPointF pos) const;
    QString coincidingBranchesAt(const BifurcationGeometry &g, int panel, QPointF pos) const;

signals:
    // A left press in a panel: pickStarted, then valuePicked for it and for each new value the
    // drag reaches, then pickFinished at the release.
    void pickStarted();
    void valuePicked(double value);
    void pickFinished();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void pickAt(QPointF pos);

    BifurcationScene scene_;
    bool dragging_ = false;   // a left press in a panel is held
    double lastPicked_ = 0;
};
