#include "fuzzyindex.h"

#include <atomic>

FuzzyIndex::FuzzyIndex(const FilePath &root) : m_rootPrefix(root.path())
{
    if (!m_rootPrefix.endsWith(QLatin1Char('/')))
        m_rootPrefix += QLatin1Char('/');
    m_rootPrefixLength = FuzzyText::lengthOf(m_rootPrefix);
}

FuzzyChunk FuzzyIndex::prepare(const QList<FileItem> &items) const
{
    return FuzzyChunk(items, m_rootPrefix, m_rootPrefixLength);
}

void FuzzyIndex::append(FuzzyChunk chunk)
{
    if (chunk.isEmpty())
        return;
    m_size += chunk.size();
    m_chunks.append(std::move(chunk));
}

quint64 FuzzyIndex::nextId()
{
    static std::atomic<quint64> last{0};
    return ++last;
}
