#pragma once
// A tree as it was before an operation, to check that a copy, a move or an extraction reproduced
// it: the same items, each with its kind, contents or link target, mode, attributes and times.
// `archived` compares modification times to the second and none of a link's, as archives keep.

#include <QDebug>
#include <QDirIterator>
#include <QFile>
#include <QList>
#include <QStringList>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

class TreeSnapshot
{
public:
    enum class Times { exact, archived };

    explicit TreeSnapshot(const QString &root, Times times = Times::exact) : m_times(times), m_paths(pathsUnder(root))
    {
        // Reading a fresh file advances its access time once (relatime); after that, reading it
        // again, as the copy will, must leave the times alone.
        describe(root);
        m_description = describe(root);
    }

    // Whether `copy` holds exactly the tree described; shows both descriptions when not.
    bool matches(const QString &copy) const
    {
        const QStringList found = describe(copy);
        const bool same = found == m_description && pathsUnder(copy) == m_paths;
        if (!same)
            qWarning() << "found:" << found << "\nexpected:" << m_description;
        return same;
    }

private:
    // Paths relative to `root`, root itself as "", sorted.
    static QStringList pathsUnder(const QString &root)
    {
        QStringList paths{QString()};
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            paths << it.next().mid(root.size());
        paths.sort();
        return paths;
    }

    QStringList describe(const QString &root) const
    {
        // Every item is examined before any is read, since reading moves access times.
        QList<struct stat> stats;
        for (const QString &path : m_paths) {
            struct stat st;
            if (::lstat(QFile::encodeName(root + path).constData(), &st) != 0)
                return {"missing " + path};
            stats << st;
        }
        QStringList lines;
        for (qsizetype i = 0; i < m_paths.size(); ++i)
            lines << describe(root + m_paths[i], stats[i]).prepend(m_paths[i] + ' ');
        return lines;
    }

    QString describe(const QString &path, const struct stat &st) const
    {
        QString line = QString::number(st.st_mode & 07777, 8);
        if (S_ISLNK(st.st_mode)) { // the target as written, not resolved
            char target[4096];
            const ssize_t n = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
            line += " link " + QFile::decodeName(QByteArray(target, int(qMax<ssize_t>(n, 0))));
        } else if (S_ISREG(st.st_mode)) {
            QFile file(path);
            line += " file " + QString::number(qHash(file.open(QIODevice::ReadOnly) ? file.readAll() : "?"));
        } else {
            line += S_ISDIR(st.st_mode) ? " dir" : " special";
        }
        line += attributes(path);
        if (m_times == Times::exact)
            return line + QStringLiteral(" %1.%2 %3.%4").arg(st.st_mtim.tv_sec).arg(st.st_mtim.tv_nsec)
                              .arg(st.st_atim.tv_sec).arg(st.st_atim.tv_nsec);
        return S_ISLNK(st.st_mode) ? line : line + QStringLiteral(" %1").arg(st.st_mtim.tv_sec);
    }

    // The user's extended attributes and the ACLs, the ones a copy keeps.
    static QString attributes(const QString &path)
    {
        char names[4096], value[4096];
        const QByteArray item = QFile::encodeName(path);
        const ssize_t size = ::llistxattr(item.constData(), names, sizeof names);
        QStringList found;
        for (const char *name = names; size > 0 && name < names + size; name += qstrlen(name) + 1) {
            const ssize_t length = ::lgetxattr(item.constData(), name, value, sizeof value);
            if (QByteArray(name).startsWith("user.") || QByteArray(name).startsWith("system.posix_acl_"))
                found << QString::fromLatin1(name) + '=' + QByteArray(value, int(qMax<ssize_t>(length, 0))).toHex();
        }
        found.sort();
        return found.isEmpty() ? QString() : " attributes " + found.join(' ');
    }

    Times m_times;
    QStringList m_paths;
    QStringList m_description;
};
