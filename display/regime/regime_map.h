#pragma once

#include "model/analysis/regime.h"
#include "model/coefficients.h"
#include "model/ecology/ecological_form.h"

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
// Where both parameters are set (indices of the ecological form `ecology` in force), the axes
// run along those two parameters instead, the others held at their values: a pixel's six
// coefficients are then the form's mapping, and a pixel outside a parameter's domain (K ≤ 0)
// has none.
struct RegimeMapScene {
    Coefficients system;
    int horizontal = 2;
    int vertical = 4;
    double fromH = -1, toH = 1, fromV = -1, toV = 1;
    std::optional<EcologicalParameters> ecology;
    int horizontalParameter = -1, verticalParameter = -1;

    bool onParameters() const
    {
        return ecology && horizontalParameter >= 0 && verticalParameter >= 0 && horizontalParameter < ecology->count()
               && verticalParameter < ecology->count();
    }
    bool hasRange() const
    {
        return fromH < toH && fromV < toV
               && (onParameters() ? horizontalParameter != verticalParameter : horizontal != vertical);
    }
    // The six coefficients at the values h, v of the two axes; nothing where the form is not
    // defined there (a value outside its parameter's domain, or coefficients that overflow).
    std::optional<Coefficients> systemAt(double h, double v) const;
    // The values in force on each axis, and the axis' name as the map writes it (UTF-8).
    double valueH() const;
    double valueV() const;
    const char *nameH() const;
    const char *nameV() const;
};

// The colour of a pixel where the form is not defined, named «fuera del dominio»: a neutral grey.
QColor outsideDomainColour();

// Each regime's colour: light tints of the palette's hues (a hue mixed with twice as much
// white), so that the crosshair and the boundaries stand out on all of them. Coexistence takes
// the interior equilibrium's green, a winner x or y the hue of its axis point in the diagram,
// bistability the sky blue, extinction the indigo, neutral cycles the vermillion; where some
// solutions also grow without bound, the tint is half the grey of growth; growth alone is that
// grey; the rare degenerate cases are nearly white.
QColor regimeColour(Regime regime);

// The regimes at every pixel of a map of `size` and the boundaries between them, drawn as thin
// dots where they cross each pixel's row and column, at their exact positions. A pixel takes
// the regime at its centre. `present` tells which regimes occur, `outsideDomain` whether some
// pixel lies outside the form's domain. A picture cancelled between rows comes back with no
// image. Along two coefficients the boundaries are the zeros of the closed forms; along
// parameters, which may enter the closed forms nonlinearly, each is located by halving the
// interval between two neighbouring pixel centres of different regimes, kBisectionSteps
// times (to 2⁻⁴⁰ of a pixel): a boundary that enters and leaves between two centres is missed.
inline constexpr int kBisectionSteps = 40;
struct RegimePicture {
    QImage image;
    std::array<bool, kRegimeCount> present{};
    bool outsideDomain = false;
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

    // The tidiest values of the two axes within the pixel at pos (clamped to the map).
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
