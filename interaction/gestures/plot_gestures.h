#pragma once

#include "display/plots/plot_mapping.h"

#include <QObject>
#include <QPointF>

#include <optional>
#include <utility>

class ExplorerState;
class PlotSurface;
class PlotViews;
class QAbstractSlider;
class QTimer;

// What the plots do besides showing: the time plots move the time cursor (press, drag, wheel,
// keys); the phase plane turns a press, each step of a drag and the keyboard's crosshair into
// the point it stands for, and keeps the crosshair on the initial point.
class PlotGestures : public QObject {
    Q_OBJECT

public:
    // The wheel over a time plot moves the cursor as it would over timeBar. Positions are
    // read through the plots' mapping.
    PlotGestures(ExplorerState &state, const PlotViews &views, PlotSurface &phasePlane, PlotSurface &xPlot,
                 PlotSurface &yPlot, const QAbstractSlider &timeBar, QObject *parent = nullptr);

signals:
    // A press in the phase plane, or a step of a drag there, as the window's press procedure
    // takes it: the button, the modifier keys (1 Shift, 2 Ctrl, 4 Alt) and the position in
    // twips at the tidiest point of the pressed pixel.
    void phasePlanePressed(int button, int shift, float x, float y);

private:
    void connectTimePlot(PlotSurface &plot);
    void connectPhasePlane();
    void press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF pos);
    std::pair<float, float> pressedTwips(QPointF pos) const;
    void followDrag(Qt::KeyboardModifiers modifiers, QPointF pos);
    void finishDrag(Qt::KeyboardModifiers modifiers, QPointF pos);
    void placeMarkerOnInitialPoint();
    plot_mapping::PlotMapping mapping() const;

    ExplorerState &state_;
    const PlotViews &views_;
    PlotSurface &phasePlane_;
    const QAbstractSlider &timeBar_;
    // A drag in the phase plane: where its button went down, whether it has moved far enough
    // to count as a drag, and the newest point not yet computed (one per screen frame).
    struct Drag {
        bool buttonDown = false;
        bool dragging = false;
        QPointF start;
        std::optional<QPointF> pending;
        Qt::KeyboardModifiers modifiers;
    };
    Drag drag_;
    bool movingLegend_ = false;   // the legend is held, to be let go in a corner
    QPointF legendHeldAt_;
    QTimer *dragFrame_ = nullptr;
};
