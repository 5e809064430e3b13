#include "fuzzyfindermodel.h"

#include "filesystemservice.h"
#include "fuzzyranking.h"

#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

// Runs on a pool thread with copies of everything it needs; it only talks to its promise, which
// the model cancels to stop the walk at its next entry.
void scanTree(QPromise<FuzzyFinderModel::ScanBatch> &promise, const FilePath &root, bool showHidden,
              const FuzzyIndex &preparer)
{
    FileSystemService().enumerateRecursively(
        root, showHidden, FuzzyFinderModel::scanLimit, FuzzyFinderModel::scanBatchSize,
        FileSystemService::defaultIgnoredDirectoryNames(),
        [&promise] { return !promise.isCanceled(); },
        [&promise, &preparer](const QList<FileItem> &batch, bool truncated) {
            promise.addResult(FuzzyFinderModel::ScanBatch{preparer.prepare(batch), truncated});
        });
}

} // namespace

FuzzyFinderModel::FuzzyFinderModel(FilePath root, bool showHidden, std::chrono::milliseconds debounce,
                                   QObject *parent)
    : QObject(parent), m_root(std::move(root)), m_showHidden(showHidden), m_debounce(debounce),
      m_index(m_root)
{
    m_rankDelay.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the debounce is a lower bound.
    m_rankDelay.setTimerType(Qt::PreciseTimer);
    connect(&m_rankDelay, &QTimer::timeout, this, &FuzzyFinderModel::startRanking);
}

FuzzyFinderModel::~FuzzyFinderModel() = default;

void FuzzyFinderModel::setQuery(const QString &query)
{
    if (m_query == query)
        return;
    m_query = query;
    Q_EMIT queryChanged();
}

void FuzzyFinderModel::start()
{
    if (m_scanStarted)
        return;
    // A scan after cancel() starts over rather than adding the same items a second time.
    if (!m_indexed.isEmpty()) {
        m_indexed.clear();
        m_index = FuzzyIndex(m_root);
        Q_EMIT indexedChanged();
    }
    setTruncated(false);
    setIsScanning(true);
    m_scanStarted = true;
    m_scan.stream(QtConcurrent::run(FutureOwner::pool(), scanTree, m_root, m_showHidden, FuzzyIndex(m_root)),
                  [this](const ScanBatch &batch) { applyBatch(batch); }, [this] { scanFinished(); });
}

void FuzzyFinderModel::applyBatch(const ScanBatch &batch)
{
    m_indexed.append(batch.prepared.items());
    m_index.append(batch.prepared);
    if (!batch.prepared.isEmpty())
        Q_EMIT indexedChanged();
    if (batch.truncated)
        setTruncated(true);
    rank(false);
}

void FuzzyFinderModel::scanFinished()
{
    setIsScanning(false);
    rank(false);
}

void FuzzyFinderModel::rank(bool debounced)
{
    m_ranking.cancelAll();
    // Not started at once even when not debounced: batches applied in one go share a ranking.
    m_rankDelay.start(debounced ? m_debounce : std::chrono::milliseconds(0));
}

void FuzzyFinderModel::startRanking()
{
    // Only the latest ranking may publish.
    m_ranking.cancelAll();
    m_ranking.watch(QtConcurrent::run(FutureOwner::pool(), [index = m_index, query = m_query, maxResults = m_maxResults,
                                       previous = m_matches] {
                        return FuzzyRanking::rank(index, query, maxResults, previous);
                    }),
                    [this](const FuzzyRanking::Ranked &ranked) {
                        m_matches = ranked.matches;
                        publish(ranked.items);
                    });
}

void FuzzyFinderModel::publish(const QList<FileItem> &results)
{
    if (m_results != results) {
        m_results = results;
        Q_EMIT resultsChanged();
    }
    setSelectedIndex(m_results.isEmpty() ? 0 : std::clamp(m_selectedIndex, 0, int(m_results.size()) - 1));
    Q_EMIT rankingPublished();
}

void FuzzyFinderModel::cancel()
{
    m_scan.cancelAll();
    m_scanStarted = false;
    m_rankDelay.stop();
    m_ranking.cancelAll();
}

std::optional<FileItem> FuzzyFinderModel::selectedItem() const
{
    if (m_selectedIndex < 0 || m_selectedIndex >= m_results.size())
        return std::nullopt;
    return m_results.at(m_selectedIndex);
}

void FuzzyFinderModel::moveSelection(int step)
{
    if (m_results.isEmpty())
        return;
    const qint64 wanted = qint64(m_selectedIndex) + step;
    setSelectedIndex(int(std::clamp<qint64>(wanted, 0, m_results.size() - 1)));
}

void FuzzyFinderModel::setTruncated(bool truncated)
{
    if (m_truncated == truncated)
        return;
    m_truncated = truncated;
    Q_EMIT truncatedChanged();
}

void FuzzyFinderModel::setIsScanning(bool scanning)
{
    if (m_isScanning == scanning)
        return;
    m_isScanning = scanning;
    Q_EMIT isScanningChanged();
}

void FuzzyFinderModel::setSelectedIndex(int index)
{
    if (m_selectedIndex == index)
        return;
    m_selectedIndex = index;
    Q_EMIT selectedIndexChanged();
}
