#include "applanguage.h"

QString rawValue(AppLanguage language)
{
    switch (language) {
    case AppLanguage::system:
        return QStringLiteral("system");
    case AppLanguage::japanese:
        return QStringLiteral("ja");
    case AppLanguage::english:
        return QStringLiteral("en");
    }
    return QStringLiteral("system");
}

AppLanguage appLanguageFromRawValue(QStringView raw)
{
    for (AppLanguage language : allAppLanguages)
        if (raw == rawValue(language))
            return language;
    return AppLanguage::system;
}
