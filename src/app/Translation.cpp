#include "app/Translation.h"

#include <QLibraryInfo>

std::vector<std::unique_ptr<QTranslator>> loadTranslations(const QLocale& locale)
{
    std::vector<std::unique_ptr<QTranslator>> translators;
    auto own = std::make_unique<QTranslator>();
    if (!own->load(locale, QStringLiteral("farlisten"), QStringLiteral("_"), QStringLiteral(":/translations")))
        return translators;
    // Qt's texts only beside our own, so that a window is never half in a
    // language the program does not speak.
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        translators.push_back(std::move(qt));
    translators.push_back(std::move(own));
    return translators;
}
