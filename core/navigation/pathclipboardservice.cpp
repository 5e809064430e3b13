#include "pathclipboardservice.h"

#include "filenames.h"
#include "pathformatter.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

enum class Existence { missing, directory, other };

// Follows links, like the shell would when entering the path.
Existence existence(const FilePath &url)
{
    // A NUL would cut the path short at the system call and test some other item.
    if (url.isEmpty() || url.nativePath().contains('\0'))
        return Existence::missing;
    struct stat st;
    if (::stat(url.c_str(), &st) != 0)
        return Existence::missing;
    return S_ISDIR(st.st_mode) ? Existence::directory : Existence::other;
}

// The home folder from the user database; empty for an unknown user.
template <typename Lookup>
QString homeFromPasswd(Lookup lookup)
{
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? size_t(suggested) : 16384);
    struct passwd entry;
    struct passwd *found = nullptr;
    int err;
    while ((err = lookup(&entry, buffer.data(), buffer.size(), &found)) == ERANGE && buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    if (err != 0 || !found || !found->pw_dir)
        return {};
    return FileNames::decode(found->pw_dir);
}

QString homeOfUser(const QString &name)
{
    const QByteArray encoded = FileNames::encode(name);
    if (encoded.contains('\0'))
        return {};
    return homeFromPasswd([&](passwd *entry, char *buffer, size_t size, passwd **found) {
        return ::getpwnam_r(encoded.constData(), entry, buffer, size, found);
    });
}

QString homeOfCurrentUser()
{
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty())
        return home;
    return homeFromPasswd([](passwd *entry, char *buffer, size_t size, passwd **found) {
        return ::getpwuid_r(::getuid(), entry, buffer, size, found);
    });
}

bool isQuotedWith(const QString &text, QChar quote)
{
    return text.size() >= 2 && text.startsWith(quote) && text.endsWith(quote);
}

// The inside of $'…' as PathFormatter writes it: \xNN, \\ and \' escapes.
QString unescapeAnsiQuoted(const QString &inner)
{
    const QByteArray bytes = FileNames::encode(inner);
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) != '\\' || i + 1 == bytes.size()) {
            out += bytes.at(i);
            continue;
        }
        bool hex = false;
        const int value = bytes.mid(i + 2, 2).toInt(&hex, 16);
        if (bytes.at(i + 1) == 'x' && hex && i + 3 < bytes.size()) {
            out += char(value);
            i += 3;
        } else {
            out += bytes.at(++i);
        }
    }
    return FileNames::decode(out);
}

} // namespace

QString PathClipboardService::copyString(const QList<FilePath> &urls)
{
    return PathFormatter::joinForShell(urls);
}

QString PathClipboardService::unescape(const QString &text)
{
    if (text.startsWith(QLatin1String("$'")) && text.size() >= 3 && text.endsWith(QLatin1Char('\'')))
        return unescapeAnsiQuoted(text.mid(2, text.size() - 3));
    if (isQuotedWith(text, QLatin1Char('\''))) {
        QString inner = text.mid(1, text.size() - 2);
        return inner.replace(QStringLiteral("'\\''"), QStringLiteral("'"));
    }
    if (isQuotedWith(text, QLatin1Char('"')))
        return text.mid(1, text.size() - 2);
    QString unquoted = text;
    return unquoted.replace(QStringLiteral("\\ "), QStringLiteral(" "));
}

QString PathClipboardService::expandingTilde(const QString &path)
{
    if (!path.startsWith(QLatin1Char('~')))
        return path;
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    const QString name = path.mid(1, slash < 0 ? -1 : slash - 1);
    const QString home = name.isEmpty() ? homeOfCurrentUser() : homeOfUser(name);
    if (home.isEmpty())
        return path;
    return slash < 0 ? home : home + path.mid(slash);
}

std::optional<PathClipboardService::Resolution> PathClipboardService::resolve(const QString &text,
                                                                              const FilePath &relativeTo)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const QString unescaped = unescape(trimmed);
    FilePath url = FilePath::fromUrlText(unescaped);
    if (url.isEmpty())
        url = FilePath::fromString(expandingTilde(unescaped), relativeTo);
    // An empty path ('' or "") names nothing: notFound with an empty URL.
    return resolve(url);
}

PathClipboardService::Resolution PathClipboardService::resolve(const FilePath &path)
{
    const FilePath url = path.cleanPath();
    switch (existence(url)) {
    case Existence::directory:
        return Resolution::directory(url);
    case Existence::other:
        return Resolution::file(url.parentDir(), url);
    case Existence::missing:
        break;
    }
    return Resolution::notFound(url);
}
