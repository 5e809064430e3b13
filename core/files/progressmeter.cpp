#include "progressmeter.h"

#include "dirstream.h"
#include "folderchain.h"
#include "uniquefd.h"

#include <algorithm>
#include <optional>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

void ProgressMeter::measure(const char *path, const QString &displayPath)
{
    FolderChain chain(AT_FDCWD);
    // Adds an entry of chain.top(); a folder is entered, and summed as the walk goes on.
    const auto add = [&](const char *entry) {
        check(displayPath);
        struct stat st;
        if (::fstatat(chain.top(), entry, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return;
        if (!S_ISDIR(st.st_mode)) {
            m_total += S_ISREG(st.st_mode) ? qint64(st.st_size) : 0;
            return;
        }
        UniqueFd folder(::openat(chain.top(), entry, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!folder.valid())
            return;
        int err = 0;
        QList<QByteArray> entries = DirStream::namesIn(folder.get(), err);
        chain.enter(std::move(folder), {{}, {}, std::move(entries)});
    };
    add(path);
    while (chain.depth() > 0) {
        if (const std::optional<QByteArray> entry = chain.nextEntry())
            add(entry->constData());
        else
            chain.leave();
    }
}

void ProgressMeter::add(qint64 bytes)
{
    if (bytes <= 0)
        return;
    m_done += bytes;
    m_total = std::max(m_total, m_done);
    if (!m_control.onProgress || (m_clock.isValid() && !m_clock.hasExpired(ReportIntervalMs)))
        return;
    m_clock.start();
    m_control.onProgress(m_done, m_total);
}

void ProgressMeter::finish() const
{
    if (m_control.onProgress)
        m_control.onProgress(m_done, m_done);
}

void ProgressMeter::check(const QString &path)
{
    if (m_chore && (!m_choreClock.isValid() || m_choreClock.hasExpired(ReportIntervalMs))) {
        m_choreClock.start();
        m_chore();
    }
    if (m_control.shouldContinue && !m_control.shouldContinue())
        throw FileError(m_operation, ECANCELED, path);
}

void ProgressMeter::checkMidFile(const QString &path, qint64 done)
{
    if (done > 0 && m_control.pauseMidFile)
        m_control.pauseMidFile(path, done, m_control.shouldContinue);
    check(path);
}
