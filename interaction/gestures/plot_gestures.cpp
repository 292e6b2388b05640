#include "interaction/gestures/plot_gestures.h"

#include "display/controls/accessibility.h"
#include "display/plots/plot_mapping.h"
#include "display/plots/plot_surface.h"
#include "display/plots/twips.h"
#include "display/toolkit/conversions.h"
#include "display/views/plot_views.h"
#include "state/explorer_state.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

// The sample whose dot stands nearest to the pixel column.
int sampleNearestColumn(const plot_mapping::TimeAxis &times, double pixelX)
{
    const double twips = (std::floor(pixelX) + 0.5) * kTwipsPerPixel;
    const double k = std::round(times.sampleAt(twips));
    return static_cast<int>(std::clamp(k, double(kFirstSample), double(kLastSample)));
}

// The modifier keys as the mask the phase-plane press reads: 1 Shift, 2 Ctrl, 4 Alt.
int shiftMask(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

} // namespace

PlotGestures::PlotGestures(ExplorerState &state, const PlotViews &views, PlotSurface &phasePlane, PlotSurface &xPlot,
                           PlotSurface &yPlot, const QAbstractSlider &timeBar, QObject *parent)
    : QObject(parent), state_(state), views_(views), phasePlane_(phasePlane), timeBar_(timeBar)
{
    connectTimePlot(xPlot);
    connectTimePlot(yPlot);
    connectPhasePlane();
    connect(&state_, &ExplorerState::recomputed, this, &PlotGestures::placeMarkerOnInitialPoint);
    connect(&views_, &PlotViews::mappingChanged, this, &PlotGestures::placeMarkerOnInitialPoint);
}

plot_mapping::PlotMapping PlotGestures::mapping() const
{
    return views_.mapping();
}

void PlotGestures::connectTimePlot(PlotSurface &plot)
{
    connect(&plot, &PlotSurface::pressed, this, [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPointF pos) {
        if (button == Qt::LeftButton)
            state_.setCursor(sampleNearestColumn(mapping().times, pos.x()));
    });
    connect(&plot, &PlotSurface::dragged, this, [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPointF pos) {
        if (buttons & Qt::LeftButton)
            state_.setCursor(sampleNearestColumn(mapping().times, pos.x()));
    });
    connect(&plot, &PlotSurface::wheelTurned, this, [this](int notches) {
        // As over the scroll bar, turning the wheel away from the user moves back in time.
        state_.setCursor(state_.cursor() - notches * timeBar_.singleStep());
    });
    connect(&plot, &PlotSurface::timeKey, this, [this](int key) {
        const int c = state_.cursor();
        switch (key) {
        case Qt::Key_Left: state_.setCursor(c - 1); break;
        case Qt::Key_Right: state_.setCursor(c + 1); break;
        case Qt::Key_PageUp: state_.setCursor(c - 10); break;
        case Qt::Key_PageDown: state_.setCursor(c + 10); break;
        case Qt::Key_Home: state_.setCursor(kFirstSample); break;
        case Qt::Key_End: state_.setCursor(kLastSample); break;
        default: break;
        }
    });
}

