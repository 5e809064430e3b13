#pragma once
// The order a tab shows its entries in: folders always first, then the user's sort keys, the
// first key deciding first; entries equal on every key keep their given order.

#include "fileitem.h"

#include <QCollatorSortKey>
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

// Names compare like the listing (case-insensitive, digit runs by value, the user's locale), by
// collation keys built once per name rather than a collator call per comparison.
using NameKeys = std::vector<QCollatorSortKey>;

[[nodiscard]] QList<FileItem> sort(const QList<FileItem> &items, const QList<SortKey> &keys);

// The same order as positions into `items`, with the names' keys made beforehand (one per
// item, in the items' order), so that a large folder can be re-sorted without building them.
[[nodiscard]] NameKeys nameKeys(const QList<FileItem> &items);
[[nodiscard]] QList<qsizetype> sortedOrder(const QList<FileItem> &items, const QList<SortKey> &keys,
                                           const NameKeys &names);

} // namespace ItemSorter
