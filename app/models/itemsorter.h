#pragma once
// The order a tab shows its entries in: folders always first, then the user's sort keys, the
// first key deciding first; entries equal on every key keep their given order.

#include "fileitem.h"

#include <QList>
#include <QMetaType>

#include <vector>

enum class SortProperty { name, size, modificationDate };
enum class SortDirection { forward, reverse };

struct SortKey
{
    SortProperty property = SortProperty::name;
    SortDirection direction = SortDirection::forward;

    friend bool operator==(const SortKey &, const SortKey &) = default;
};

Q_DECLARE_METATYPE(SortKey)

namespace ItemSorter {

// Names compare like the listing (case-insensitive, digit runs by value, the user's locale),
// through the ranks the lister found (DirectoryListing): a name's rank is its place among all the
// names in that order, names the collator finds equal sharing one, so comparing two ranks
// compares the names, and a rank takes 4 bytes where a collation key takes about 90.
using NameRanks = std::vector<quint32>;

// The order as positions into `items`, with the names' ranks (one per item, in the items'
// order), so that a large folder is re-sorted without collating names.
[[nodiscard]] QList<qsizetype> sortedOrder(const QList<FileItem> &items, const QList<SortKey> &keys,
                                           const NameRanks &names);

} // namespace ItemSorter
