#pragma once
// The open folders of one walk down a tree, from where it started to where it is now. A walk
// that kept every folder on its way open would run out of descriptors in a tree a thousand
// levels deep, so only the deepest few stay open: going deeper closes the one farthest up, and
// climbing back opens it again through ".." of the folder below, checking that it is still the
// same folder (device and inode) and not one moved into its place meanwhile.
//
// Descriptors taken from the chain are good only until the walk next goes deeper or climbs:
// ask top() again after each of those.

#include "uniquefd.h"

#include <sys/types.h>

#include <vector>

class FolderChain
{
public:
    static constexpr std::size_t defaultKeptOpen = 32;

    // `base` is the folder the walk starts in (or AT_FDCWD); it is the caller's, and stays open.
    explicit FolderChain(int base, std::size_t keptOpen = defaultKeptOpen);
    FolderChain(const FolderChain &) = delete;
    FolderChain &operator=(const FolderChain &) = delete;

    // The folder the walk is in: the last one entered, or the base. -1, with errno set, once
    // that folder could not be opened again as itself.
    int top() const;
    std::size_t depth() const { return m_folders.size(); }

    // Goes into a folder opened inside top(), and takes its descriptor.
    void enter(UniqueFd folder);
    // Closes the folder last entered and makes its parent the top again.
    void leave();

    // Enters a folder for as long as it lives.
    class Level
    {
    public:
        Level(FolderChain &chain, UniqueFd folder) : m_chain(chain) { m_chain.enter(std::move(folder)); }
        ~Level() { m_chain.leave(); }
        Level(const Level &) = delete;
        Level &operator=(const Level &) = delete;

    private:
        FolderChain &m_chain;
    };

private:
    struct Folder
    {
        UniqueFd fd;
        dev_t device = 0;
        ino_t inode = 0;
        int lostErrno = 0; // why it could not be opened again
    };

    void reopen(Folder &folder, int child);

    int m_base;
    std::size_t m_keptOpen;
    std::vector<Folder> m_folders;
    std::size_t m_firstOpen = 0; // the folders before this one are closed
};
