#pragma once
// The order a tab shows its entries in: folders always first, then the user's sort keys, the
// first key deciding first; entries equal on every key keep their given order.

#include "fileitem.h"

#include <QList>
#include <QMetaType>

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

// Names compare like the listing (case-insensitive, digit runs by value, the user's locale), with
// one collation key built per name rather than a collator call per comparison.
[[nodiscard]] QList<FileItem> sort(const QList<FileItem> &items, const QList<SortKey> &keys);

} // namespace ItemSorter
