#pragma once
// One batch of items prepared for ranking. Nearly every item's path below the root is plain
// ASCII and ends with its name: such an item is kept as its path's bytes, as typed, in one
// buffer shared by the batch, and a 16-byte record, so that ranking streams through memory
// rather than chasing a few allocations per item. Lowering and word starts of these are cheap
// enough to work out on the way (FuzzyMatcher::scoreAscii). Any other item keeps its name and
// path as prepared texts. Copies are cheap and share the data.

#include "fileitem.h"
#include "fuzzytext.h"

#include <QByteArray>
#include <QList>
#include <QString>

class FuzzyChunk
{
public:
    struct Record
    {
        quint64 mask;       // what FuzzyText::mask() says of the path (and of the name, if apart)
        quint32 start;      // plain: where the path starts in text(); else its place in prepared()
        quint16 size;       // plain: bytes of the path
        quint16 nameStart;  // plain: where the name starts in the path; else notPlain
    };
    static constexpr quint16 notPlain = 0xffff;

    struct Prepared
    {
        FuzzyText name;
        FuzzyText relativePath;
        qsizetype pathLength = 0; // characters of the full path
    };

    FuzzyChunk() = default;
    // `rootPrefix` ends in "/" and is cut off the front of paths below it; `rootPrefixLength`
    // is its length in characters.
    FuzzyChunk(const QList<FileItem> &items, const QString &rootPrefix, qsizetype rootPrefixLength);

    qsizetype size() const { return m_items.size(); }
    bool isEmpty() const { return m_items.isEmpty(); }
    const QList<FileItem> &items() const { return m_items; }
    const Record *records() const { return m_records.constData(); }
    const char *text() const { return m_text.constData(); }
    const Prepared &prepared(const Record &record) const { return m_prepared.at(record.start); }
    // Characters of a plain item's full path.
    qsizetype plainPathLength(const Record &record) const { return m_rootPrefixLength + record.size; }

private:
    void add(const FileItem &item, const QString &path, const QString &rootPrefix);

    QList<FileItem> m_items;
    QList<Record> m_records;
    QByteArray m_text;
    QList<Prepared> m_prepared;
    qsizetype m_rootPrefixLength = 0;
};
