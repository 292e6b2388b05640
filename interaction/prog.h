#pragma once

#include "display/controls/action_table.h"
#include "display/plots/trajectory_plot.h"
#include "model/model.h"
#include "model/trajectory.h"

#include <QWidget>

#include <QPointF>
#include <QPointer>

#include <array>
#include <deque>
#include <functional>
#include <vector>
#include <optional>
#include <utility>

class AnalysisLayer;
class BifurcationWindow;
class ClickableLabel;
class Failure;
class LineShape;
class PlotSurface;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTimer;
class QAction;
class QImage;

// The program's one window. It owns the model for the whole run and holds every event
// procedure; each procedure runs to completion before the next event arrives.
class Prog : public QWidget {
    Q_OBJECT

public:
    explicit Prog(QWidget *parent = nullptr);

    // Start-up: defaults, coefficient labels, show, compute and draw the first trajectory.
    void Form_Load();

    // The model: coefficients A to F, dt, and the stored trajectory xs, ys, ok.
    Model model;

    // The controls, named as in the layout.
    PlotSurface *XYgraf = nullptr;
    PlotSurface *Xgraf = nullptr;
    PlotSurface *Ygraf = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QLineEdit *XR = nullptr;
    QLineEdit *YR = nullptr;
    QLineEdit *TR = nullptr;
    QLineEdit *XI = nullptr;
    QLineEdit *YI = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *Calcular = nullptr;
    std::array<ClickableLabel *, 6> par{};
    std::array<QLabel *, 12> Label1{};

    // The phase-plane analysis over the window: overlays, analysis window, context menu.
    AnalysisLayer *analysis = nullptr;

    // Event procedures.
    void Calcular_Click();
    void XYgraf_MouseDown(int Button, int Shift, float X, float Y);
    void HScroll1_Change();
    void HScroll1_Scroll();
    void par_Click(int index);

    // Recomputes the trajectory from the texts of XI and YI; never fails.
    void calcula();
    // Redraws the three plots from the stored trajectory and the time cursor.
    void pintura();
    // An action of the window, as its table describes it; nullptr until the actions are made.
    QAction *action(WindowAction id) const { return actions_[std::size_t(id)]; }

    // Brings label par(index) up to date with value: tooltip, then sign colour.
    void refreshParameterLabel(int index, double value);

    // A failure that no procedure handles: reported in a message box, then the program ends.
    void reportUnhandled(const Failure &failure);

    // The trajectories kept from earlier recomputations, newest first, at most kMaxKept.
    static constexpr std::size_t kMaxKept = 50;
    const std::deque<Trajectory> &keptTrajectories() const { return trajectories_.kept; }
    // A gesture outside the phase plane that recomputes at each of its steps (a slider or the
    // bifurcation diagram dragged, a key held on a coefficient's box): of it, as of a drag in
    // the phase plane, only the trajectory in force when it began is kept.
    void beginContinuousChange();
    void endContinuousChange();
    // The maxima and minima of x and y along the current trajectory.
    const std::vector<TurningPoint> &turningPoints() const { return trajectories_.turningPoints; }
    // The plots' underlays: the analysis overlays and the kept trajectories, painted under
    // every point; none while both are off, so the plots clear as designed.
    void updateUnderlays();
    // What lies under the points of one plot, in logical pixels of its drawing area of the
    // given size: for the plots' underlays and for pictures of them.
    void paintUnderlay(PlotKind plot, QPainter &painter, const QSizeF &area) const;
    // What the three plots show now, for the screen or a file.
    PlotScene plotScene() const;

    // Gives the bifurcation diagram's window its "Guardar imagen…" (PNG or SVG, Ctrl+S).
    void attachDiagramExport(BifurcationWindow &window);
    // The three plots as one picture, at the screen's pixel ratio: what the window shows.
    QImage plotPicture() const;
    // Where a file is to be saved, as a save dialog asks it: given the dialog's caption, the
    // path it offers and its filters, it returns the chosen path (empty when cancelled) and
    // sets the chosen filter. The file dialog unless replaced, as the tests do.
    using SaveFileNameSource = std::function<QString(const QString &caption, const QString &offered,
                                                     const QString &filters, QString *chosenFilter)>;
    SaveFileNameSource askSaveFileName;

signals:
    // Label par(index) now shows value; the live controls show it too.
    void parameterLabelRefreshed(int index, double value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectEvents();
    // actions.cpp
    void createActions();
    // trajectory_options.cpp
    void trajectoryOptionsChanged();
    void clearKeptTrajectories();
    void keepReplacedTrajectory(const Trajectory &replaced);
    void moveToTurningPoint(int direction);
    // export_actions.cpp
    void useFileDialogs();
    void saveImage();
    void saveImageFile(QWidget &asker, const QString &fileName, const std::function<QImage()> &png,
                       const std::function<QByteArray()> &svg);
    QWidget *dialogParent();
    void exportData();
    void copyData();
    void copyImage();
    QString offeredPath(const QString &fileName) const;
    bool writeFile(const QString &title, const QString &path, const QByteArray &bytes);
    void connectPlotGestures();
    void moveTimeCursorTo(int sample);
    void pressPhasePlane(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF pos);
    std::pair<float, float> pressedTwips(QPointF pos) const;
    void placeMarkerOnInitialPoint();
    void followDrag(Qt::KeyboardModifiers modifiers, QPointF pos);
    void finishDrag(Qt::KeyboardModifiers modifiers, QPointF pos);
    template <typename Procedure>
    void dispatch(Procedure procedure);
    double &parameter(int index);
    void showTimeCursor();
    void showReadOuts(int c);
    void resetTimeCursor();

    int valueAtDragStart_ = 0;

    // A drag in the phase plane: where its button went down, whether it has moved far enough
    // to count as a drag, and the newest point not yet computed (one per screen frame).
    struct PhasePlaneDrag {
        bool buttonDown = false;
        bool dragging = false;
        QPointF start;
        std::optional<QPointF> pending;
        Qt::KeyboardModifiers modifiers;
    };
    PhasePlaneDrag drag_;

    // Several trajectories at once, and their turning points.
    struct Trajectories {
        std::deque<Trajectory> kept;
        std::vector<TurningPoint> turningPoints;
        bool keptDuringDrag = false;
        bool continuing = false;   // a continuous change is under way
    };
    Trajectories trajectories_;
    std::array<QAction *, kWindowActionCount> actions_{};
    QTimer *dragFrame_ = nullptr;
    // The folder of the last file saved in this run; nothing is remembered between runs.
    QString lastFolder_;
    // The window whose request opened the dialog now open, when it is not this one: the dialog
    // opens over it, and it is active again when the dialog closes.
    QPointer<QWidget> asker_;
};
