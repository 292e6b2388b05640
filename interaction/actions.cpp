// The window's actions, made from their table: each with its text and key, acting wherever the
// focus is in the window, and hooked to the state or to the view that does its work.
#include "interaction/prog.h"

#include "display/controls/accessibility.h"
#include "display/controls/passing_note.h"
#include "display/plots/plot_surface.h"
#include "display/views/plot_views.h"
#include "interaction/analysis/analysis_layer.h"
#include "interaction/data/observation_actions.h"
#include "interaction/export/plot_export.h"
#include "interaction/export/printing.h"
#include "interaction/history/state_history.h"
#include "interaction/scenario/scenario_files.h"
#include "state/time_player.h"
#include "display/toolkit/text_box.h"

#include <QAction>
#include <QEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QUndoStack>

namespace {

// The actions that switch an option of the state, and the option each one switches.
struct OptionAction {
    WindowAction action;
    ExplorerState::Option option;
};
constexpr OptionAction kOptionActions[] = {
    {WindowAction::KeepTrajectories, ExplorerState::Option::KeepTrajectories},
    {WindowAction::TurningPoints, ExplorerState::Option::TurningPoints},
    {WindowAction::JoinSamples, ExplorerState::Option::JoinSamples},
    {WindowAction::Nullclines, ExplorerState::Option::Nullclines},
    {WindowAction::Equilibria, ExplorerState::Option::Equilibria},
    {WindowAction::DirectionField, ExplorerState::Option::DirectionField},
    {WindowAction::Scales, ExplorerState::Option::Scales},
    {WindowAction::LevelCurves, ExplorerState::Option::LevelCurves},
    {WindowAction::Legend, ExplorerState::Option::Legend},
    {WindowAction::Separatrices, ExplorerState::Option::Separatrices},
    {WindowAction::Basins, ExplorerState::Option::Basins},
};

} // namespace

void Prog::createActions()
{
    for (const WindowActionEntry &entry : windowActionTable()) {
        auto *made = new QAction(QString::fromUtf8(entry.text), this);
        made->setObjectName(QString::fromLatin1(entry.name));
        made->setShortcuts(keysOf(entry));
        made->setShortcutContext(Qt::WindowShortcut);
        made->setCheckable(entry.checkable);
        addAction(made);
        actions_[std::size_t(entry.id)] = made;
    }
    connectOptions();

    using enum WindowAction;
    connect(action(ClearTrajectories), &QAction::triggered, this, [this] {
        state_.clearKeptTrajectories();
        pintura();
    });
    connect(action(NextTurningPoint), &QAction::triggered, this, [this] { state_.moveToTurningPoint(+1); });
    connect(action(PreviousTurningPoint), &QAction::triggered, this, [this] { state_.moveToTurningPoint(-1); });
    connectView();
    connectPlayer();
    connectLegendMove();
    connectHistory();
    connectScreenModes();
    connect(action(AnalysisWindow), &QAction::triggered, analysis, &AnalysisLayer::showAnalysisWindow);
    connect(action(BifurcationWindow), &QAction::triggered, analysis, &AnalysisLayer::showBifurcationWindow);
    connect(action(RegimeWindow), &QAction::triggered, analysis, &AnalysisLayer::showRegimeWindow);
    connect(action(ContextMenu), &QAction::triggered, analysis, &AnalysisLayer::openContextMenuFromKeyboard);
    connect(action(Help), &QAction::triggered, analysis, &AnalysisLayer::showHelp);
    connect(action(SaveImage), &QAction::triggered, exports, &PlotExport::saveImage);
    connect(action(ExportData), &QAction::triggered, exports, &PlotExport::exportData);
    connect(action(CopyData), &QAction::triggered, exports, &PlotExport::copyData);
    connect(action(CopyImage), &QAction::triggered, exports, &PlotExport::copyImage);
    connect(action(Print), &QAction::triggered, printing, &Printing::print);
    connect(action(Handout), &QAction::triggered, printing, &Printing::exportHandout);
    connect(action(OpenScenario), &QAction::triggered, scenarios, &ScenarioFiles::open);
    connect(action(SaveScenario), &QAction::triggered, scenarios, &ScenarioFiles::save);
    // A fit needs observations to fit.
    connect(action(FitData), &QAction::triggered, analysis, &AnalysisLayer::fitToData);
    action(FitData)->setEnabled(state_.observations().has_value());
    connect(&state_, &ExplorerState::observationsChanged, action(FitData),
            [this] { action(WindowAction::FitData)->setEnabled(state_.observations().has_value()); });
    connectData();
}

