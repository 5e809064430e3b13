#include "applicationregistry.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QSet>

#include <algorithm>

namespace {

QStringList xdgDirs(const char *homeVariable, const QString &homeDefault, const char *dirsVariable, const QString &dirsDefault)
{
    QString home = qEnvironmentVariable(homeVariable);
    if (home.isEmpty())
        home = QDir::homePath() + homeDefault;
    QStringList dirs{home};
    const QString list = qEnvironmentVariable(dirsVariable);
    dirs += (list.isEmpty() ? dirsDefault : list).split(u':', Qt::SkipEmptyParts);
    return dirs;
}

QStringList idList(const QString &value)
{
    return value.split(u';', Qt::SkipEmptyParts);
}

} // namespace

ApplicationRegistry::ApplicationRegistry(const QStringList &dataDirs, const QStringList &configDirs,
                                         const QStringList &desktops, const QStringList &languages)
{
    for (const QString &dir : dataDirs)
        readEntries(dir + QStringLiteral("/applications"), QString(), languages);
    QStringList lists;
    for (const QString &dir : configDirs) {
        for (const QString &desktop : desktops)
            lists << dir + u'/' + desktop.toLower() + QStringLiteral("-mimeapps.list");
        lists << dir + QStringLiteral("/mimeapps.list");
    }
    for (const QString &dir : dataDirs) {
        for (const QString &desktop : desktops)
            lists << dir + QStringLiteral("/applications/") + desktop.toLower() + QStringLiteral("-mimeapps.list");
        lists << dir + QStringLiteral("/applications/mimeapps.list");
    }
    for (const QString &list : std::as_const(lists))
        readAssociations(list);
}

ApplicationRegistry ApplicationRegistry::fromEnvironment(const QStringList &languages)
{
    return ApplicationRegistry(
        xdgDirs("XDG_DATA_HOME", QStringLiteral("/.local/share"), "XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share")),
        xdgDirs("XDG_CONFIG_HOME", QStringLiteral("/.config"), "XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg")),
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts), languages);
}

// Program files of the system and the user, not the user's documents: QDir is fine here.
void ApplicationRegistry::readEntries(const QString &folder, const QString &prefix, const QStringList &languages)
{
    const QDir dir(folder);
    for (const QString &sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        readEntries(dir.filePath(sub), prefix + sub + u'-', languages);
    for (const QString &name : dir.entryList({QStringLiteral("*.desktop")}, QDir::Files, QDir::Name)) {
        // An id found in a more important folder hides the same id further down, even when
        // that first one is hidden or broken.
        const QString id = prefix + name;
        if (m_order.contains(id))
            continue;
        m_order.append(id);
        if (std::optional<DesktopEntry> entry = DesktopEntry::load(dir.filePath(name), id, languages))
            m_entries.insert(id, *entry);
    }
}

void ApplicationRegistry::readAssociations(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QHash<QString, Associations> byType;
    QString group;
    for (const QByteArray &rawLine : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            group = line;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        Associations &associations = byType[line.left(equals).trimmed()];
        const QStringList ids = idList(line.mid(equals + 1).trimmed());
        if (group == QLatin1String("[Default Applications]"))
            associations.defaults += ids;
        else if (group == QLatin1String("[Added Associations]"))
            associations.added += ids;
        else if (group == QLatin1String("[Removed Associations]"))
            associations.removed += ids;
    }
    m_lists.append(byType);
}

QList<QString> ApplicationRegistry::typeAndAncestors(const QString &mimeType) const
{
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
    QList<QString> types{type.isValid() ? type.name() : mimeType};
    if (type.isValid())
        types += type.allAncestors();
    return types;
}

QString ApplicationRegistry::defaultFor(const QString &mimeType) const
{
    for (const QString &type : typeAndAncestors(mimeType))
        for (const auto &list : m_lists)
            for (const QString &id : list.value(type).defaults)
                if (m_entries.contains(id))
                    return id;
    return {};
}

QList<DesktopEntry> ApplicationRegistry::applicationsFor(const QString &mimeType) const
{
    QStringList ids;
    const auto take = [&](const QString &id) {
        if (m_entries.contains(id) && !ids.contains(id))
            ids.append(id);
    };
    if (const QString chosen = defaultFor(mimeType); !chosen.isEmpty())
        ids.append(chosen);
    for (const QString &type : typeAndAncestors(mimeType)) {
        // A removal hides what less important files and the entries themselves say, not what
        // a more important file added.
        QSet<QString> removed;
        for (const auto &list : m_lists) {
            const Associations associations = list.value(type);
            for (const QString &id : associations.added)
                if (!removed.contains(id))
                    take(id);
            for (const QString &id : associations.removed)
                removed.insert(id);
        }
        QList<const DesktopEntry *> registered;
        for (const QString &id : m_order) {
            const auto entry = m_entries.constFind(id);
            if (entry != m_entries.cend() && entry->mimeTypes.contains(type) && !removed.contains(id))
                registered.append(&*entry);
        }
        std::stable_sort(registered.begin(), registered.end(),
                         [](const DesktopEntry *a, const DesktopEntry *b) { return a->name.localeAwareCompare(b->name) < 0; });
        for (const DesktopEntry *entry : std::as_const(registered))
            take(entry->id);
    }
    QList<DesktopEntry> result;
    for (const QString &id : std::as_const(ids))
        result.append(m_entries.value(id));
    return result;
}

QList<DesktopEntry> ApplicationRegistry::applicationsFor(const QStringList &mimeTypes) const
{
    if (mimeTypes.isEmpty())
        return {};
    QList<DesktopEntry> result = applicationsFor(mimeTypes.first());
    for (const QString &type : mimeTypes.sliced(1)) {
        const QList<DesktopEntry> others = applicationsFor(type);
        result.removeIf([&](const DesktopEntry &entry) {
            return std::none_of(others.begin(), others.end(), [&](const DesktopEntry &o) { return o.id == entry.id; });
        });
    }
    return result;
}

QList<DesktopEntry> ApplicationRegistry::allApplications() const
{
    QList<DesktopEntry> result;
    for (const DesktopEntry &entry : m_entries)
        if (!entry.noDisplay)
            result.append(entry);
    std::sort(result.begin(), result.end(), [](const DesktopEntry &a, const DesktopEntry &b) {
        const int order = a.name.localeAwareCompare(b.name);
        return order != 0 ? order < 0 : a.id < b.id;
    });
    return result;
}
