#include "titlebarsummary.h"

#include <QLocale>
#include <QStringList>

QString TitleBarSummary::single(const QString &name, const QString &kind, std::optional<qint64> byteSize,
                                const std::optional<QDateTime> &created, const std::optional<QDateTime> &modified,
                                const Format &format)
{
    const QChar space = QLatin1Char(' ');
    QStringList parts;
    if (!kind.isEmpty())
        parts << kind;
    if (byteSize)
        parts << format.formatByteCount(*byteSize);
    if (created)
        parts << format.createdLabel + space + format.formatDate(*created);
    if (modified)
        parts << format.modifiedLabel + space + format.formatDate(*modified);
    if (parts.isEmpty())
        return name;
    return name + format.separator + parts.join(format.separator);
}

QString TitleBarSummary::defaultDate(const QDateTime &date)
{
    return QLocale().toString(date.toLocalTime(), QLocale::ShortFormat);
}
