#include "graphemes.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <memory>

namespace {

// Making an iterator loads and parses rules; each thread keeps one.
icu::BreakIterator *characterIterator()
{
    thread_local const std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    return iterator.get();
}

// Without ICU's data, code points are the best there is: at least no surrogate is cut off.
QList<qsizetype> codePointEnds(QStringView text)
{
    QList<qsizetype> ends;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ends.append(i + 1);
    }
    return ends;
}

} // namespace

QList<qsizetype> Graphemes::ends(QStringView text)
{
    icu::BreakIterator *iterator = characterIterator();
    if (text.isEmpty() || !iterator)
        return codePointEnds(text);
    UErrorCode status = U_ZERO_ERROR;
    UText utext = UTEXT_INITIALIZER;
    utext_openUChars(&utext, reinterpret_cast<const UChar *>(text.utf16()), text.size(), &status);
    iterator->setText(&utext, status);
    QList<qsizetype> ends;
    for (int32_t end = iterator->next(); U_SUCCESS(status) && end != icu::BreakIterator::DONE; end = iterator->next())
        ends.append(end);
    utext_close(&utext);
    return U_SUCCESS(status) ? ends : codePointEnds(text);
}

QStringList Graphemes::split(const QString &text)
{
    QStringList characters;
    qsizetype start = 0;
    for (const qsizetype end : ends(text)) {
        characters.append(text.mid(start, end - start));
        start = end;
    }
    return characters;
}
