#include "pathformatter.h"

#include "filenames.h"

#include <QStringList>

#include <algorithm>

bool PathFormatter::isSafe(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'.'
           || u == u'_' || u == u'-' || u == u'/';
}

// Bytes that aren't UTF-8 can't be written as text at all, so such a path goes inside $'…'
// (bash, zsh, ksh and POSIX shells since 2024), where \xNN gives the byte itself back.
QString PathFormatter::ansiQuoted(const QString &text)
{
    const QByteArray bytes = FileNames::encode(text);
    QByteArray quoted = "$'";
    for (const char c : bytes) {
        const auto u = uchar(c);
        if (c == '\\' || c == '\'')
            quoted += '\\';
        if (u >= 0x80 || u < 0x20 || u == 0x7f)
            quoted += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
        else
            quoted += c;
    }
    quoted += '\'';
    // Pure ASCII now: every byte outside it is written as \xNN.
    return QString::fromLatin1(quoted);
}

QString PathFormatter::escape(const QString &text)
{
    const QChar quote = QLatin1Char('\'');
    if (text.isEmpty())
        return QString(2, quote);
    if (std::all_of(text.begin(), text.end(), isSafe))
        return text;
    if (FileNames::hasRawBytes(text))
        return ansiQuoted(text);
    // A quote can't appear inside single quotes: close them, add an escaped quote, reopen.
    QString inner = text;
    inner.replace(quote, QStringLiteral("'\\''"));
    return quote + inner + quote;
}

QString PathFormatter::joinForShell(const QList<FilePath> &urls)
{
    QStringList escaped;
    escaped.reserve(urls.size());
    for (const FilePath &url : urls)
        escaped << escape(url.path());
    return escaped.join(QLatin1Char(' '));
}
