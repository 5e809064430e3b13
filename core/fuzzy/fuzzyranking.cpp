#include "fuzzyranking.h"

#include "fuzzyindex.h"
#include "fuzzymatcher.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace {

// Below this many items per thread, starting a thread costs more than it saves.
constexpr qsizetype itemsPerThread = 25000;
constexpr qsizetype prefetchAhead = 4;

struct Hit
{
    qint64 score;
    qsizetype nameLength;
    qsizetype pathLength;
    qsizetype order; // position in the input, so equal hits keep their input order
    const FileItem *item;
};

// Higher score, then shorter name, then shorter full path, then input order. The order makes
// this a total order, so keeping the best few as they come equals a stable sort of all.
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

// The best hits offered so far, at most `limit`: a heap whose top is the worst one kept, so a
// hit that can't make the cut, the common case once it is full, costs one comparison.
class BestHits
{
public:
    explicit BestHits(qsizetype limit) : m_limit(limit) {}

    void offer(const Hit &hit)
    {
        if (qsizetype(m_hits.size()) < m_limit) {
            m_hits.push_back(hit);
            std::push_heap(m_hits.begin(), m_hits.end(), ranksBefore);
        } else if (ranksBefore(hit, m_hits.front())) {
            std::pop_heap(m_hits.begin(), m_hits.end(), ranksBefore);
            m_hits.back() = hit;
            std::push_heap(m_hits.begin(), m_hits.end(), ranksBefore);
        }
    }

    void offer(const BestHits &other)
    {
        for (const Hit &hit : other.m_hits)
            offer(hit);
    }

    // Best first; leaves this empty.
    std::vector<Hit> takeSorted()
    {
        std::sort_heap(m_hits.begin(), m_hits.end(), ranksBefore);
        return std::move(m_hits);
    }

private:
    qsizetype m_limit;
    std::vector<Hit> m_hits;
};

std::optional<qint64> rankingScore(const FuzzyText &query, const FuzzyIndex::Entry &entry)
{
    // Most items miss; two mask tests turn them away before any scoring starts.
    if (!entry.name.mayContain(query) && !entry.relativePath.mayContain(query))
        return std::nullopt;
    if (const auto nameScore = FuzzyMatcher::score(query, entry.name))
        return *nameScore + FuzzyRanking::nameMatchBonus;
    return FuzzyMatcher::score(query, entry.relativePath);
}

// Offers the items at positions [from, to) of the index, counted across its chunks.
void rankRange(const FuzzyText &query, const QList<FuzzyIndex::Chunk> &chunks, qsizetype from, qsizetype to,
               BestHits &best)
{
    qsizetype order = 0;
    for (const FuzzyIndex::Chunk &chunk : chunks) {
        if (order >= to)
            break;
        const qsizetype end = std::min(chunk.size(), to - order);
        for (qsizetype i = std::max<qsizetype>(0, from - order); i < end; ++i) {
            const FuzzyIndex::Entry &entry = chunk.at(i);
            if (i + prefetchAhead < end) {
                // The texts live apart from their entries; ask for them while earlier ones are scored.
                const FuzzyIndex::Entry &later = chunk.at(i + prefetchAhead);
                __builtin_prefetch(later.name.keys().data());
                __builtin_prefetch(later.relativePath.keys().data());
            }
            if (const auto score = rankingScore(query, entry))
                best.offer({*score, entry.name.length(), entry.pathLength, order + i, &entry.item});
        }
        order += chunk.size();
    }
}

} // namespace

QList<FileItem> FuzzyRanking::rank(const QList<FileItem> &items, const QString &query,
                                   const FilePath &root, qsizetype maxResults)
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
    // Large indexes are cut into equal runs of items, each ranked on a thread of its own (the
    // first on the calling thread), and the best of each run are merged.
    const qsizetype total = index.size();
    const qsizetype parts = std::clamp<qsizetype>(std::thread::hardware_concurrency(), 1,
                                                  std::max<qsizetype>(1, total / itemsPerThread));
    std::vector<BestHits> best(parts, BestHits(maxResults));
    std::vector<std::thread> helpers;
    for (qsizetype part = 1; part < parts; ++part)
        helpers.emplace_back([&, part] {
            rankRange(preparedQuery, index.chunks(), total * part / parts, total * (part + 1) / parts, best[part]);
        });
    rankRange(preparedQuery, index.chunks(), 0, total / parts, best[0]);
    for (std::thread &helper : helpers)
        helper.join();
    for (qsizetype part = 1; part < parts; ++part)
        best[0].offer(best[part]);

    QList<FileItem> results;
    for (const Hit &hit : best[0].takeSorted())
        results.append(*hit.item);
    return results;
}
