#include "folderchain.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

FolderChain::FolderChain(int base, std::size_t keptOpen) : m_base(base), m_keptOpen(std::max<std::size_t>(keptOpen, 1))
{
}

int FolderChain::top() const
{
    if (m_folders.empty())
        return m_base;
    const Folder &folder = m_folders.back();
    if (!folder.fd.valid())
        errno = folder.lostErrno;
    return folder.fd.get();
}

void FolderChain::enter(UniqueFd folder, Place place)
{
    m_folders.push_back({std::move(folder), std::move(place)});
    if (m_folders.size() - m_firstOpen <= m_keptOpen)
        return;
    // Closed, with what it takes to know it again.
    Folder &farthest = m_folders[m_firstOpen++];
    struct stat st;
    if (::fstat(farthest.fd.get(), &st) == 0) {
        farthest.device = st.st_dev;
        farthest.inode = st.st_ino;
    } else {
        farthest.lostErrno = errno;
    }
    farthest.fd.reset();
}

void FolderChain::enter(UniqueFd folder)
{
    enter(std::move(folder), Place());
}

void FolderChain::leave()
{
    if (m_folders.empty())
        return;
    Folder left = std::move(m_folders.back());
    m_folders.pop_back();
    if (m_folders.empty()) {
        m_firstOpen = 0;
    } else if (m_firstOpen >= m_folders.size()) {
        m_firstOpen = m_folders.size() - 1;
        reopen(m_folders.back(), left.fd.get());
    }
}

std::optional<QByteArray> FolderChain::nextEntry()
{
    Place &at = place();
    if (at.next == at.entries.size())
        return std::nullopt;
    return at.entries.at(at.next++);
}

void FolderChain::reopen(Folder &folder, int child)
{
    if (folder.lostErrno != 0)
        return;
    if (child < 0) {
        folder.lostErrno = ENOENT;
        return;
    }
    UniqueFd parent(::openat(child, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st;
    if (!parent.valid() || ::fstat(parent.get(), &st) != 0) {
        folder.lostErrno = errno;
        return;
    }
    // Moved away, with something else put in its place: not the folder the walk was in.
    if (st.st_dev != folder.device || st.st_ino != folder.inode) {
        folder.lostErrno = ENOENT;
        return;
    }
    folder.fd = std::move(parent);
}