void PlotGestures::connectPhasePlane()
{
    // The wheel zooms about the point under the pointer, which stays there; with Shift it
    // moves the view sideways, a tenth of it a notch.
    connect(&phasePlane_, &PlotSurface::wheelTurned, this,
            [this](int notches, Qt::KeyboardModifiers modifiers, QPointF pos) {
                const PlaneView &view = state_.view();
                if (modifiers & Qt::ShiftModifier) {
                    state_.setView(plane_view::panned(view, -0.1 * notches, 0));
                    return;
                }
                const plot_mapping::PlotMapping m = mapping();
                state_.setView(plane_view::zoomedAbout(view, m.phaseUnitsX(pos.x() * kTwipsPerPixel),
                                                       m.phaseUnitsY(pos.y() * kTwipsPerPixel),
                                                       std::pow(plane_view::kZoomStep, notches)));
            });
    phasePlane_.setKeyboardMarker(true);
    connect(&phasePlane_, &PlotSurface::markerMoved, this, [this](QPoint pixel) {
        // The point a press on the crosshair's pixel would give, as XI and YI would show it.
        const auto [x, y] = pressedTwips(QPointF(pixel));
        const plot_mapping::PlotMapping m = mapping();
        describePhasePlanePoint(&phasePlane_, textOfSingle(m.phaseUnitsOfOffset(m.twipsRightOfYAxis(x))),
                                textOfSingle(m.phaseUnitsOfOffset(m.twipsAboveXAxis(y))));
    });
    dragFrame_ = new QTimer(this);
    dragFrame_->setSingleShot(true);
    connect(dragFrame_, &QTimer::timeout, this, [this] {
        if (drag_.pending)
            followDrag(drag_.modifiers, *std::exchange(drag_.pending, std::nullopt));
    });
    connect(&phasePlane_, &PlotSurface::pressed, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF pos) {
                // A press on the legend takes hold of it, to put it in another corner.
                const std::optional<LegendPlace> legend = views_.legendPlace();
                movingLegend_ = button == Qt::LeftButton && legend && legend->rect.contains(pos);
                if (movingLegend_) {
                    legendHeldAt_ = pos;
                    return;
                }
                press(button, modifiers, pos);
                drag_ = Drag{true, false, pos, std::nullopt, {}};
            });
    connect(&phasePlane_, &PlotSurface::dragged, this, [this](Qt::MouseButtons, Qt::KeyboardModifiers modifiers, QPointF pos) {
        if (movingLegend_)
            phasePlane_.setCursor(Qt::ClosedHandCursor);
        if (!drag_.buttonDown)
            return;
        if (!drag_.dragging) {
            const QPointF moved = pos - drag_.start;
            if (moved.manhattanLength() < QApplication::startDragDistance())
                return;
            drag_.dragging = true;
            state_.beginContinuousChange();
        }
        drag_.pending = pos;
        drag_.modifiers = modifiers;
        if (!dragFrame_->isActive()) {
            const QScreen *screen = phasePlane_.screen();
            const double rate = screen && screen->refreshRate() > 1 ? screen->refreshRate() : 60;
            dragFrame_->start(static_cast<int>(std::floor(1000 / rate)));
        }
    });
    connect(&phasePlane_, &PlotSurface::released, this, [this](Qt::MouseButton, Qt::KeyboardModifiers modifiers, QPointF pos) {
        if (std::exchange(movingLegend_, false)) {
            // Let go in the corner nearest the pointer, after a drag; a click leaves it.
            phasePlane_.unsetCursor();
            if ((pos - legendHeldAt_).manhattanLength() < QApplication::startDragDistance())
                return;
            const QSizeF area = phasePlane_.drawingArea();
            const bool right = pos.x() >= area.width() / 2, top = pos.y() < area.height() / 2;
            const std::optional<LegendPlace> legend = views_.legendPlace();
            const LegendCorner corner = top ? (right ? LegendCorner::TopRight : LegendCorner::TopLeft)
                                            : (right ? LegendCorner::BottomRight : LegendCorner::BottomLeft);
            if (legend && legend->corner != corner)
                state_.setLegendCorner(corner);
            return;
        }
        if (drag_.dragging) {
            finishDrag(modifiers, pos);
            state_.endContinuousChange();
        }
        drag_ = Drag{};
    });
}

// A press in the phase plane, taken at the tidiest point of the pressed pixel.
void PlotGestures::press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF pos)
{
    const auto [x, y] = pressedTwips(pos);
    emit phasePlanePressed(int(button), shiftMask(modifiers), x, y);
}

// The position in twips that a press at pos (logical pixels of the drawing area) stands for.
std::pair<float, float> PlotGestures::pressedTwips(QPointF pos) const
{
    const double pixel = kTwipsPerPixel / (phasePlane_.devicePixelRatioF() * phasePlane_.magnification());
    const plot_mapping::PlotMapping m = mapping();
    return {static_cast<float>(m.pressedPhaseX(pos.x() * kTwipsPerPixel, pixel)),
            static_cast<float>(m.pressedPhaseY(pos.y() * kTwipsPerPixel, pixel))};
}

// Each step of a drag recomputes as a press at the pointer would, the pointer clamped into the
// drawing area so that the point stays one the plane shows.
void PlotGestures::followDrag(Qt::KeyboardModifiers modifiers, QPointF pos)
{
    const QSizeF area = phasePlane_.drawingArea();
    const QPointF inside(std::clamp(pos.x(), 0.0, area.width() - 1), std::clamp(pos.y(), 0.0, area.height() - 1));
    press(Qt::LeftButton, modifiers, inside);
}

void PlotGestures::finishDrag(Qt::KeyboardModifiers modifiers, QPointF pos)
{
    dragFrame_->stop();
    drag_.pending.reset();
    followDrag(modifiers, pos);
}

// The keyboard's crosshair stands on the initial point after every recomputation, or on the
// nearest point of the plane when the initial point lies outside it.
void PlotGestures::placeMarkerOnInitialPoint()
{
    const plot_mapping::PlotMapping m = mapping();
    const double x = m.phaseX(state_.model().xs(0)) / kTwipsPerPixel;
    const double y = m.phaseY(state_.model().ys(0)) / kTwipsPerPixel;
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    const double big = 1e6;
    phasePlane_.setMarkerPixel(QPoint(int(std::floor(std::clamp(x, -big, big))), int(std::floor(std::clamp(y, -big, big)))));
}
