#include "fuzzyranking.h"

#include "fuzzyindex.h"
#include "fuzzymatcher.h"
#include "fuzzytext.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace {

// Below this many items per thread, starting a thread costs more than it saves.
constexpr qsizetype itemsPerThread = 25000;

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

// A query prepared once per ranking, for both kinds of items.
struct Query
{
    explicit Query(const QString &typed) : text(typed)
    {
        const QStringView keys = text.keys();
        // A character outside ASCII, or made of several keys, never equals one of a plain path.
        matchesPlain = text.isSimple() && std::all_of(keys.begin(), keys.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (matchesPlain)
            ascii = keys.toLatin1();
    }

    FuzzyText text;
    QByteArray ascii;
    bool matchesPlain = false;
};

std::optional<qint64> preparedScore(const FuzzyText &query, const FuzzyChunk::Prepared &prepared)
{
    if (const auto nameScore = FuzzyMatcher::score(query, prepared.name))
        return *nameScore + FuzzyRanking::nameMatchBonus;
    return FuzzyMatcher::score(query, prepared.relativePath);
}

// Offers the items at positions [begin, end) of a chunk whose first item is at `order`.
void rankChunk(const Query &query, const FuzzyChunk &chunk, qsizetype begin, qsizetype end, qsizetype order,
               BestHits &best)
{
    const FuzzyChunk::Record *records = chunk.records();
    const quint64 queryMask = query.text.mask();
    for (qsizetype i = begin; i < end; ++i) {
        const FuzzyChunk::Record &record = records[i];
        // Most items lack one of the query's characters: the mask turns them away unread.
        if ((queryMask & ~record.mask) != 0)
            continue;
        if (record.nameStart == FuzzyChunk::notPlain) {
            const FuzzyChunk::Prepared &prepared = chunk.prepared(record);
            if (const auto score = preparedScore(query.text, prepared))
                best.offer({*score, prepared.name.length(), prepared.pathLength, order + i, &chunk.items().at(i)});
            continue;
        }
        if (!query.matchesPlain)
            continue;
        const char *path = chunk.text() + record.start;
        const qsizetype nameLength = record.size - record.nameStart;
        // The name ends the path: both are scored on one reading.
        const auto scores = FuzzyMatcher::scoreAscii(query.ascii, path, record.size, record.nameStart);
        if (!scores.whole)
            continue;
        best.offer({scores.tail ? *scores.tail + FuzzyRanking::nameMatchBonus : *scores.whole, nameLength,
                    chunk.plainPathLength(record), order + i, &chunk.items().at(i)});
    }
}

// Offers the items at positions [from, to) of the index, counted across its chunks.
void rankRange(const Query &query, const QList<FuzzyChunk> &chunks, qsizetype from, qsizetype to, BestHits &best)
{
    qsizetype order = 0;
    for (const FuzzyChunk &chunk : chunks) {
        if (order >= to)
            break;
        const qsizetype begin = std::max<qsizetype>(0, from - order);
        const qsizetype end = std::min(chunk.size(), to - order);
        if (begin < end)
            rankChunk(query, chunk, begin, end, order, best);
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
    const Query preparedQuery(query);
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
