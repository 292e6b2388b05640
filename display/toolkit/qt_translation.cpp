#include "display/toolkit/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installQtSpanishTexts()
{
    auto *app = QCoreApplication::instance();
    if (!app)
        return false;
    auto *translator = new QTranslator(app);
    if (!translator->load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
