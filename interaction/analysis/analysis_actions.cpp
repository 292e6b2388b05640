// The actions of the analysis layer: each a QAction of the window with its key, listed in
// the context menu.
#include "analysis_layer.h"

#include "examples.h"
#include "parameter_exploration.h"
#include "prog.h"

#include <QAction>

QAction *AnalysisLayer::addAction(const char *name, const char *text, const QKeySequence &key, bool checkable)
{
    return prog_.addWindowAction(name, text, key, checkable);
}

void AnalysisLayer::createActions()
{
    nullclines_ = addAction("isoclinas", "Isoclinas cero", QKeySequence(Qt::Key_N), true);
    equilibria_ = addAction("equilibrios", "Puntos de equilibrio", QKeySequence(Qt::Key_E), true);
    directionField_ = addAction("campo", "Campo de direcciones", QKeySequence(Qt::Key_D), true);
    scales_ = addAction("escalas", "Escalas", QKeySequence(Qt::Key_S), true);
    for (QAction *overlay : {nullclines_, equilibria_, directionField_, scales_})
        connect(overlay, &QAction::toggled, this, &AnalysisLayer::overlaysToggled);

    QAction *analysis = addAction("analisis", "Ventana de análisis…", QKeySequence(Qt::Key_A), false);
    connect(analysis, &QAction::triggered, this, &AnalysisLayer::showAnalysisWindow);
    QAction *bifurcation = addAction("bifurcacion", "Diagrama de bifurcación…", QKeySequence(Qt::Key_B), false);
    connect(bifurcation, &QAction::triggered, this, &AnalysisLayer::showBifurcationWindow);
    createExampleActions();
    QAction *help = addAction("ayuda", "Ayuda", QKeySequence(Qt::Key_F1), false);
    connect(help, &QAction::triggered, this, &AnalysisLayer::showHelp);

    // Shift+F10 opens the context menu where the Menu key would; it is no entry of the menu.
    QAction *menuKey = addAction("menuContextual", "Menú contextual", QKeySequence(Qt::SHIFT | Qt::Key_F10), false);
    connect(menuKey, &QAction::triggered, this, &AnalysisLayer::openContextMenuFromKeyboard);

    menuActions = {nullclines_, equilibria_, directionField_, scales_, nullptr, analysis, bifurcation, examplesEntry_,
                   nullptr, help};
}

// One action per example system, "modelo_<id>", listed in a submenu of the context menu.
void AnalysisLayer::createExampleActions()
{
    examplesEntry_ = new QAction(QStringLiteral("Modelos de ejemplo"), this);
    examplesEntry_->setObjectName(QStringLiteral("modelosEjemplo"));
    for (const ExampleSystem &example : exampleSystems()) {
        const QString name = QStringLiteral("modelo_") + QString::fromLatin1(example.id);
        QAction *action = addAction(name.toLatin1().constData(), example.title, QKeySequence(), false);
        const QString description = QString::fromUtf8(example.description);
        action->setToolTip(description);
        action->setStatusTip(description);
        connect(action, &QAction::triggered, exploration_, [this, &example] { exploration_->loadExample(example); });
        exampleActions_ << action;
    }
}
