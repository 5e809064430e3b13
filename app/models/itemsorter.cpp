#include "itemsorter.h"

#include "namecollator.h"

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

bool usesName(const QList<SortKey> &keys)
{
    return std::any_of(keys.begin(), keys.end(), [](const SortKey &key) { return key.property == SortProperty::name; });
}

} // namespace

// The keys live only while the ranks are found.
NameRanks nameRanks(const QList<FileItem> &items)
{
    const NameCollator collator;
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(items.size()));
    for (const FileItem &item : items)
        keys.push_back(collator.sortKey(item.name));
    std::vector<quint32> byName(keys.size());
    std::iota(byName.begin(), byName.end(), 0);
    std::stable_sort(byName.begin(), byName.end(), [&](quint32 a, quint32 b) { return keys[a].compare(keys[b]) < 0; });
    NameRanks ranks(keys.size());
    quint32 rank = 0;
    for (size_t k = 0; k < byName.size(); ++k) {
        if (k > 0 && keys[byName[k - 1]].compare(keys[byName[k]]) != 0)
            ++rank;
        ranks[byName[k]] = rank;
    }
    return ranks;
}

QList<qsizetype> sortedOrder(const QList<FileItem> &items, const QList<SortKey> &keys, const NameRanks &names)
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
    const QList<qsizetype> order = sortedOrder(items, keys, usesName(keys) ? nameRanks(items) : NameRanks());
    QList<FileItem> sorted;
    sorted.reserve(items.size());
    for (qsizetype i : order)
        sorted.append(items.at(i));
    return sorted;
}

} // namespace ItemSorter
