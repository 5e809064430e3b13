#pragma once
// The chain of columns a tab in column view shows: its folder first, and for each folder
// selected alone in a column, that folder's entries in the next column. Each column has its
// own selection and Shift-selection anchor; one column has the keyboard focus.
//
// Every column loads in background work. A result is applied only when the column at that
// place still shows the folder the load was for: selecting elsewhere replaces columns, and a
// slow load must not fill a column that now shows another folder. The folders of the columns
// after the first are watched (the tab watches the first), each from its column's first load.

#include "column.h"
#include "directorywatcher.h"
#include "fileitem.h"
#include "futureowner.h"
#include "selectmode.h"

#include <QFuture>
#include <QList>
#include <QObject>
#include "filepath.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ColumnBrowserModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(FilePath rootURL READ rootURL CONSTANT)
    Q_PROPERTY(bool showHidden READ showHidden CONSTANT)
    Q_PROPERTY(int activeColumnIndex READ activeColumnIndex WRITE setActiveColumnIndex NOTIFY activeColumnIndexChanged)

public:
    using SelectMode = ::SelectMode;
    using Action = std::function<void(const FilePath &)>;

    // Empty until start().
    ColumnBrowserModel(const FilePath &rootURL, bool showHidden, QObject *parent = nullptr);

    const FilePath &rootURL() const { return m_rootURL; }
    bool showHidden() const { return m_showHidden; }
    const QList<Column> &columns() const { return m_columns; }
    int activeColumnIndex() const { return m_activeColumnIndex; }
    void setActiveColumnIndex(int index);

    // What opening an entry does: a folder goes to onNavigate (the tab navigates), a file to
    // onOpenFile (the default application).
    void setOnNavigate(Action action) { m_onNavigate = std::move(action); }
    void setOnOpenFile(Action action) { m_onOpenFile = std::move(action); }

    // Makes the root column and loads it.
    void start();
    // Changes the selection of column `index` by `mode`, focuses that column, drops the columns
    // to its right, and opens a column for the folder selected alone in it.
    void select(const FilePath &url, int index, SelectMode mode);
    // Hands the entry matching `url` in column `index` to onNavigate or onOpenFile.
    void open(const FilePath &url, int index) const;
    // Loads every column again; selections and the chain's shape stay.
    void reloadColumns();

    // Column `index`'s selected entries in the column's order; empty outside the chain.
    QList<FileItem> selectedItems(int index) const;
    // The last column's folder; the root before start().
    FilePath deepestDirectory() const;
    // The selection of the deepest column that has one.
    QList<FileItem> deepestSelection() const;
    // That selection's entry when it is exactly one file; previews show it.
    std::optional<FileItem> deepestSelectedFile() const;

    // Every load started, in starting order; each finishes once its result is applied or dropped.
    const QList<QFuture<void>> &loadTasks() const { return m_loadTasks; }

Q_SIGNALS:
    void columnsChanged();
    void activeColumnIndexChanged();
    // Each time a load's result is applied to column `index`.
    void columnLoaded(int index);
    // Another program changed the folder of a column after the first (once things calmed down).
    void folderChanged();

private:
    void load(int index);
    void applyListing(int index, const FilePath &url, const QList<FileItem> &items, const DirectoryWatcher::Watch &watch);
    void fitWatchers();
    std::optional<FileItem> item(const FilePath &url, int index) const;
    static void changeSelection(Column &column, const FilePath &target, SelectMode mode);
    bool isInChain(int index) const { return index >= 0 && index < m_columns.size(); }

    const FilePath m_rootURL;
    const bool m_showHidden;
    QList<Column> m_columns;
    int m_activeColumnIndex = 0;
    Action m_onNavigate = [](const FilePath &) {};
    Action m_onOpenFile = [](const FilePath &) {};
    std::vector<std::unique_ptr<DirectoryWatcher>> m_watchers; // by column; none for the first
    QList<QFuture<void>> m_loadTasks;
    // Last: its loads, which hold copies only, are let go of before anything else goes.
    FutureOwner m_tasks{FutureOwner::Teardown::letRunOut};
};
