#include "display/analysis/help_window.h"

#include "display/toolkit/close_shortcuts.h"

#include <QTextBrowser>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Ayuda"));
    setWindowTitle(QStringLiteral("Ayuda"));
    auto *text = new QTextBrowser(this);
    text->setObjectName(QStringLiteral("textoAyuda"));
    text->setAccessibleName(QStringLiteral("Texto de ayuda"));
    text->setAccessibleDescription(QStringLiteral("Todas las acciones del ratón y del teclado del programa."));
    text->setOpenLinks(false);
    text->setHtml(helpHtml());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text);
    resize(620, 640);

    addCloseShortcuts(this, "cerrarAyuda");
}
