#include "datetext.h"

#include <QHash>
#include <QLocale>

#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>

#include <memory>

namespace {

// Building an ICU formatter costs far more than using one, and a listing formats thousands of
// dates: one formatter per locale and skeleton, per thread, since ICU formatters are not safe
// to share between threads.
const icu::SimpleDateFormat *formatter(const QString &locale, const char16_t *skeleton)
{
    thread_local QHash<QString, std::shared_ptr<icu::SimpleDateFormat>> cache;
    const QString key = locale + QLatin1Char('|') + QString::fromUtf16(skeleton);
    if (const auto found = cache.constFind(key); found != cache.cend())
        return found->get();

    std::shared_ptr<icu::SimpleDateFormat> format; // stays empty where ICU fails; not asked again
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale icuLocale = icu::Locale::forLanguageTag(locale.toStdString(), status);
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        U_SUCCESS(status) ? icu::DateTimePatternGenerator::createInstance(icuLocale, status) : nullptr);
    if (generator && U_SUCCESS(status)) {
        const icu::UnicodeString pattern = generator->getBestPattern(icu::UnicodeString(skeleton), status);
        auto made = std::make_shared<icu::SimpleDateFormat>(pattern, icuLocale, status);
        if (U_SUCCESS(status))
            format = std::move(made);
    }
    cache.insert(key, format);
    return format.get();
}

QString format(const QDateTime &date, bool withTime)
{
    if (!date.isValid())
        return {};
    const QLocale locale;
    // QLocale names the C locale "en" here, which ICU writes as US English, as the rest of the
    // program does under C.
    const icu::SimpleDateFormat *format = formatter(locale.bcp47Name(), withTime ? u"yMMMdjmm" : u"yMMMd");
    if (!format) {
        const QDateTime local = date.toLocalTime();
        return withTime ? locale.toString(local, QLocale::ShortFormat) : locale.toString(local.date(), QLocale::ShortFormat);
    }
    icu::UnicodeString text;
    format->format(UDate(date.toMSecsSinceEpoch()), text);
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

} // namespace

QString DateText::date(const QDateTime &date)
{
    return format(date, false);
}

QString DateText::dateTime(const QDateTime &date)
{
    return format(date, true);
}
