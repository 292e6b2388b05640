// The window's actions, made from their table: each with its text and key, acting wherever the
// focus is in the window, and hooked to the procedure that does its work.
#include "interaction/prog.h"

#include "interaction/analysis/analysis_layer.h"

#include <QAction>

void Prog::createActions()
{
    for (const WindowActionEntry &entry : windowActionTable()) {
        auto *made = new QAction(QString::fromUtf8(entry.text), this);
        made->setObjectName(QString::fromLatin1(entry.name));
        made->setShortcut(keyOf(entry));
        made->setShortcutContext(Qt::WindowShortcut);
        made->setCheckable(entry.checkable);
        addAction(made);
        actions_[std::size_t(entry.id)] = made;
    }

    using enum WindowAction;
    connect(action(KeepTrajectories), &QAction::toggled, this, &Prog::trajectoryOptionsChanged);
    connect(action(ClearTrajectories), &QAction::triggered, this, &Prog::clearKeptTrajectories);
    connect(action(TurningPoints), &QAction::toggled, this, &Prog::trajectoryOptionsChanged);
    connect(action(NextTurningPoint), &QAction::triggered, this, [this] { moveToTurningPoint(+1); });
    connect(action(PreviousTurningPoint), &QAction::triggered, this, [this] { moveToTurningPoint(-1); });
    connect(action(JoinSamples), &QAction::toggled, this, &Prog::trajectoryOptionsChanged);
    connect(action(Nullclines), &QAction::toggled, analysis, &AnalysisLayer::overlaysToggled);
    connect(action(Equilibria), &QAction::toggled, analysis, &AnalysisLayer::overlaysToggled);
    connect(action(DirectionField), &QAction::toggled, analysis, &AnalysisLayer::overlaysToggled);
    connect(action(Scales), &QAction::toggled, analysis, &AnalysisLayer::overlaysToggled);
    connect(action(AnalysisWindow), &QAction::triggered, analysis, &AnalysisLayer::showAnalysisWindow);
    connect(action(BifurcationWindow), &QAction::triggered, analysis, &AnalysisLayer::showBifurcationWindow);
    connect(action(ContextMenu), &QAction::triggered, analysis, &AnalysisLayer::openContextMenuFromKeyboard);
    connect(action(Help), &QAction::triggered, analysis, &AnalysisLayer::showHelp);
    connect(action(SaveImage), &QAction::triggered, this, &Prog::saveImage);
    connect(action(ExportData), &QAction::triggered, this, &Prog::exportData);
    connect(action(CopyData), &QAction::triggered, this, &Prog::copyData);
    connect(action(CopyImage), &QAction::triggered, this, &Prog::copyImage);
    // Ctrl+arrows step between turning points only while they are shown.
    action(NextTurningPoint)->setEnabled(false);
    action(PreviousTurningPoint)->setEnabled(false);
}
