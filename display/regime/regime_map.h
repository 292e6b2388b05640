#pragma once

#include "model/analysis/regime.h"
#include "model/coefficients.h"

#include <QFuture>
#include <QImage>
#include <QThreadPool>
#include <QWidget>

#include <array>
#include <deque>
#include <atomic>
#include <memory>
#include <optional>

class QPainter;

// What the map shows: the system in force, the coefficient along each axis (0..5 = A..F) and
// the range each runs over, horizontally from left to right and vertically from bottom to top.
struct RegimeMapScene {
    Coefficients system;
    int horizontal = 2;
    int vertical = 4;
    double fromH = -1, toH = 1, fromV = -1, toV = 1;

    bool hasRange() const { return fromH < toH && fromV < toV && horizontal != vertical; }
};

// Each regime's colour: light tints of the palette's hues (a hue mixed with twice as much
// white), so that the crosshair and the boundaries stand out on all of them. Coexistence takes
// the interior equilibrium's green, a winner x or y the hue of its axis point in the diagram,
// bistability the sky blue, extinction the indigo, neutral cycles the vermillion; where some
// solutions also grow without bound, the tint is half the grey of growth; growth alone is that
// grey; the rare degenerate cases are nearly white.
QColor regimeColour(Regime regime);

// The regimes at every pixel of a map of `size` and the boundaries between them, drawn as thin
// dots where they cross each pixel's row and column, at their exact positions. A pixel takes
// the regime at its centre. `present` tells which regimes occur. A picture cancelled between
// rows comes back with no image.
struct RegimePicture {
    QImage image;
    std::array<bool, kRegimeCount> present{};
};
RegimePicture regimePicture(const RegimeMapScene &scene, QSize size, const std::atomic<bool> *cancelled = nullptr);

// The map on screen: the picture, kept until the scene or the size changes, and a crosshair at
// the coefficients in force. A new picture is made on a thread of the map's own, so that a
// slider of a third coefficient stays quick; meanwhile the last one stays on screen, and one
// made for anything but the latest scene and size is dropped. Destroying the map cancels and
// waits. A left press or drag picks the tidiest pair of values within the pixel under the
// mouse; hovering tells the regime there. The arrow keys move a second, dashed crosshair one
// pixel from the first, and Enter picks the values of its pixel as a press there would.
class RegimeMap : public QWidget {
    Q_OBJECT

public:
    explicit RegimeMap(QWidget *parent = nullptr);
    ~RegimeMap() override;

    const RegimeMapScene &scene() const { return scene_; }
    void setScene(const RegimeMapScene &scene);

    // The picture of the present scene for the widget's present size, computed here and now if
    // the thread has not brought it yet.
    const RegimePicture &picture() const;

    // The tidiest values of the two coefficients within the pixel at pos (clamped to the map).
    QPointF pickedValues(QPointF pos) const;
    // The regime at the values a press at pos picks, and those values, in words.
    QString toolTipAt(QPointF pos) const;
    // The map as on screen, with the picture of the present scene: for saving it.
    void paintMap(QPainter &painter) const;
    // The pixel of the dashed crosshair the arrow keys move, if they moved it.
    std::optional<QPoint> keyPixel() const { return keyPixel_; }
    // The last values of the two coefficients on the axes, oldest first, the present ones last:
    // at most kTrailLength, forgotten when an axis changes. Drawn as a faint line.
    static constexpr int kTrailLength = 64;
    const std::deque<QPointF> &trail() const { return trail_; }
    void clearTrail() { trail_.clear(); }

signals:
    void pickStarted();
    void valuesPicked(double horizontal, double vertical);
    void pickFinished();
    // The picture was made again: the regimes it shows may have changed.
    void pictureChanged();
    // The arrow keys moved the dashed crosshair, or Enter applied it.
    void keyPixelMoved();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void pickAt(QPointF pos);
    void paint(QPainter &painter) const;
    bool pictureIsCurrent() const;
    void startPicture();
    void cancelPicture();

    // Made first, so that it is destroyed last: its destructor waits for the picture running.
    QThreadPool pool_;
    RegimeMapScene scene_;
    mutable RegimePicture picture_;
    mutable bool stale_ = true;
    mutable QSize pictureSize_;
    // The picture being made and its cancel flag; the generation tells a stale result.
    std::shared_ptr<std::atomic<bool>> cancelled_;
    QFuture<RegimePicture> running_;
    quint64 generation_ = 0;
    bool startedForCurrent_ = false;   // a picture of the present scene runs or ran
    QSize startedSize_;
    bool dragging_ = false;
    std::optional<QPoint> keyPixel_;
    QPointF lastPicked_;
    std::deque<QPointF> trail_;
};
