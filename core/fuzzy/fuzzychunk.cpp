#include "fuzzychunk.h"

#include "fuzzymatcher.h"
#include "urls.h"

#include <limits>

FuzzyChunk::FuzzyChunk(const QList<FileItem> &items, const QString &rootPrefix, qsizetype rootPrefixLength)
    : m_items(items), m_rootPrefixLength(rootPrefixLength)
{
    m_records.reserve(items.size());
    for (const FileItem &item : items)
        add(item, item.url.path(), rootPrefix);
    // The matcher reads texts in blocks, past the end of the last one.
    m_text.append(FuzzyMatcher::asciiPadding, '\0');
    m_text.squeeze();
}

void FuzzyChunk::add(const FileItem &item, const QString &path, const QString &rootPrefix)
{
    const bool below = path.startsWith(rootPrefix);
    const QString relative = below ? path.sliced(rootPrefix.size()) : path;
    // Paths outside the root, names of their own and long texts are rare: they take the
    // general way rather than widening the record.
    const bool plain = below && !relative.isEmpty() && relative.size() < notPlain && relative.endsWith(item.name)
                       && FuzzyText::isPlainAscii(relative)
                       && m_text.size() + relative.size() <= std::numeric_limits<quint32>::max();
    if (plain) {
        quint64 mask = 0;
        for (const QChar unit : relative)
            mask |= FuzzyText::maskBit(unit.toLower().unicode());
        m_records.append({mask, quint32(m_text.size()), quint16(relative.size()),
                          quint16(relative.size() - item.name.size())});
        m_text += relative.toLatin1();
        return;
    }
    Prepared prepared{FuzzyText(item.name), FuzzyText(relative), FuzzyText::lengthOf(path)};
    m_records.append({prepared.name.mask() | prepared.relativePath.mask(), quint32(m_prepared.size()), 0, notPlain});
    m_prepared.append(std::move(prepared));
}
