#include "itemsorter.h"

#include "namecollator.h"

#include <algorithm>
#include <numeric>

namespace ItemSorter {

namespace {

// Three-way comparison of two entries on one key, ascending.
int compareOn(SortProperty property, const FileItem &a, const FileItem &b, const NameKeys &names, qsizetype i,
              qsizetype j)
{
    switch (property) {
    case SortProperty::name:
        return names.at(size_t(i)).compare(names.at(size_t(j)));
    case SortProperty::size:
        return a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
    case SortProperty::modificationDate:
        return a.modificationDate < b.modificationDate ? -1 : (b.modificationDate < a.modificationDate ? 1 : 0);
    }
    return 0;
}

bool usesName(const QList<SortKey> &keys)
{
    return std::any_of(keys.begin(), keys.end(), [](const SortKey &key) { return key.property == SortProperty::name; });
}

} // namespace

NameKeys nameKeys(const QList<FileItem> &items)
{
    const NameCollator collator;
    NameKeys keys;
    keys.reserve(size_t(items.size()));
    for (const FileItem &item : items)
        keys.push_back(collator.sortKey(item.name));
    return keys;
}

QList<qsizetype> sortedOrder(const QList<FileItem> &items, const QList<SortKey> &keys, const NameKeys &names)
{
    QList<qsizetype> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype i, qsizetype j) {
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
    });
    return order;
}

QList<FileItem> sort(const QList<FileItem> &items, const QList<SortKey> &keys)
{
    const QList<qsizetype> order = sortedOrder(items, keys, usesName(keys) ? nameKeys(items) : NameKeys());
    QList<FileItem> sorted;
    sorted.reserve(items.size());
    for (qsizetype i : order)
        sorted.append(items.at(i));
    return sorted;
}

} // namespace ItemSorter
