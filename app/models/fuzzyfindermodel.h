#pragma once
// The state behind the find-anywhere palette: scans the tree under a root in the background,
// batch by batch, into an index; re-ranks the index whenever it grows or the query changes; and
// keeps a highlighted row the keyboard moves. One model per opening of the palette, used on the
// main thread only.
//
// Background work never sees the model: the scan and each ranking get copies of what they need
// and hand their results back through future watchers owned by the model, so destroying the
// model with work in flight drops that work's results and never blocks.

#include "fileitem.h"
#include "fuzzyindex.h"
#include "fuzzyranking.h"
#include "futureowner.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include "filepath.h"
#include <QUuid>

#include <chrono>
#include <optional>

class FuzzyFinderModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUuid id READ id CONSTANT)
    Q_PROPERTY(FilePath root READ root CONSTANT)
    Q_PROPERTY(bool showHidden READ showHidden CONSTANT)
    Q_PROPERTY(int maxResults READ maxResults CONSTANT)
    Q_PROPERTY(QList<FileItem> indexed READ indexed NOTIFY indexedChanged)
    Q_PROPERTY(bool truncated READ truncated NOTIFY truncatedChanged)
    Q_PROPERTY(bool isScanning READ isScanning NOTIFY isScanningChanged)
    Q_PROPERTY(QList<FileItem> results READ results NOTIFY resultsChanged)
    Q_PROPERTY(int selectedIndex READ selectedIndex NOTIFY selectedIndexChanged)
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)

public:
    static constexpr int scanLimit = 20000;
    static constexpr int scanBatchSize = 1000;
    // What the palette waits after a keystroke before ranking.
    static constexpr std::chrono::milliseconds defaultDebounce{120};

    // One delivery of the scan: items in walk order, already prepared for ranking.
    struct ScanBatch
    {
        FuzzyChunk prepared;
        bool truncated = false;
    };

    FuzzyFinderModel(FilePath root, bool showHidden, std::chrono::milliseconds debounce = defaultDebounce,
                     QObject *parent = nullptr);
    ~FuzzyFinderModel() override;

    QUuid id() const { return m_id; }
    FilePath root() const { return m_root; }
    bool showHidden() const { return m_showHidden; }
    int maxResults() const { return m_maxResults; }
    std::chrono::milliseconds debounce() const { return m_debounce; }
    const QList<FileItem> &indexed() const { return m_indexed; }
    bool truncated() const { return m_truncated; }
    bool isScanning() const { return m_isScanning; }
    const QList<FileItem> &results() const { return m_results; }
    int selectedIndex() const { return m_selectedIndex; }
    const QString &query() const { return m_query; }
    void setQuery(const QString &query);

    // Starts the background scan; does nothing while a scan is running or after it finished,
    // unless cancel() came in between.
    void start();
    // Re-ranks the index for the current query, after the debounce delay when `debounced`.
    // Supersedes any ranking still waiting or running: only the latest one is published.
    void rank(bool debounced);
    // Stops the scan and drops the pending ranking; what was published stays.
    void cancel();

    // The highlighted result, none when there is none.
    std::optional<FileItem> selectedItem() const;
    // Moves the highlight by `step` rows, clamped to the results; no wrap-around.
    void moveSelection(int step);

Q_SIGNALS:
    void indexedChanged();
    void truncatedChanged();
    void isScanningChanged();
    void resultsChanged();
    void selectedIndexChanged();
    void queryChanged();
    // Each time a ranking is published, even when it changed nothing.
    void rankingPublished();

private:
    void applyBatch(const ScanBatch &batch);
    void scanFinished();
    void startRanking();
    void publish(const QList<FileItem> &results);
    void setTruncated(bool truncated);
    void setIsScanning(bool scanning);
    void setSelectedIndex(int index);

    const QUuid m_id = QUuid::createUuid();
    const FilePath m_root;
    const bool m_showHidden;
    const int m_maxResults = 100;
    const std::chrono::milliseconds m_debounce;

    QList<FileItem> m_indexed;
    FuzzyIndex m_index;
    bool m_truncated = false;
    bool m_isScanning = false;
    QList<FileItem> m_results;
    FuzzyRanking::Matches m_matches; // of the last ranking published, to narrow the next one
    int m_selectedIndex = 0;
    QString m_query;

    bool m_scanStarted = false;
    QTimer m_rankDelay; // a requested ranking not started yet
    // Last: the walk and the rankings are dropped before anything else goes. Both work on copies
    // only, so a walk stuck in a folder that stopped answering is left to end on its own.
    FutureOwner m_scan{FutureOwner::Teardown::letRunOut};
    FutureOwner m_ranking{FutureOwner::Teardown::letRunOut};
};
