#include "app/russian.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace hexlife {

bool UseRussian(QCoreApplication& application)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace hexlife
