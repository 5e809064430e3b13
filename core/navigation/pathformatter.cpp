#include "pathformatter.h"

#include "urls.h"

#include <QStringList>

#include <algorithm>

bool PathFormatter::isSafe(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'.'
           || u == u'_' || u == u'-' || u == u'/';
}

QString PathFormatter::escape(const QString &text)
{
    const QChar quote = QLatin1Char('\'');
    if (text.isEmpty())
        return QString(2, quote);
    if (std::all_of(text.begin(), text.end(), isSafe))
        return text;
    // A quote can't appear inside single quotes: close them, add an escaped quote, reopen.
    QString inner = text;
    inner.replace(quote, QStringLiteral("'\\''"));
    return quote + inner + quote;
}

QString PathFormatter::joinForShell(const QList<QUrl> &urls)
{
    QStringList escaped;
    escaped.reserve(urls.size());
    for (const QUrl &url : urls)
        escaped << escape(Urls::path(url));
    return escaped.join(QLatin1Char(' '));
}
