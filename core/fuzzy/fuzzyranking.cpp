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

// Offers item `i` of a chunk whose first item is at `order`; true when it matched.
bool offerItem(const Query &query, const FuzzyChunk &chunk, qsizetype i, qsizetype order, BestHits &best)
{
    const FuzzyChunk::Record &record = chunk.records()[i];
    // Most items lack one of the query's characters: the mask turns them away unread.
    if ((query.text.mask() & ~record.mask) != 0)
        return false;
    if (record.nameStart == FuzzyChunk::notPlain) {
        const FuzzyChunk::Prepared &prepared = chunk.prepared(record);
        const auto score = preparedScore(query.text, prepared);
        if (score)
            best.offer({*score, prepared.name.length(), prepared.pathLength, order + i, &chunk.items().at(i)});
        return score.has_value();
    }
    if (!query.matchesPlain)
        return false;
    // The name ends the path: both are scored on one reading.
    const auto scores = FuzzyMatcher::scoreAscii(query.ascii, chunk.text() + record.start, record.size, record.nameStart);
    if (!scores.whole)
        return false;
    best.offer({scores.tail ? *scores.tail + FuzzyRanking::nameMatchBonus : *scores.whole,
                record.size - record.nameStart, chunk.plainPathLength(record), order + i, &chunk.items().at(i)});
    return true;
}

// What one thread ranks: its share of the items to look at, its best hits, and, when asked
// for, the positions of every item that matched, in order.
struct Part
{
    explicit Part(qsizetype maxResults) : best(maxResults) {}

    BestHits best;
    QList<quint32> matched;
    bool collect = false;

    void offer(const Query &query, const FuzzyChunk &chunk, qsizetype i, qsizetype order)
    {
        if (offerItem(query, chunk, i, order, best) && collect)
            matched.append(quint32(order + i));
    }
};

// Offers the items at positions [from, to) of the index, counted across its chunks.
void rankRange(const Query &query, const QList<FuzzyChunk> &chunks, qsizetype from, qsizetype to, Part &part)
{
    qsizetype order = 0;
    for (const FuzzyChunk &chunk : chunks) {
        if (order >= to)
            break;
        const qsizetype end = std::min(chunk.size(), to - order);
        for (qsizetype i = std::max<qsizetype>(0, from - order); i < end; ++i)
            part.offer(query, chunk, i, order);
        order += chunk.size();
    }
}

// Offers the items at the given positions, which ascend.
void rankPositions(const Query &query, const QList<FuzzyChunk> &chunks, const quint32 *begin, const quint32 *end,
                   Part &part)
{
    qsizetype order = 0;
    auto chunk = chunks.cbegin();
    for (const quint32 *position = begin; position != end; ++position) {
        while (*position >= order + chunk->size())
            order += (chunk++)->size();
        part.offer(query, *chunk, *position - order, order);
    }
}

// The items a ranking looks at: those an earlier one matched, if any, then all from `firstNew` on.
struct Candidates
{
    QList<quint32> narrowed;
    qsizetype firstNew = 0;
    qsizetype end = 0;

    qsizetype count() const { return narrowed.size() + end - firstNew; }

    // Offers candidates [from, to), counting the narrowed ones first.
    void rank(const Query &query, const QList<FuzzyChunk> &chunks, qsizetype from, qsizetype to, Part &part) const
    {
        const qsizetype split = narrowed.size();
        if (from < split)
            rankPositions(query, chunks, narrowed.constData() + from, narrowed.constData() + std::min(to, split), part);
        if (to > split)
            rankRange(query, chunks, firstNew + std::max<qsizetype>(0, from - split), firstNew + to - split, part);
    }
};

// Whether `later` holds the characters of `earlier` in the same order: then whatever matches
// `later` matches `earlier` too.
bool narrows(const FuzzyText &earlier, const FuzzyText &later)
{
    qsizetype found = 0;
    for (qsizetype i = 0; i < later.size() && found < earlier.size(); ++i) {
        if (later.character(i) == earlier.character(found))
            ++found;
    }
    return found == earlier.size();
}

FuzzyRanking::Ranked rankCandidates(const FuzzyIndex &index, const Query &query, qsizetype maxResults,
                                    const Candidates &candidates, bool collect)
{
    // Many candidates are cut into equal runs, each ranked on a thread of its own (the first on
    // the calling thread), and the best of each run are merged.
    const qsizetype total = candidates.count();
    const qsizetype parts = std::clamp<qsizetype>(std::thread::hardware_concurrency(), 1,
                                                  std::max<qsizetype>(1, total / itemsPerThread));
    std::vector<Part> results(parts, Part(maxResults));
    std::vector<std::thread> helpers;
    for (qsizetype part = 0; part < parts; ++part)
        results[part].collect = collect;
    for (qsizetype part = 1; part < parts; ++part)
        helpers.emplace_back([&, part] {
            candidates.rank(query, index.chunks(), total * part / parts, total * (part + 1) / parts, results[part]);
        });
    candidates.rank(query, index.chunks(), 0, total / parts, results[0]);
    for (std::thread &helper : helpers)
        helper.join();

    FuzzyRanking::Ranked ranked;
    for (qsizetype part = 1; part < parts; ++part) {
        results[0].best.offer(results[part].best);
        results[0].matched.append(results[part].matched);
    }
    for (const Hit &hit : results[0].best.takeSorted())
        ranked.items.append(*hit.item);
    if (collect)
        ranked.matches = {index.id(), index.size(), query.text, results[0].matched};
    return ranked;
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
    return rankCandidates(index, Query(query), maxResults, {{}, 0, index.size()}, false).items;
}

FuzzyRanking::Ranked FuzzyRanking::rank(const FuzzyIndex &index, const QString &query, qsizetype maxResults,
                                        const Matches &previous)
{
    if (query.isEmpty() || maxResults <= 0)
        return {};
    const Query prepared(query);
    Candidates candidates{{}, 0, index.size()};
    if (previous.indexId == index.id() && previous.indexSize <= index.size() && !previous.query.isEmpty()
        && narrows(previous.query, prepared.text))
        candidates = {previous.positions, previous.indexSize, index.size()};
    return rankCandidates(index, prepared, maxResults, candidates, true);
}
