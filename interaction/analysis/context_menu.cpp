// The context menu of the window. A right click anywhere opens it, except in the phase plane,
// where every press starts a solution, and in the text boxes and the scroll bar, which keep
// their own menus. The Menu key and Shift+F10 open the menu of the control with the focus; from
// the scroll bar, whose own menu is for the mouse, they open this one.
#include "interaction/analysis/analysis_layer.h"

#include "display/plots/plot_surface.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>

void AnalysisLayer::installContextMenu()
{
    // A context-menu request that no control takes reaches the window itself.
    window_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&window_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { openContextMenu(window_.mapToGlobal(pos)); });
    phasePlane_.installEventFilter(this);
    scrollBar_.installEventFilter(this);
}

QMenu *AnalysisLayer::openContextMenu(const QPoint &globalPos)
{
    auto *menu = new QMenu(&window_);
    menu->setObjectName(QStringLiteral("menuAnalisis"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const MenuGroup group : kMenuGroups) {
        if (!menu->isEmpty())
            menu->addSeparator();
        for (const WindowActionEntry &entry : windowActionTable())
            if (entry.group == group)
                menu->addAction(actionOf_(entry.id));
        if (group == MenuGroup::Data) {
            menu->addActions(dataActions_);
            const QString name = QStringLiteral("datosEjemplo");
            QMenu *examples = menu->addMenu(QStringLiteral("Datos de ejemplo"));
            examples->setObjectName(name);
            examples->menuAction()->setObjectName(name);
            examples->setToolTipsVisible(true);
            examples->addActions(dataExamples_);
        }
        if (group == MenuGroup::Windows) {
            const QString name = QStringLiteral("modelosEjemplo");
            QMenu *examples = menu->addMenu(QStringLiteral("Modelos de ejemplo"));
            examples->setObjectName(name);
            examples->menuAction()->setObjectName(name);
            examples->setToolTipsVisible(true);   // each example describes itself
            examples->addActions(exampleActions_);
        }
    }
    menu->popup(globalPos);
    return menu;
}

void AnalysisLayer::setDataActions(QList<QAction *> actions, QList<QAction *> examples)
{
    dataActions_ = std::move(actions);
    dataExamples_ = std::move(examples);
}

// As the Menu key does: a context-menu request from the keyboard to the control with the
// focus, at its middle.
void AnalysisLayer::openContextMenuFromKeyboard()
{
    QWidget *target = QApplication::focusWidget();
    if (!target || target->window() != &window_)
        target = &window_;
    const QPoint middle = target->rect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, middle, target->mapToGlobal(middle));
    QCoreApplication::sendEvent(target, &request);
}

bool AnalysisLayer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &scrollBar_ && event->type() == QEvent::ContextMenu) {
        auto *request = static_cast<QContextMenuEvent *>(event);
        if (request->reason() != QContextMenuEvent::Keyboard)
            return false;
        openContextMenu(request->globalPos());
        event->accept();
        return true;
    }
    if (watched != &phasePlane_)
        return false;
    switch (event->type()) {
    case QEvent::ContextMenu:
        // A right press in the phase plane has started a solution; it opens no menu.
        if (static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Mouse) {
            event->accept();
            return true;
        }
        return false;
    case QEvent::ToolTip:
        return showEquilibriumTip(static_cast<QHelpEvent *>(event));
    default:
        return false;
    }
}
