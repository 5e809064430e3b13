#pragma once
// The items of one search root, each prepared for matching once when it is added, so that
// ranking on every keystroke only walks and scores. Copies are cheap and share the prepared
// items; a copy can be ranked on another thread while the original keeps growing.

#include "fileitem.h"
#include "fuzzytext.h"

#include <QList>
#include <QString>
#include "filepath.h"

class FuzzyIndex
{
public:
    struct Entry
    {
        FileItem item;
        FuzzyText name;
        FuzzyText relativePath;  // path below the root, or the whole path when outside it
        qsizetype pathLength = 0; // characters of the full path
    };
    using Chunk = QList<Entry>;

    FuzzyIndex() = default;
    explicit FuzzyIndex(const FilePath &root);

    // Root path text ending in "/", what is cut off the front of item paths.
    const QString &rootPrefix() const { return m_rootPrefix; }

    // Prepares items for this root without adding them; safe to call from any thread.
    [[nodiscard]] Chunk prepare(const QList<FileItem> &items) const;
    void append(Chunk chunk);
    void append(const QList<FileItem> &items) { append(prepare(items)); }

    qsizetype size() const { return m_size; }
    // Prepared items in the order they were added, chunk by chunk.
    const QList<Chunk> &chunks() const { return m_chunks; }

private:
    QString m_rootPrefix;
    QList<Chunk> m_chunks;
    qsizetype m_size = 0;
};
