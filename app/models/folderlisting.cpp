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

FolderListing::Shared FolderListing::make(QList<FileItem> items)
{
    auto listing = std::shared_ptr<FolderListing>(new FolderListing);
    listing->m_ranks = ItemSorter::nameRanks(items);
    qsizetype length = 0; // ASCII names fold to as many bytes
    for (const FileItem &item : std::as_const(items))
        length += item.name.size();
    listing->m_folded.reserve(length);
    listing->m_foldedEnds.reserve(size_t(items.size()));
    for (const FileItem &item : std::as_const(items)) {
        listing->m_folded.append(ItemFilter::foldedUtf8(item.name));
        listing->m_foldedEnds.push_back(quint32(listing->m_folded.size()));
    }
    listing->m_folded.squeeze();
    listing->m_items = std::move(items);
    return listing;
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
