#pragma once
// The items of one search root, each prepared for matching once when it is added, so that
// ranking on every keystroke only walks and scores. Copies are cheap and share the prepared
// items; a copy can be ranked on another thread while the original keeps growing.

#include "fileitem.h"
#include "fuzzychunk.h"

#include <QList>
#include <QString>
#include "filepath.h"

class FuzzyIndex
{
public:
    FuzzyIndex() = default;
    explicit FuzzyIndex(const FilePath &root);

    // Prepares items for this root without adding them; safe to call from any thread. An item's
    // path below the root is what its path is matched on; one outside is matched on all of it.
    [[nodiscard]] FuzzyChunk prepare(const QList<FileItem> &items) const;
    void append(FuzzyChunk chunk);
    void append(const QList<FileItem> &items) { append(prepare(items)); }

    qsizetype size() const { return m_size; }
    // Prepared items in the order they were added, chunk by chunk.
    const QList<FuzzyChunk> &chunks() const { return m_chunks; }

private:
    QString m_rootPrefix; // root path ending in "/"
    qsizetype m_rootPrefixLength = 0;
    QList<FuzzyChunk> m_chunks;
    qsizetype m_size = 0;
};
