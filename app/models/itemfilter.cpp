#include "itemfilter.h"

#include <QChar>

#include <unicode/uchar.h>
#include <unicode/ustring.h>

namespace ItemFilter {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Spaces and tabs only: a line break in the query is text like any other.
QString trimmed(const QString &query)
{
    qsizetype begin = 0, end = query.size();
    while (begin < end && isBlank(query.at(begin)))
        ++begin;
    while (end > begin && isBlank(query.at(end - 1)))
        --end;
    return query.mid(begin, end - begin);
}

// Full case folding, so "STRASSE" finds "straße" (Qt folds one character to one character).
QString caseFolded(const QString &text)
{
    static_assert(sizeof(UChar) == sizeof(QChar));
    const auto *source = reinterpret_cast<const UChar *>(text.utf16());
    QString result(text.size() * 3 + 1, Qt::Uninitialized); // folding grows a character by at most three
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = u_strFoldCase(reinterpret_cast<UChar *>(result.data()), int32_t(result.size()), source,
                                         int32_t(text.size()), U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status))
        return text.toCaseFolded();
    result.truncate(length);
    return result;
}

} // namespace

QString folded(const QString &text)
{
    const QString decomposed = caseFolded(text).normalized(QString::NormalizationForm_D);
    QString result;
    result.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            result.append(c);
    // Case folding after decomposition catches letters whose folded form decomposes further.
    QString folded = caseFolded(result);
    // Most names fold to themselves: handing back the caller's string shares it, and a tab
    // keeps one folded name per entry. The others drop the room reserved for growing.
    if (folded == text)
        return text;
    folded.squeeze();
    return folded;
}

QByteArray foldedUtf8(const QString &text)
{
    // Most names are plain ASCII, whose folded form is their lower case: no ICU, no
    // intermediate strings.
    QByteArray ascii(text.size(), Qt::Uninitialized);
    char *out = ascii.data();
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return folded(text).toUtf8();
        *out++ = char(c.unicode() >= 'A' && c.unicode() <= 'Z' ? c.unicode() + ('a' - 'A') : c.unicode());
    }
    return ascii;
}

QString needle(const QString &query)
{
    return folded(trimmed(query));
}

QList<FileItem> apply(const QList<FileItem> &items, const QString &query)
{
    const QString wanted = needle(query);
    if (wanted.isEmpty())
        return items;
    QList<FileItem> matching;
    for (const FileItem &item : items)
        if (folded(item.name).contains(wanted))
            matching.append(item);
    return matching;
}

} // namespace ItemFilter
