#pragma once
// Stand-ins for the programs and the session bus a test hands items to. Each fake program on PATH
// records its working folder and its arguments, one a line; the private bus keeps calls away from
// the desktop's real services.

#include "testdir.h"

#include <QProcess>
#include <QStandardPaths>

class FakePrograms
{
public:
    // Puts a recorder for each name first on PATH, followed only by the basic tools it needs.
    FakePrograms(const TestDir &dir, const QStringList &names) : m_dir(dir)
    {
        m_dir.dir(QStringLiteral("records"));
        // Written under a temporary name first, so that a reader never sees half a record.
        for (const QString &name : names)
            m_dir.program("bin/" + name, "#!/bin/sh\nout=\"$RECORD_DIR/" + name.toUtf8() + "\"\n"
                                         "{ pwd -P; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$out.part\"\n"
                                         "mv \"$out.part\" \"$out\"\n");
        qputenv("PATH", QFile::encodeName(m_dir.path(QStringLiteral("bin"))) + ":/usr/bin:/bin");
        qputenv("RECORD_DIR", QFile::encodeName(m_dir.path(QStringLiteral("records"))));
    }

    // The working folder and arguments of the last run; empty until a run has finished.
    QStringList recorded(const QString &name) const
    {
        return QString::fromUtf8(m_dir.read("records/" + name)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    void forget(const QString &name) const { QFile::remove(m_dir.path("records/" + name)); }

private:
    const TestDir &m_dir;
};

// A session bus of the test's own; address() is empty when no dbus-daemon could be started.
class PrivateBus
{
public:
    PrivateBus()
    {
        m_daemon.start(QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (m_daemon.waitForStarted() && m_daemon.waitForReadyRead(10000))
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        // Asked to stop, the daemon removes its socket; killed, it would leave it in /tmp.
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000))
            m_daemon.kill();
        m_daemon.waitForFinished();
    }
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};
