#include "treewalker.h"

#include "dirstream.h"
#include "filenames.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <vector>

namespace {

// Folders deeper than this are read ahead and closed before the walk descends from them, so a
// deep tree holds at most this many descriptors (plus one) however deep it goes.
constexpr std::size_t MaxOpenFolders = 32;

struct Entry
{
    const char *name;
    bool isDirectory;
};

// One folder on the walk's stack: either still open and read as it goes, or read ahead into
// `buffered` (entries as an is-folder byte, the name and a NUL) and already closed.
struct Level
{
    DirStream dir;
    QByteArray buffered;
    qsizetype next = 0;
    // Length of the path before this folder's name was appended; restored on leaving.
    qsizetype parentPathBytes = 0;
};

// d_type without a stat, except on file systems that don't fill it in. Links are not folders.
bool isDirectoryEntry(int dirFd, const dirent *entry)
{
    if (entry->d_type != DT_UNKNOWN)
        return entry->d_type == DT_DIR;
    struct stat st;
    return ::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

class Walk
{
public:
    Walk(bool showHidden, int limit, int batchSize, const QSet<QString> &ignored,
         const TreeWalker::ShouldContinue &shouldContinue, const TreeWalker::OnBatch &onBatch)
        : m_showHidden(showHidden), m_limit(limit), m_batchSize(batchSize), m_ignored(ignored),
          m_shouldContinue(shouldContinue), m_onBatch(onBatch),
          m_epoch(QDateTime::fromSecsSinceEpoch(0, Qt::UTC))
    {
    }
    Walk(const Walk &) = delete;
    Walk &operator=(const Walk &) = delete;

    void run(const FilePath &root)
    {
        if (root.isEmpty())
            return finish(false);
        m_pathBytes = root.nativePath();
        if (!m_pathBytes.endsWith('/'))
            m_pathBytes += '/';
        if (!enter(DirStream::open(m_pathBytes.constData())))
            return finish(false);
        m_batch.reserve(qBound(1, m_batchSize, 4096));
        Entry entry;
        while (!m_levels.empty()) {
            if (!nextEntry(m_levels.back(), entry)) {
                leave();
                continue;
            }
            if (!m_showHidden && entry.name[0] == '.')
                continue;
            if ((m_shouldContinue && !m_shouldContinue()) || m_count >= m_limit)
                return finish(true);
            visit(entry);
        }
        finish(false);
    }

private:
    void visit(const Entry &entry)
    {
        QString name = FileNames::decode(entry.name);
        if (entry.isDirectory && !m_ignored.isEmpty() && m_ignored.contains(name))
            return;
        m_batch.append(FileItem(FilePath::fromNative(QByteArray(m_pathBytes + entry.name)), FileNames::displayName(name),
                                entry.isDirectory, 0, m_epoch, false));
        if (m_batch.size() >= m_batchSize) {
            if (m_onBatch)
                m_onBatch(m_batch, false);
            m_batch.clear();
        }
        ++m_count;
        if (entry.isDirectory)
            descend(entry.name);
    }

    void finish(bool truncated)
    {
        if (m_onBatch)
            m_onBatch(m_batch, truncated);
    }

    // Pushes the folder `name` of the current level; an unreadable folder is passed over.
    void descend(const char *name)
    {
        Level &parent = m_levels.back();
        const qsizetype bytesBefore = m_pathBytes.size();
        m_pathBytes.append(name).append('/');
        DirStream dir;
        if (parent.dir.isOpen() && m_levels.size() < MaxOpenFolders) {
            dir = DirStream::openAt(parent.dir.fd(), name);
        } else {
            readAhead(parent); // `name` points into the parent's buffer no longer after this
            dir = DirStream::openAt(AT_FDCWD, m_pathBytes.constData());
        }
        if (!enter(std::move(dir))) {
            m_pathBytes.truncate(bytesBefore);
            return;
        }
        m_levels.back().parentPathBytes = bytesBefore;
    }

    bool enter(DirStream dir)
    {
        if (!dir.isOpen())
            return false;
        m_levels.push_back(Level{std::move(dir), {}, 0, 0});
        return true;
    }

    void leave()
    {
        const Level &level = m_levels.back();
        m_pathBytes.truncate(level.parentPathBytes);
        m_levels.pop_back();
    }

    static bool nextEntry(Level &level, Entry &entry)
    {
        if (level.dir.isOpen()) {
            const dirent *d = level.dir.next();
            if (!d)
                return false;
            entry = {d->d_name, isDirectoryEntry(level.dir.fd(), d)};
            return true;
        }
        if (level.next >= level.buffered.size())
            return false;
        const char *record = level.buffered.constData() + level.next;
        entry = {record + 1, record[0] != 0};
        level.next += 2 + qsizetype(std::strlen(record + 1));
        return true;
    }

    // Reads the rest of an open folder into memory and closes it.
    static void readAhead(Level &level)
    {
        if (!level.dir.isOpen())
            return;
        while (const dirent *d = level.dir.next()) {
            level.buffered.append(char(isDirectoryEntry(level.dir.fd(), d) ? 1 : 0));
            level.buffered.append(d->d_name, qsizetype(std::strlen(d->d_name)) + 1);
        }
        level.dir.close();
        level.next = 0;
    }

    const bool m_showHidden;
    const int m_limit;
    const int m_batchSize;
    const QSet<QString> &m_ignored;
    const TreeWalker::ShouldContinue &m_shouldContinue;
    const TreeWalker::OnBatch &m_onBatch;
    const QDateTime m_epoch;

    std::vector<Level> m_levels;
    QByteArray m_pathBytes; // the current folder's path with a trailing "/", encoded
    QList<FileItem> m_batch;
    int m_count = 0;
};

} // namespace

void TreeWalker::walk(const FilePath &root, bool showHidden, int limit, int batchSize,
                      const QSet<QString> &ignoredDirectoryNames, const ShouldContinue &shouldContinue,
                      const OnBatch &onBatch)
{
    Walk walk(showHidden, limit, batchSize, ignoredDirectoryNames, shouldContinue, onBatch);
    walk.run(root);
}
