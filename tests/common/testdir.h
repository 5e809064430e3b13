#pragma once
// A temporary folder for one test, with helpers to lay out files, folders and links in it.
// isolateHome() points HOME and the XDG folders into it, so nothing touches the real home.

#include "filepath.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

class TestDir
{
public:
    TestDir() = default;
    explicit TestDir(const QString &parent) : m_dir(parent + QStringLiteral("/tallowmere-test-XXXXXX")) {}
    // By bytes: Qt's own removal gives up at names that aren't UTF-8 and would leave the folder.
    ~TestDir()
    {
        if (m_dir.isValid())
            ::nftw(QFile::encodeName(m_dir.path()).constData(),
                   [](const char *path, const struct stat *, int type, FTW *) {
                       return type == FTW_DP ? ::rmdir(path) : ::unlink(path);
                   },
                   16, FTW_DEPTH | FTW_PHYS);
    }

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString path(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    FilePath url() const { return FilePath::fromString(path()); }
    FilePath url(const QString &relative) const { return FilePath::fromString(path(relative)); }

    // Creates the file (and its folders) with the given contents; returns its path.
    QString file(const QString &relative, const QByteArray &contents = {}) const
    {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).path());
        QFile f(full);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("TestDir: cannot create %s", qPrintable(full));
        f.write(contents);
        return full;
    }

    QString dir(const QString &relative) const
    {
        const QString full = path(relative);
        QDir().mkpath(full);
        return full;
    }

    // A symbolic link at `relative` pointing to `target` (taken as written).
    QString link(const QString &target, const QString &relative) const
    {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).path());
        if (::symlink(QFile::encodeName(target).constData(), QFile::encodeName(full).constData()) != 0)
            qFatal("TestDir: cannot link %s", qPrintable(full));
        return full;
    }

    // An executable file, such as a script standing in for a program; returns its path.
    QString program(const QString &relative, const QByteArray &contents) const
    {
        const QString full = file(relative, contents);
        QFile::setPermissions(full, QFile::permissions(full) | QFileDevice::ExeOwner | QFileDevice::ExeGroup
                                        | QFileDevice::ExeOther);
        return full;
    }

    // The home Trash that isolateHome() sets up, relative to the test folder; `sub` is appended.
    static QString homeTrash(const QString &sub = {}) { return QStringLiteral(".home/.local/share/Trash") + sub; }

    QByteArray read(const QString &relative) const
    {
        QFile f(path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    bool exists(const QString &relative) const
    {
        return QFileInfo(path(relative)).exists() || QFileInfo(path(relative)).isSymLink();
    }

    // Names in a folder, sorted, hidden ones included.
    QStringList entries(const QString &relative = {}) const
    {
        return QDir(relative.isEmpty() ? path() : path(relative))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    // Lets an unprivileged user walk into the test folder (QTemporaryDir makes it 0700).
    void openToOthers() const { ::chmod(QFile::encodeName(path()).constData(), 0755); }

    void isolateHome() const
    {
        const QString home = dir(QStringLiteral(".home"));
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/.local/share")));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home + QStringLiteral("/.cache")));
    }

private:
    QTemporaryDir m_dir;
};

// Root reads everything, so permission tests drop to an unprivileged user while this lives.
// The folders it must reach need to be open to others (TestDir::openToOthers).
class AsUnprivileged
{
public:
    AsUnprivileged() : m_dropped(::geteuid() == 0 && ::setegid(65534) == 0 && ::seteuid(65534) == 0) {}
    ~AsUnprivileged()
    {
        if (m_dropped) {
            [[maybe_unused]] int a = ::seteuid(0);
            [[maybe_unused]] int b = ::setegid(0);
        }
    }
    AsUnprivileged(const AsUnprivileged &) = delete;
    AsUnprivileged &operator=(const AsUnprivileged &) = delete;

private:
    bool m_dropped = false;
};
