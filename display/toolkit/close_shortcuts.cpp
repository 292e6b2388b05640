#include "display/toolkit/close_shortcuts.h"

#include <QAction>
#include <QWidget>

void addCloseShortcuts(QWidget *window, const char *objectName)
{
    auto *close = new QAction(QStringLiteral("Cerrar"), window);
    close->setObjectName(QString::fromLatin1(objectName));
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    close->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(close, &QAction::triggered, window, &QWidget::close);
    window->addAction(close);
}
