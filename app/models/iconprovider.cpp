#include "iconprovider.h"

#include "filepath.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString fallbackIconName = QStringLiteral("application-octet-stream");

void appendNamesOf(const QMimeType &type, QStringList &names)
{
    for (const QString &name : {type.iconName(), type.genericIconName()})
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
}

QString themeFolder(const QString &theme)
{
    for (const QString &root : QIcon::themeSearchPaths())
        if (QFileInfo::exists(root + QLatin1Char('/') + theme + QStringLiteral("/index.theme"))) // not a user's path
            return root;
    return {};
}

// The start of a file, as much as telling its type by its contents needs.
QByteArray leadingBytes(const FilePath &file)
{
    QByteArray bytes(4096, Qt::Uninitialized);
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    const ssize_t got = fd < 0 ? 0 : ::read(fd, bytes.data(), size_t(bytes.size()));
    if (fd >= 0)
        ::close(fd);
    bytes.truncate(got > 0 ? qsizetype(got) : 0);
    return bytes;
}

} // namespace

QStringList IconProvider::iconNamesFor(const FilePath &file)
{
    struct stat st;
    const bool known = ::stat(file.c_str(), &st) == 0; // follows links: a link to a folder shows as a folder
    if (known && S_ISDIR(st.st_mode))
        return {QStringLiteral("folder"), QStringLiteral("inode-directory")};

    QStringList names;
    const QMimeDatabase mimes;
    const QList<QMimeType> byName = mimes.mimeTypesForFileName(file.displayName());
    if (!byName.isEmpty())
        appendNamesOf(byName.constFirst(), names);
    else if (known && S_ISREG(st.st_mode))
        appendNamesOf(mimes.mimeTypeForData(leadingBytes(file)), names);
    if (!names.contains(fallbackIconName))
        names.append(fallbackIconName);
    return names;
}

QIcon IconProvider::iconFor(const QStringList &names)
{
    for (const QString &name : names)
        if (QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    return QIcon::fromTheme(fallbackIconName);
}

void IconProvider::setUpTheme()
{
    QStringList paths = QIcon::themeSearchPaths();
    const QStringList roots{QDir::homePath() + QStringLiteral("/.local/share/icons"),
                            QStringLiteral("/usr/local/share/icons"), QStringLiteral("/usr/share/icons")};
    for (const QString &root : roots)
        if (!paths.contains(root))
            paths.append(root);
    QIcon::setThemeSearchPaths(paths);
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    for (const QString &theme : {QStringLiteral("breeze-dark"), QStringLiteral("breeze"), QStringLiteral("Adwaita")}) {
        if (!themeFolder(theme).isEmpty()) {
            QIcon::setThemeName(theme);
            return;
        }
    }
}
