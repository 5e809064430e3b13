#include "itemfilter.h"

#include <QChar>

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

} // namespace

QString folded(const QString &text)
{
    const QString decomposed = text.toCaseFolded().normalized(QString::NormalizationForm_D);
    QString result;
    result.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            result.append(c);
    // Case folding after decomposition catches letters whose folded form decomposes further.
    return result.toCaseFolded();
}

QList<FileItem> apply(const QList<FileItem> &items, const QString &query)
{
    const QString needle = folded(trimmed(query));
    if (needle.isEmpty())
        return items;
    QList<FileItem> matching;
    for (const FileItem &item : items)
        if (folded(item.name).contains(needle))
            matching.append(item);
    return matching;
}

} // namespace ItemFilter
