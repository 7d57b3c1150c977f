#include "config/qt_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tarnik {

bool installQtPolish(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    // "qt" loads qtbase and the other modules' catalogues the package holds.
    if (!translator->load(QLocale(QLocale::Polish, QLocale::Poland), QStringLiteral("qt"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace tarnik
