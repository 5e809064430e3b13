#include "folderlisting.h"

#include "itemfilter.h"

#include <QCoreApplication>
#include <QHash>
#include <QThread>

#include <utility>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

using ShelfKey = std::pair<FilePath, bool>;

QHash<ShelfKey, std::weak_ptr<const FolderListing>> &shelf()
{
    Q_ASSERT(!QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread());
    static QHash<ShelfKey, std::weak_ptr<const FolderListing>> listings;
    return listings;
}

} // namespace

FolderListing::Shared FolderListing::firstPage(DirectoryListing entries, qsizetype folderEntries)
{
    std::shared_ptr<FolderListing> page = built(std::move(entries));
    page->m_detailsPending = true;
    page->m_entryCount = folderEntries;
    return page;
}

FolderListing::Shared FolderListing::make(DirectoryListing listing)
{
    return built(std::move(listing));
}

std::shared_ptr<FolderListing> FolderListing::built(DirectoryListing listing)
{
    auto made = std::shared_ptr<FolderListing>(new FolderListing);
    qsizetype length = 0; // ASCII names fold to as many bytes
    for (const FileItem &item : std::as_const(listing.items))
        length += item.name.size();
    made->m_folded.reserve(length);
    made->m_foldedEnds.reserve(size_t(listing.items.size()));
    for (const FileItem &item : std::as_const(listing.items)) {
        made->m_folded.append(ItemFilter::foldedUtf8(item.name));
        made->m_foldedEnds.push_back(quint32(made->m_folded.size()));
    }
    made->m_folded.squeeze();
    made->m_items = std::move(listing.items);
    made->m_ranks = std::move(listing.nameRanks);
    made->m_entryCount = made->m_items.size();
    return made;
}

FolderListing::Shared FolderListing::empty()
{
    return Shared(new FolderListing);
}

bool FolderListing::nameContains(qsizetype index, QByteArrayView needle) const
{
    const quint32 begin = index == 0 ? 0 : m_foldedEnds[size_t(index) - 1];
    const quint32 end = m_foldedEnds[size_t(index)];
    return QByteArrayView(m_folded.constData() + begin, end - begin).contains(needle);
}

FolderListing::Shared FolderListing::shelved(const FilePath &folder, bool showHidden)
{
    auto &listings = shelf();
    const auto found = listings.constFind({folder, showHidden});
    return found == listings.cend() ? nullptr : found->lock();
}

void FolderListing::shelve(const FilePath &folder, bool showHidden, const Shared &listing)
{
    auto &listings = shelf();
    listings.removeIf([](const auto &entry) { return entry.value().expired(); });
    listings.insert({folder, showHidden}, listing);
}

void FolderListing::releaseFreedMemory(qsizetype entries)
{
#ifdef __GLIBC__
    // Trimming takes a few milliseconds, so small folders do without.
    constexpr qsizetype largeFolder = 10000;
    if (entries >= largeFolder)
        ::malloc_trim(0);
#else
    Q_UNUSED(entries);
#endif
}
