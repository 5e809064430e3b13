#pragma once
// What the information dialog shows about one item: name, kind, size, dates and permissions,
// and for a folder its total size, walked in the background from the moment the model exists
// until it is stopped or destroyed (the dialog closing). The item is read off the main thread
// (a stat can hang on a dead network mount) and read again whenever its folder changes, so a
// renamed or removed item stops showing stale facts. Used on the main thread.

#include "directorywatcher.h"
#include "fileinfo.h"
#include "futureowner.h"

#include <QList>
#include <QObject>
#include <QString>
#include "filepath.h"

#include <optional>

class Localization;

class ItemInfoModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(FilePath url READ url CONSTANT)
    Q_PROPERTY(std::optional<FileInfo> info READ info NOTIFY infoChanged)
    Q_PROPERTY(bool isExamined READ isExamined NOTIFY infoChanged)
    Q_PROPERTY(std::optional<qint64> folderSize READ folderSize NOTIFY folderSizeChanged)

public:
    // One labelled line of the dialog.
    struct Row
    {
        QString label;
        QString value;
        friend bool operator==(const Row &, const Row &) = default;
    };

    explicit ItemInfoModel(FilePath url, QObject *parent = nullptr);
    ~ItemInfoModel() override;

    const FilePath &url() const { return m_url; }
    // Absent when the item can't be examined (removed, unreadable), and until the first read
    // is back (isExamined).
    const std::optional<FileInfo> &info() const { return m_info; }
    bool isExamined() const { return m_examined; }
    const std::optional<qint64> &folderSize() const { return m_folderSize; }
    bool isWalking() const { return m_walking; }

    // The item's name, or the URL's last component when it can't be examined.
    QString title() const;
    // Kind, size, created, modified, permissions; a row whose value is absent is left out, and
    // all rows are when the item can't be examined.
    QList<Row> rows(const Localization &loc) const;

    // Reads the item again in the background; a call while a read runs is served by one more
    // read after it.
    void refresh();
    // Stops the folder walk, or keeps it from starting; its result is never applied.
    void stop();

    // Folders by the texts' word; files by their extension in capitals, else an em dash.
    static QString kindText(const FileInfo &info, const Localization &loc);
    // Mode bits in octal: 0644 gives "644".
    static QString permissionsText(int mode);

Q_SIGNALS:
    void infoChanged();
    void folderSizeChanged();

private:
    struct Reading
    {
        DirectoryWatcher::Watch folderWatch;
        std::optional<FileInfo> info;
    };

    void infoArrived(const std::optional<FileInfo> &info);
    void startWalk();

    const FilePath m_url;
    std::optional<FileInfo> m_info;
    bool m_examined = false;
    std::optional<qint64> m_folderSize;
    bool m_reading = false;
    bool m_readAgain = false;
    bool m_walking = false;
    bool m_stopped = false;
    bool m_watchAsked = false;
    DirectoryWatcher m_folderWatch;
    // Both work on copies only, and are left to end on their own when the model goes. Reads go
    // on after stop(), the walk does not.
    FutureOwner m_reads{FutureOwner::Teardown::letRunOut};
    FutureOwner m_walk{FutureOwner::Teardown::letRunOut};
};
