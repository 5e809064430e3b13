#pragma once
// Orders the items found under a search root by how well a query matches them: on the file
// name first (lifted by a fixed bonus), else on the path below the root; best first, capped.
// A large index is ranked on every processor at once, each taking an equal run of its items.

#include "fileitem.h"
#include "fuzzytext.h"

#include <QList>
#include <QString>
#include "filepath.h"

class FuzzyIndex;

class FuzzyRanking
{
public:
    FuzzyRanking() = delete;

    // Prepares the items on the fly; for repeated rankings of the same items keep a FuzzyIndex.
    [[nodiscard]] static QList<FileItem> rank(const QList<FileItem> &items, const QString &query,
                                              const FilePath &root, qsizetype maxResults);
    [[nodiscard]] static QList<FileItem> rank(const FuzzyIndex &index, const QString &query,
                                              qsizetype maxResults);

    // Every item a query matched, by position in its index. A later query that holds the same
    // characters in the same order (typing on, mostly) can only match among these and the items
    // added since, and is ranked on those alone.
    struct Matches
    {
        quint64 indexId = 0;
        qsizetype indexSize = 0;
        FuzzyText query;
        QList<quint32> positions;
    };
    struct Ranked
    {
        QList<FileItem> items;
        Matches matches;
    };
    // The same ranking, narrowed by the matches of the one before when they allow it, and with
    // the matches for the next.
    [[nodiscard]] static Ranked rank(const FuzzyIndex &index, const QString &query, qsizetype maxResults,
                                     const Matches &previous);

    // Added to a name match, so a path-only match must beat it by more than this to rank above.
    static constexpr qint64 nameMatchBonus = 20;
};