// A checkable action switches its option; the option's action shows it checked, whoever
// changed it. Ctrl+arrows step between turning points only while they are shown, otherwise
// the keys keep the meaning they have where the focus is.
void Prog::connectOptions()
{
    for (const OptionAction &pair : kOptionActions)
        connect(action(pair.action), &QAction::toggled, &state_,
                [this, option = pair.option](bool on) { state_.setOption(option, on); });
    connect(&state_, &ExplorerState::optionChanged, this, [this](ExplorerState::Option option, bool on) {
        for (const OptionAction &pair : kOptionActions)
            if (pair.option == option)
                action(pair.action)->setChecked(on);
        const bool turning = state_.option(ExplorerState::Option::TurningPoints);
        action(WindowAction::NextTurningPoint)->setEnabled(turning);
        action(WindowAction::PreviousTurningPoint)->setEnabled(turning);
    });
    action(WindowAction::NextTurningPoint)->setEnabled(false);
    action(WindowAction::PreviousTurningPoint)->setEnabled(false);
}

// The view of the phase plane: zoomed about its centre by the keys, back to the designed view,
// fitted to what there is to see, or moved a tenth of it.
void Prog::connectView()
{
    using enum WindowAction;
    const auto zoom = [this](double factor) {
        const PlaneView &v = state_.view();
        state_.setView(plane_view::zoomedAbout(v, v.left + v.side / 2, v.bottom + v.side / 2, factor));
    };
    connect(action(ZoomIn), &QAction::triggered, this, [zoom] { zoom(plane_view::kZoomStep); });
    connect(action(ZoomOut), &QAction::triggered, this, [zoom] { zoom(1 / plane_view::kZoomStep); });
    connect(action(InitialView), &QAction::triggered, this, [this] { state_.setView(PlaneView{}); });
    connect(action(FitView), &QAction::triggered, this, [this] { state_.fitView(); });
    const auto pan = [this](double right, double up) { state_.setView(plane_view::panned(state_.view(), right, up)); };
    connect(action(PanLeft), &QAction::triggered, this, [pan] { pan(-0.1, 0); });
    connect(action(PanRight), &QAction::triggered, this, [pan] { pan(0.1, 0); });
    connect(action(PanUp), &QAction::triggered, this, [pan] { pan(0, 0.1); });
    connect(action(PanDown), &QAction::triggered, this, [pan] { pan(0, -0.1); });
}

// Playing the time cursor: R plays and pauses, ] and [ double and halve the speed.
// The legend goes round the corners from where it stands; only while it is shown.
void Prog::connectLegendMove()
{
    using enum WindowAction;
    QAction *move = action(MoveLegend);
    move->setEnabled(state_.option(ExplorerState::Option::Legend));
    connect(&state_, &ExplorerState::optionChanged, move, [move](ExplorerState::Option which, bool on) {
        if (which == ExplorerState::Option::Legend)
            move->setEnabled(on);
    });
    connect(move, &QAction::triggered, this, [this] {
        if (const std::optional<LegendPlace> place = plots_->legendPlace())
            state_.setLegendCorner(nextCorner(place->corner));
    });
}

