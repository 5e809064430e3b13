#include "fuzzyranking.h"

#include "fuzzyindex.h"
#include "fuzzymatcher.h"

#include <algorithm>
#include <vector>

namespace {

struct Hit
{
    qint64 score;
    qsizetype nameLength;
    qsizetype pathLength;
    qsizetype order; // position in the input, so equal hits keep their input order
    const FileItem *item;
};

// Higher score, then shorter name, then shorter full path, then input order. The order makes
// this a total order, so a partial sort of the best few equals a stable sort of all.
bool ranksBefore(const Hit &a, const Hit &b)
{
    if (a.score != b.score)
        return a.score > b.score;
    if (a.nameLength != b.nameLength)
        return a.nameLength < b.nameLength;
    if (a.pathLength != b.pathLength)
        return a.pathLength < b.pathLength;
    return a.order < b.order;
}

std::optional<qint64> rankingScore(const FuzzyText &query, const FuzzyIndex::Entry &entry)
{
    // Most items miss; two mask tests turn them away before any scoring starts.
    if (!entry.name.mayContain(query) && !entry.relativePath.mayContain(query))
        return std::nullopt;
    if (const auto nameScore = FuzzyMatcher::score(query, entry.name))
        return *nameScore + FuzzyRanking::nameMatchBonus;
    return FuzzyMatcher::score(query, entry.relativePath);
}

} // namespace

QList<FileItem> FuzzyRanking::rank(const QList<FileItem> &items, const QString &query,
                                   const QUrl &root, qsizetype maxResults)
{
    if (query.isEmpty() || maxResults <= 0)
        return {};
    FuzzyIndex index(root);
    index.append(items);
    return rank(index, query, maxResults);
}

QList<FileItem> FuzzyRanking::rank(const FuzzyIndex &index, const QString &query, qsizetype maxResults)
{
    if (query.isEmpty() || maxResults <= 0)
        return {};
    const FuzzyText preparedQuery(query);
    std::vector<Hit> hits;
    qsizetype order = 0;
    for (const FuzzyIndex::Chunk &chunk : index.chunks()) {
        for (const FuzzyIndex::Entry &entry : chunk) {
            if (const auto score = rankingScore(preparedQuery, entry))
                hits.push_back({*score, entry.name.length(), entry.pathLength, order, &entry.item});
            ++order;
        }
    }

    const auto kept = std::min<qsizetype>(maxResults, qsizetype(hits.size()));
    std::partial_sort(hits.begin(), hits.begin() + kept, hits.end(), ranksBefore);
    QList<FileItem> results;
    results.reserve(kept);
    for (qsizetype i = 0; i < kept; ++i)
        results.append(*hits[i].item);
    return results;
}
