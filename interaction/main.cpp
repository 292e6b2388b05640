#include "display/controls/accessibility.h"
#include "display/toolkit/qt_translation.h"
#include "interaction/prog.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installQtSpanishTexts();
    // Lets the desktop match the window with its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.LotkaVolterra"));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/org.example.LotkaVolterra.png")));
    installAccessibilityFactory();
    Prog window;
    window.Form_Load();
    return app.exec();
}