void Prog::connectPlayer()
{
    using enum WindowAction;
    player_ = new TimePlayer(state_, this);
    connect(action(Play), &QAction::toggled, player_, &TimePlayer::setPlaying);
    connect(player_, &TimePlayer::playingChanged, this, [this](bool playing) {
        action(Play)->setChecked(playing);
        if (!playing)
            describeTimeCursor(HScroll1);   // where it stopped, at once
    });
    connect(action(Faster), &QAction::triggered, player_, &TimePlayer::faster);
    connect(action(Slower), &QAction::triggered, player_, &TimePlayer::slower);
    // The speed in force after either key, also at its limits, where it stays. The note is made
    // at the first key, so that the window is as designed until then.
    for (WindowAction each : {Faster, Slower})
        connect(action(each), &QAction::triggered, this, [this] {
            auto *note = XYgraf->findChild<PassingNote *>(QStringLiteral("notaVelocidad"));
            if (!note) {
                note = new PassingNote(XYgraf);
                note->setObjectName(QStringLiteral("notaVelocidad"));
            }
            note->showNote(QStringLiteral("Velocidad: %1 muestras/s").arg(player_->speed()));
        });
}

// Full screen and the presentation, which is full screen too; Escape leaves both. Neither is
// an option of the state, so neither is saved nor remembered.
void Prog::connectScreenModes()
{
    using enum WindowAction;
    QAction *full = action(FullScreen);
    QAction *presentation = action(Presentation);
    auto *leave = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    leave->setObjectName(QStringLiteral("salirPantallaCompleta"));
    leave->setContext(Qt::WindowShortcut);
    leave->setEnabled(false);
    connect(full, &QAction::toggled, this, [this, presentation, leave](bool on) {
        leave->setEnabled(on);
        if (on) {
            showFullScreen();
        } else {
            presentation->setChecked(false);
            showNormal();
        }
    });
    connect(presentation, &QAction::toggled, this, [this, full](bool on) {
        plots_->setPresentation(on);
        full->setChecked(on);
    });
    connect(leave, &QShortcut::activated, full, [full] { full->setChecked(false); });
}

void Prog::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isFullScreen() && action(WindowAction::FullScreen))
        action(WindowAction::FullScreen)->setChecked(false);
}

// Undo and redo: their texts name the step they take back or do again.
void Prog::connectHistory()
{
    using enum WindowAction;
    history_ = new StateHistory(state_, {XI, YI, Text2}, [this](ExplorerState::Option option) {
        for (const OptionAction &pair : kOptionActions)
            if (pair.option == option)
                return action(pair.action)->text();
        return QString();
    }, this);
    connect(scenarios, &ScenarioFiles::scenarioOpening, history_,
            [this] { history_->nameNextChange(QStringLiteral("abrir escenario")); });
    connect(action(Undo), &QAction::triggered, history_, &StateHistory::undo);
    connect(action(Redo), &QAction::triggered, history_, &StateHistory::redo);
    const QUndoStack &stack = history_->stack();
    for (const WindowAction id : {Undo, Redo}) {
        QAction *made = action(id);
        made->setEnabled(false);
        const QString text = made->text();
        const auto named = [made, text](const QString &step) {
            made->setText(step.isEmpty() ? text : text + QStringLiteral(": ") + step);
        };
        if (id == Undo) {
            connect(history_, &StateHistory::canUndoChanged, made, &QAction::setEnabled);
            connect(&stack, &QUndoStack::undoTextChanged, made, named);
        } else {
            connect(&stack, &QUndoStack::canRedoChanged, made, &QAction::setEnabled);
            connect(&stack, &QUndoStack::redoTextChanged, made, named);
        }
    }
}

// Data opened start the trajectory at their first observation and run it to their last, as
// Calcular would with those boxes; opening and removing them are steps of their own name.
void Prog::connectData()
{
    connect(action(WindowAction::OpenData), &QAction::triggered, data, &ObservationActions::open);
    connect(data, &ObservationActions::dataOpening, history_,
            [this] { history_->nameNextChange(QStringLiteral("abrir datos")); });
    connect(data, &ObservationActions::dataRemoving, history_,
            [this] { history_->nameNextChange(QStringLiteral("quitar datos")); });
    connect(data, &ObservationActions::startChosen, this, [this](const QString &x0, const QString &y0, const QString &span) {
        for (const auto &[box, text] : {std::pair{XI, x0}, std::pair{YI, y0}, std::pair{Text2, span}})
            if (!text.isEmpty())
                writeText(box, text);
        Calcular_Click();
    });
    // The plots show the data at once, also when a step is taken back.
    connect(&state_, &ExplorerState::observationsChanged, this, [this] { pintura(); });
}
