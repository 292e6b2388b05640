// What the plots do besides the designed press in the phase plane: the time plots move the time
// cursor (press, drag, wheel, keys); the phase plane follows a drag live and takes a point
// from the keyboard.
#include "interaction/prog.h"

#include "display/controls/accessibility.h"
#include "display/plots/plot_mapping.h"
#include "display/plots/plot_surface.h"
#include "display/plots/twips.h"
#include "display/toolkit/conversions.h"

#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

// The sample whose dot stands nearest to the pixel column, sample k being at 2060 + 20 k twips.
int sampleNearestColumn(double pixelX)
{
    const double twips = (std::floor(pixelX) + 0.5) * kTwipsPerPixel;
    const double k = std::round((twips - plot_mapping::timeX(0)) / 20);
    return static_cast<int>(std::clamp(k, double(kFirstSample), double(kLastSample)));
}

} // namespace

void Prog::connectPlotGestures()
{
    for (PlotSurface *plot : {Xgraf, Ygraf}) {
        connect(plot, &PlotSurface::pressed, this, [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPointF pos) {
            if (button == Qt::LeftButton)
                moveTimeCursorTo(sampleNearestColumn(pos.x()));
        });
        connect(plot, &PlotSurface::dragged, this, [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPointF pos) {
            if (buttons & Qt::LeftButton)
                moveTimeCursorTo(sampleNearestColumn(pos.x()));
        });
        connect(plot, &PlotSurface::wheelTurned, this, [this](int notches) {
            // As over the scroll bar, turning the wheel away from the user moves back in time.
            moveTimeCursorTo(HScroll1->value() - notches * HScroll1->singleStep());
        });
        connect(plot, &PlotSurface::timeKey, this, [this](int key) {
            const int c = HScroll1->value();
            switch (key) {
            case Qt::Key_Left: moveTimeCursorTo(c - 1); break;
            case Qt::Key_Right: moveTimeCursorTo(c + 1); break;
            case Qt::Key_PageUp: moveTimeCursorTo(c - 10); break;
            case Qt::Key_PageDown: moveTimeCursorTo(c + 10); break;
            case Qt::Key_Home: moveTimeCursorTo(kFirstSample); break;
            case Qt::Key_End: moveTimeCursorTo(kLastSample); break;
            default: break;
            }
        });
    }

    XYgraf->setKeyboardMarker(true);
    connect(XYgraf, &PlotSurface::markerMoved, this, [this](QPoint pixel) {
        // The point a press on the crosshair's pixel would give, as XI and YI would show it.
        const auto [x, y] = pressedTwips(QPointF(pixel));
        using namespace plot_mapping;
        describePhasePlanePoint(XYgraf, textOfSingle(phaseUnitsOfOffset(twipsRightOfYAxis(x))),
                                textOfSingle(phaseUnitsOfOffset(twipsAboveXAxis(y))));
    });
    dragFrame_ = new QTimer(this);
    dragFrame_->setSingleShot(true);
    connect(dragFrame_, &QTimer::timeout, this, [this] {
        if (drag_.pending)
            followDrag(drag_.modifiers, *std::exchange(drag_.pending, std::nullopt));
    });
    connect(XYgraf, &PlotSurface::pressed, this, [this](Qt::MouseButton, Qt::KeyboardModifiers, QPointF pos) {
        drag_ = PhasePlaneDrag{true, false, pos, std::nullopt, {}};
        trajectories_.keptDuringDrag = false;
    });
    connect(XYgraf, &PlotSurface::dragged, this, [this](Qt::MouseButtons, Qt::KeyboardModifiers modifiers, QPointF pos) {
        if (!drag_.buttonDown)
            return;
        if (!drag_.dragging) {
            const QPointF moved = pos - drag_.start;
            if (moved.manhattanLength() < QApplication::startDragDistance())
                return;
            drag_.dragging = true;
        }
        drag_.pending = pos;
        drag_.modifiers = modifiers;
        if (!dragFrame_->isActive()) {
            const QScreen *screen = XYgraf->screen();
            const double rate = screen && screen->refreshRate() > 1 ? screen->refreshRate() : 60;
            dragFrame_->start(static_cast<int>(std::floor(1000 / rate)));
        }
    });
    connect(XYgraf, &PlotSurface::released, this, [this](Qt::MouseButton, Qt::KeyboardModifiers modifiers, QPointF pos) {
        if (drag_.dragging)
            finishDrag(modifiers, pos);
        drag_ = PhasePlaneDrag{};
    });
}

// Through the scroll bar's value, so that the designed change procedure runs.
void Prog::moveTimeCursorTo(int sample)
{
    HScroll1->setValue(std::clamp(sample, kFirstSample, kLastSample));
}

// Each step of a drag recomputes as a press at the pointer would, the pointer clamped into the
// drawing area so that the point stays one the plane shows.
void Prog::followDrag(Qt::KeyboardModifiers modifiers, QPointF pos)
{
    const QSizeF area = XYgraf->contentsRect().size();
    const QPointF inside(std::clamp(pos.x(), 0.0, area.width() - 1), std::clamp(pos.y(), 0.0, area.height() - 1));
    pressPhasePlane(Qt::LeftButton, modifiers, inside);
}

void Prog::finishDrag(Qt::KeyboardModifiers modifiers, QPointF pos)
{
    dragFrame_->stop();
    drag_.pending.reset();
    followDrag(modifiers, pos);
}

// The keyboard's crosshair stands on the initial point after every recomputation, or on the
// nearest point of the plane when the initial point lies outside it.
void Prog::placeMarkerOnInitialPoint()
{
    const double x = plot_mapping::phaseX(model.xs(0)) / kTwipsPerPixel;
    const double y = plot_mapping::phaseY(model.ys(0)) / kTwipsPerPixel;
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    const double big = 1e6;
    XYgraf->setMarkerPixel(QPoint(int(std::floor(std::clamp(x, -big, big))), int(std::floor(std::clamp(y, -big, big)))));
}
