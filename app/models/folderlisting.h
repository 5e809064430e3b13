#pragma once
// One reading of a folder, shared by everything that shows it: a tab's entries, its visible rows
// and the table's rows, a second tab on the same folder and a column of the column view all hold
// the same entries rather than a copy each. It never changes once made, so background work may
// read it while the main thread shows it.
//
// With the entries it keeps what re-sorting and filtering a large folder need: each name's rank
// in name order, as the lister found it, and every name folded for the quick filter, made once in
// the background and packed one after another in a single UTF-8 buffer (a folder of a million
// entries would otherwise hold a million small strings).
//
// The first entries of a large folder are shown before the rest are ready, without their sizes
// and dates: a listing whose details are pending.
//
// The listings still in use are kept on a shelf by folder, without keeping them alive: a second
// reader of the same folder that finds the same entries takes the shelved listing instead of its
// own. The shelf belongs to the main thread; background work is handed what it found there.

#include "directorylisting.h"
#include "fileitem.h"
#include "filepath.h"
#include "itemsorter.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <memory>
#include <vector>

class FolderListing
{
public:
    using Shared = std::shared_ptr<const FolderListing>;

    // The folded names of the listed entries.
    [[nodiscard]] static Shared make(DirectoryListing listing);
    // The first entries of a folder that holds `folderEntries`, without their sizes and dates.
    [[nodiscard]] static Shared firstPage(DirectoryListing entries, qsizetype folderEntries);
    // No entries, for a tab that hasn't listed anything yet.
    [[nodiscard]] static Shared empty();

    const QList<FileItem> &items() const { return m_items; }
    const ItemSorter::NameRanks &nameRanks() const { return m_ranks; }
    // True for a first page: its entries carry no sizes and modification dates yet.
    bool detailsPending() const { return m_detailsPending; }
    // The entries the folder holds: more than items() in a first page.
    qsizetype entryCount() const { return m_entryCount; }
    // True when entry `index`'s folded name contains `needle`, a folded query in UTF-8.
    [[nodiscard]] bool nameContains(qsizetype index, QByteArrayView needle) const;

    // Main thread only. The listing something still holds for that folder (with or without its
    // hidden entries), or null; and the listing to offer for it from now on.
    [[nodiscard]] static Shared shelved(const FilePath &folder, bool showHidden);
    static void shelve(const FilePath &folder, bool showHidden, const Shared &listing);

    // Entries of a large folder that were let go of were built on a pool thread and went back to
    // that thread's malloc arena, which keeps them; this hands them back to the system.
    static void releaseFreedMemory(qsizetype entries);

private:
    FolderListing() = default;
    static std::shared_ptr<FolderListing> built(DirectoryListing listing);

    QList<FileItem> m_items;
    ItemSorter::NameRanks m_ranks;
    QByteArray m_folded;               // the folded names, one after another
    std::vector<quint32> m_foldedEnds; // where each name's folded form ends in m_folded
    bool m_detailsPending = false;
    qsizetype m_entryCount = 0;
};
