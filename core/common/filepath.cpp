#include "filepath.h"

#include "filenames.h"

#include <QUrl>

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace {

QByteArray workingFolder()
{
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? QByteArray(buffer) : QByteArray("/");
}

// One leading "/", no doubled "/", no trailing "/" except for the root.
QByteArray normalised(QByteArrayView bytes, const QByteArray &base)
{
    QByteArray out;
    out.reserve(base.size() + bytes.size() + 1);
    if (!bytes.startsWith('/'))
        out = base;
    out += '/';
    out += bytes;
    qsizetype write = 0;
    for (qsizetype read = 0; read < out.size(); ++read) {
        if (out.at(read) == '/' && write > 0 && out.at(write - 1) == '/')
            continue;
        out[write++] = out.at(read);
    }
    if (write > 1 && out.at(write - 1) == '/')
        --write;
    out.truncate(write);
    return out;
}

bool alreadyNormal(QByteArrayView bytes)
{
    if (!bytes.startsWith('/') || (bytes.size() > 1 && bytes.endsWith('/')))
        return false;
    return !bytes.contains(QByteArrayView("//"));
}

} // namespace

FilePath FilePath::fromNative(QByteArrayView bytes)
{
    // A NUL (percent-decoded from a URL, say) would end the path early at the system call,
    // which would then act on some other item.
    if (bytes.isEmpty() || bytes.contains('\0'))
        return {};
    if (alreadyNormal(bytes))
        return FilePath(bytes.toByteArray());
    return FilePath(normalised(bytes, bytes.startsWith('/') ? QByteArray() : workingFolder()));
}

FilePath FilePath::fromString(const QString &text)
{
    return fromNative(FileNames::encode(text));
}

FilePath FilePath::fromString(const QString &text, const FilePath &base)
{
    if (text.isEmpty())
        return {};
    const QByteArray bytes = FileNames::encode(text);
    if (bytes.startsWith('/') || base.isEmpty())
        return fromNative(bytes);
    return FilePath(normalised(bytes, base.m_bytes));
}

FilePath FilePath::fromUrl(const QUrl &url)
{
    if (!url.isValid() || url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) != 0)
        return {};
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return {};
    // The percent-encoded form carries the exact bytes, valid UTF-8 or not.
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!bytes.startsWith('/'))
        return {};
    return fromNative(bytes);
}

FilePath FilePath::fromUrlText(const QString &text)
{
    if (!text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return {};
    return fromUrl(QUrl(text, QUrl::StrictMode));
}

QString FilePath::path() const
{
    return FileNames::decode(m_bytes);
}

QString FilePath::displayPath() const
{
    return FileNames::displayName(path());
}

QUrl FilePath::toUrl() const
{
    if (isEmpty())
        return {};
    // Percent-encoded bytes keep a name that isn't UTF-8 intact through the URL.
    QUrl url;
    url.setScheme(QStringLiteral("file"));
    url.setPath(QString::fromLatin1(m_bytes.toPercentEncoding("/")), QUrl::TolerantMode);
    return url;
}

QByteArrayView FilePath::fileNameBytes() const
{
    if (isRoot())
        return QByteArrayView(m_bytes);
    return QByteArrayView(m_bytes).sliced(m_bytes.lastIndexOf('/') + 1);
}

QString FilePath::fileName() const
{
    const QByteArrayView name = fileNameBytes();
    return FileNames::decode(name.data(), name.size());
}

QString FilePath::displayName() const
{
    return FileNames::displayName(fileName());
}

FilePath FilePath::parentDir() const
{
    if (isEmpty() || isRoot())
        return *this;
    const qsizetype slash = m_bytes.lastIndexOf('/');
    return FilePath(slash <= 0 ? QByteArray("/") : m_bytes.left(slash));
}

FilePath FilePath::pathAppended(const QString &name) const
{
    return pathAppended(QByteArrayView(FileNames::encode(name)));
}

FilePath FilePath::pathAppended(QByteArrayView name) const
{
    if (isEmpty())
        return {};
    if (name.isEmpty())
        return *this;
    QByteArray bytes;
    bytes.reserve(m_bytes.size() + 1 + name.size());
    bytes += m_bytes;
    if (!isRoot())
        bytes += '/';
    bytes += name;
    if (name.contains('/'))
        return FilePath(normalised(bytes, {}));
    return FilePath(std::move(bytes));
}

bool FilePath::isChildOf(const FilePath &folder) const
{
    if (folder.isEmpty() || m_bytes.size() <= folder.m_bytes.size() || !m_bytes.startsWith(folder.m_bytes))
        return false;
    return folder.isRoot() || m_bytes.at(folder.m_bytes.size()) == '/';
}

QByteArray FilePath::relativeChildPath(const FilePath &folder) const
{
    if (!isChildOf(folder))
        return {};
    return m_bytes.mid(folder.isRoot() ? 1 : folder.m_bytes.size() + 1);
}

FilePath FilePath::cleanPath() const
{
    if (isEmpty())
        return {};
    QList<QByteArray> kept;
    for (const QByteArray &part : m_bytes.mid(1).split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!kept.isEmpty())
                kept.removeLast();
            continue;
        }
        kept.append(part);
    }
    QByteArray clean;
    for (const QByteArray &part : kept) {
        clean += '/';
        clean += part;
    }
    return FilePath(clean.isEmpty() ? QByteArray("/") : clean);
}

FilePath FilePath::resolvingSymlinks() const
{
    if (isEmpty())
        return {};
    char resolved[PATH_MAX];
    if (::realpath(c_str(), resolved))
        return FilePath(QByteArray(resolved));
    // The full path doesn't exist: resolve the longest existing prefix and keep the rest.
    if (isRoot())
        return *this;
    const FilePath parent = parentDir();
    const FilePath resolvedParent = parent.resolvingSymlinks();
    if (resolvedParent == parent)
        return *this;
    return resolvedParent.pathAppended(fileNameBytes());
}
