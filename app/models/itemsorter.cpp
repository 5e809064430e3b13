#include "itemsorter.h"

#include <algorithm>
#include <numeric>

namespace ItemSorter {

namespace {

// Three-way comparison of two entries on one key, ascending.
int compareOn(SortProperty property, const FileItem &a, const FileItem &b, const NameRanks &names, qsizetype i,
              qsizetype j)
{
    switch (property) {
    case SortProperty::name: {
        const quint32 x = names.at(size_t(i)), y = names.at(size_t(j));
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case SortProperty::size:
        return a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
    case SortProperty::modificationDate:
        return a.modificationDate < b.modificationDate ? -1 : (b.modificationDate < a.modificationDate ? 1 : 0);
    }
    return 0;
}

} // namespace

QList<qsizetype> sortedOrder(const QList<FileItem> &items, const QList<SortKey> &keys, const NameRanks &names)
{
    QList<qsizetype> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    const auto before = [&](qsizetype i, qsizetype j) {
        const FileItem &a = items.at(i);
        const FileItem &b = items.at(j);
        if (a.directorySortRank() != b.directorySortRank())
            return a.directorySortRank() < b.directorySortRank();
        for (const SortKey &key : keys) {
            const int c = compareOn(key.property, a, b, names, i, j);
            if (c != 0)
                return key.direction == SortDirection::forward ? c < 0 : c > 0;
        }
        return false;
    };
    // Entries come in listing order, which is the usual sort order: that takes one look each.
    if (!std::is_sorted(order.begin(), order.end(), before))
        std::stable_sort(order.begin(), order.end(), before);
    return order;
}

} // namespace ItemSorter
