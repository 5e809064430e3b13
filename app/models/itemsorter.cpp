#include "itemsorter.h"

#include "namecollator.h"

#include <QCollatorSortKey>

#include <algorithm>
#include <numeric>
#include <optional>
#include <vector>

namespace ItemSorter {

namespace {

// Three-way comparison of two entries on one key, ascending.
int compareOn(SortProperty property, const FileItem &a, const FileItem &b, const QCollatorSortKey *keyA,
              const QCollatorSortKey *keyB)
{
    switch (property) {
    case SortProperty::name:
        return keyA->compare(*keyB);
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

QList<FileItem> sort(const QList<FileItem> &items, const QList<SortKey> &keys)
{
    std::vector<QCollatorSortKey> nameKeys;
    if (usesName(keys)) {
        const NameCollator collator;
        nameKeys.reserve(items.size());
        for (const FileItem &item : items)
            nameKeys.push_back(collator.sortKey(item.name));
    }
    std::vector<qsizetype> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype i, qsizetype j) {
        const FileItem &a = items.at(i);
        const FileItem &b = items.at(j);
        if (a.directorySortRank() != b.directorySortRank())
            return a.directorySortRank() < b.directorySortRank();
        for (const SortKey &key : keys) {
            const bool hasNames = !nameKeys.empty();
            const int c = compareOn(key.property, a, b, hasNames ? &nameKeys[size_t(i)] : nullptr,
                                    hasNames ? &nameKeys[size_t(j)] : nullptr);
            if (c != 0)
                return key.direction == SortDirection::forward ? c < 0 : c > 0;
        }
        return false;
    });
    QList<FileItem> sorted;
    sorted.reserve(items.size());
    for (qsizetype i : order)
        sorted.append(items.at(i));
    return sorted;
}

} // namespace ItemSorter
