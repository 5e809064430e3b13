#pragma once
// Facts about items on disk that several tests check or stage: modes, times, owners, file systems.

#include <QDirIterator>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Permission bits (set-id and sticky included) of the item itself; -1 when there is none.
inline int modeOf(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

inline void setMode(const QString &path, int mode)
{
    if (::chmod(QFile::encodeName(path).constData(), mode_t(mode)) != 0)
        qFatal("cannot change the mode of %s", qPrintable(path));
}

// Sets both times of the item itself (not a link's target), with a fraction of a second each.
inline void setTimes(const QString &path, qint64 accessed, qint64 modified)
{
    const struct timespec times[2] = {{accessed, 123456789}, {modified, 987654321}};
    if (::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        qFatal("cannot set the times of %s", qPrintable(path));
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool separateFileSystems(const QString &a, const QString &b)
{
    struct stat first, second;
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
           && ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev != second.st_dev;
}

// Hands a tree to the unprivileged user of AsUnprivileged, so that permission failures inside it
// can be staged while the tests run as root.
inline void giveAway(const QString &root)
{
    if (::geteuid() != 0)
        return;
    QStringList paths{root};
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    for (const QString &path : paths)
        if (::lchown(QFile::encodeName(path).constData(), 65534, 65534) != 0)
            qFatal("cannot give away %s", qPrintable(path));
}
