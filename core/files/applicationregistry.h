#pragma once
// The applications installed for the user and the system (desktop entries under the XDG data
// folders) and the user's choices among them (mimeapps.list under the XDG config and data
// folders): which applications open a type of file, the default first, and all of them for
// "Other Application…". A snapshot: made afresh when it is asked for again.

#include "desktopentry.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class ApplicationRegistry
{
public:
    // `dataDirs` and `configDirs` most important first (the user's own folder first);
    // `desktops` the names of $XDG_CURRENT_DESKTOP, for "<desktop>-mimeapps.list".
    ApplicationRegistry(const QStringList &dataDirs, const QStringList &configDirs, const QStringList &desktops,
                        const QStringList &languages);
    // From the XDG variables of this process (and their standard defaults), in the user's languages.
    [[nodiscard]] static ApplicationRegistry fromEnvironment(const QStringList &languages);

    // The applications that open `mimeType` (or a type it is a kind of): the user's default
    // first, then the associations the user added, then every application that says it takes
    // the type; without those the user removed. No entry twice.
    [[nodiscard]] QList<DesktopEntry> applicationsFor(const QString &mimeType) const;
    // Those that open every one of the types, in the order of the first.
    [[nodiscard]] QList<DesktopEntry> applicationsFor(const QStringList &mimeTypes) const;
    // The id of the default application for the type, if one is set and installed.
    [[nodiscard]] QString defaultFor(const QString &mimeType) const;
    // Every application a person may pick, by name.
    [[nodiscard]] QList<DesktopEntry> allApplications() const;

private:
    struct Associations
    {
        QStringList defaults;
        QStringList added;
        QStringList removed;
    };
    void readEntries(const QString &folder, const QString &prefix, const QStringList &languages);
    void readAssociations(const QString &path);
    QList<QString> typeAndAncestors(const QString &mimeType) const;

    QHash<QString, DesktopEntry> m_entries;
    QStringList m_order; // ids in the order read
    // Per type, one set per mimeapps.list file, most important file first.
    QList<QHash<QString, Associations>> m_lists;
};
