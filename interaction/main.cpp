#include "display/controls/accessibility.h"
#include "display/toolkit/qt_translation.h"
#include "interaction/prog.h"
#include "interaction/scenario/scenario_files.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(LV_VERSION));
    installQtSpanishTexts();

    // lotka-volterra [archivo]: the designed window, then the scenario the file holds.
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Representación de soluciones de un sistema de Lotka-Volterra autónomo 2x2."));
    // Qt's own help option has no Spanish text; the parser shows the help all the same.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Muestra esta ayuda."));
    parser.addOption(help);
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("archivo"), QStringLiteral("Escenario (.lvesc) que abrir al empezar"),
                                 QStringLiteral("[archivo]"));
    parser.process(app);
    if (parser.isSet(help))
        parser.showHelp(0);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        fputs(qPrintable(QStringLiteral("Solo se puede abrir un escenario.\n\n")), stderr);
        parser.showHelp(1);
    }

    // Lets the desktop match the window with its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.LotkaVolterra"));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/org.example.LotkaVolterra.png")));
    installAccessibilityFactory();
    Prog window;
    window.Form_Load();
    // A file that cannot be opened is told over the designed window, which stays as it is.
    if (!files.isEmpty())
        window.scenarios->openFile(files.front());
    return app.exec();
}
