#include "localization.h"

#include <QLocale>

#include <array>

namespace {

Localization makeEnglish()
{
    Localization texts;
#define TALLOWMERE_ENGLISH_TEXT(field, english, japanese) texts.field = QStringLiteral(english);
    TALLOWMERE_ALL_TEXTS(TALLOWMERE_ENGLISH_TEXT)
#undef TALLOWMERE_ENGLISH_TEXT
    texts.languageCode = QStringLiteral("en");
    return texts;
}

Localization makeJapanese()
{
    Localization texts;
#define TALLOWMERE_JAPANESE_TEXT(field, english, japanese) texts.field = QStringLiteral(japanese);
    TALLOWMERE_ALL_TEXTS(TALLOWMERE_JAPANESE_TEXT)
#undef TALLOWMERE_JAPANESE_TEXT
    texts.languageCode = QStringLiteral("ja");
    return texts;
}

#define TALLOWMERE_FIELD_ENTRY(field, english, japanese) Localization::Field{#field, &Localization::field},
const std::array allFields{TALLOWMERE_ALL_TEXTS(TALLOWMERE_FIELD_ENTRY)};
#undef TALLOWMERE_FIELD_ENTRY

} // namespace

const Localization &Localization::english()
{
    static const Localization texts = makeEnglish();
    return texts;
}

const Localization &Localization::japanese()
{
    static const Localization texts = makeJapanese();
    return texts;
}

const Localization &Localization::resolve(AppLanguage language, const QStringList &preferredLanguages)
{
    switch (language) {
    case AppLanguage::japanese:
        return japanese();
    case AppLanguage::english:
        return english();
    case AppLanguage::system:
        break;
    }
    const QString first = preferredLanguages.isEmpty() ? QStringLiteral("en") : preferredLanguages.constFirst();
    return first.startsWith(QLatin1String("ja")) ? japanese() : english();
}

const Localization &Localization::forLanguage(AppLanguage language)
{
    return resolve(language, QLocale::system().uiLanguages());
}

QLocale Localization::formattingLocale() const
{
    const QLocale system = QLocale::system();
    if (languageCode == QLatin1String("ja"))
        return system.language() == QLocale::Japanese ? system : QLocale(QLocale::Japanese, QLocale::Japan);
    // The C locale writes like US English here (DateText, byte counts).
    const bool english = system.language() == QLocale::English || system.language() == QLocale::C;
    return english ? system : QLocale(QLocale::English, QLocale::UnitedStates);
}

std::span<const Localization::Field> Localization::fields()
{
    return allFields;
}

QString Localization::fill(QStringView format, const QStringList &values)
{
    QString text;
    text.reserve(format.size() + 16 * values.size());
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        const QChar after = i + 1 < format.size() ? format[i + 1] : QChar();
        if (c == QLatin1Char('%') && after == QLatin1Char('%')) {
            text += c;
            ++i;
        } else if (c == QLatin1Char('%') && (after == QLatin1Char('d') || after == QLatin1Char('@'))
                   && next < values.size()) {
            text += values.at(next++);
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}
