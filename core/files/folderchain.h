#pragma once
// The open folders of one walk down a tree, from where it started to where it is now. A walk
// that kept every folder on its way open would run out of descriptors in a tree a thousand
// levels deep, so only the deepest few stay open: going deeper closes the one farthest up, and
// climbing back opens it again through ".." of the folder below, checking that it is still the
// same folder (device and inode) and not one moved into its place meanwhile.
//
// The chain also keeps the walk's place in each folder (its entries, the next one to visit), so
// a walk needs no recursion and a tree of any depth costs no more stack than a shallow one.
//
// Descriptors taken from the chain are good only until the walk next goes deeper or climbs:
// ask top() again after each of those.

#include "uniquefd.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>

#include <optional>
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

    // A folder on the walk's way: its name in its parent, its path, its entries and the next
    // one to visit.
    struct Place
    {
        QByteArray name;
        QString path;
        QList<QByteArray> entries;
        qsizetype next = 0;
    };

    // Goes into a folder opened inside top(), and takes its descriptor.
    void enter(UniqueFd folder, Place place);
    void enter(UniqueFd folder);
    // Closes the folder last entered and makes its parent the top again.
    void leave();
    // Where the walk is in the folder last entered.
    Place &place() { return m_folders.back().place; }
    // The next entry of the folder last entered; none once all of them were visited.
    std::optional<QByteArray> nextEntry();

private:
    struct Folder
    {
        UniqueFd fd;
        Place place;
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
