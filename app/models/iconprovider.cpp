#include "iconprovider.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>

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
        if (QFileInfo::exists(root + QLatin1Char('/') + theme + QStringLiteral("/index.theme")))
            return root;
    return {};
}

} // namespace

QStringList IconProvider::iconNamesFor(const QString &path)
{
    QStringList names;
    const QFileInfo info(path); // follows links: a link to a folder shows as a folder
    if (info.isDir())
        return {QStringLiteral("folder"), QStringLiteral("inode-directory")};

    const QMimeDatabase mimes;
    const QList<QMimeType> byName = mimes.mimeTypesForFileName(info.fileName());
    if (!byName.isEmpty())
        appendNamesOf(byName.constFirst(), names);
    else if (info.isFile())
        appendNamesOf(mimes.mimeTypeForFile(info, QMimeDatabase::MatchContent), names);
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
