#include "fuzzyindex.h"

FuzzyIndex::FuzzyIndex(const FilePath &root) : m_rootPrefix(root.path())
{
    if (!m_rootPrefix.endsWith(QLatin1Char('/')))
        m_rootPrefix += QLatin1Char('/');
}

FuzzyIndex::Chunk FuzzyIndex::prepare(const QList<FileItem> &items) const
{
    Chunk chunk;
    chunk.reserve(items.size());
    for (const FileItem &item : items) {
        const QString path = item.url.path();
        const QString relative = path.startsWith(m_rootPrefix) ? path.sliced(m_rootPrefix.size()) : path;
        chunk.append(Entry{item, FuzzyText(item.name), FuzzyText(relative), FuzzyText::lengthOf(path)});
    }
    return chunk;
}

void FuzzyIndex::append(Chunk chunk)
{
    if (chunk.isEmpty())
        return;
    m_size += chunk.size();
    m_chunks.append(std::move(chunk));
}
