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

    // Shared by copies; another index has another. Items only ever come at the end, so what a
    // position means stays the same for as long as the id does.
    quint64 id() const { return m_id; }
    qsizetype size() const { return m_size; }
    // Prepared items in the order they were added, chunk by chunk.
    const QList<FuzzyChunk> &chunks() const { return m_chunks; }

private:
    static quint64 nextId();

    quint64 m_id = nextId();
    QString m_rootPrefix; // root path ending in "/"
    qsizetype m_rootPrefixLength = 0;
    QList<FuzzyChunk> m_chunks;
    qsizetype m_size = 0;
};
