#include "urls.h"

#include "filenames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>
#include <cstdlib>

namespace Urls {

namespace {

// QUrl::fromLocalFile reads "//x/y" as host x and "///y" as an empty path.
QString withSingleLeadingSlash(const QString &absolute)
{
    qsizetype slashes = 0;
    while (slashes < absolute.size() && absolute.at(slashes) == QLatin1Char('/'))
        ++slashes;
    return slashes > 1 ? absolute.mid(slashes - 1) : absolute;
}

} // namespace

QUrl fromPath(const QString &path)
{
    return fromPath(path, QUrl::fromLocalFile(QDir::currentPath()));
}

QUrl fromPath(const QString &path, const QUrl &baseDirectory)
{
    if (path.isEmpty())
        return {};
    const QString absolute = QDir::isAbsolutePath(path)
                                 ? path
                                 : QDir(baseDirectory.toLocalFile()).absoluteFilePath(path);
    return QUrl::fromLocalFile(withSingleLeadingSlash(absolute));
}

QUrl fromFileUrlText(const QString &text)
{
    if (!text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return {};
    const QUrl url(text);
    const QString host = url.host();
    const bool onThisMachine = host.isEmpty() || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
    const QString urlPath = url.path(QUrl::FullyDecoded);
    if (!url.isValid() || !onThisMachine || !urlPath.startsWith(QLatin1Char('/')))
        return {};
    return fromPath(urlPath);
}

QString path(const QUrl &url)
{
    QString p = url.toLocalFile();
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

QString lastPathComponent(const QUrl &url)
{
    const QString p = path(url);
    if (p == QLatin1String("/"))
        return p;
    return fileName(p);
}

QUrl appending(const QUrl &url, const QString &component)
{
    QString p = path(url);
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    return QUrl::fromLocalFile(p + component);
}

QUrl deletingLastPathComponent(const QUrl &url)
{
    return QUrl::fromLocalFile(parentPath(path(url)));
}

QUrl standardized(const QUrl &url)
{
    const QString p = path(url);
    if (p.isEmpty())
        return url;
    QString clean = QDir::cleanPath(p);
    // cleanPath keeps leading ".." of a relative path; an absolute path never rises above "/".
    // Only a whole ".." component: "/..hidden" is a name of its own.
    while (clean == QLatin1String("/..") || clean.startsWith(QLatin1String("/../")))
        clean = clean.size() == 3 ? QStringLiteral("/") : clean.mid(3);
    return QUrl::fromLocalFile(clean);
}

QUrl resolvingSymlinks(const QUrl &url)
{
    const QByteArray encoded = encodedPath(url);
    if (encoded.isEmpty())
        return url;
    char resolved[PATH_MAX];
    if (::realpath(encoded.constData(), resolved))
        return QUrl::fromLocalFile(FileNames::decode(resolved));
    // The full path doesn't exist: resolve the longest existing prefix and keep the rest.
    const QUrl parent = deletingLastPathComponent(url);
    if (parent == url || path(parent) == path(url))
        return url;
    const QUrl resolvedParent = resolvingSymlinks(parent);
    if (resolvedParent == parent)
        return url;
    return appending(resolvedParent, lastPathComponent(url));
}

QByteArray encodedPath(const QUrl &url)
{
    return FileNames::encode(url.toLocalFile());
}

QString parentPath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString fileName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString childPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

bool isSameOrInside(const QString &path, const QString &folder)
{
    return folder == QLatin1String("/") || path == folder || path.startsWith(folder + QLatin1Char('/'));
}

} // namespace Urls
