#pragma once
// The rows of a file list: one row per entry of a tab's visible items, in three columns (name,
// size, date modified). The model only presents what it is given; the list view feeds it the
// tab's items and the set of cut URLs, and maps header clicks to the tab's sort order.
//
// Icons come from the icon cache, asked only when a row is painted, so a folder of 100,000
// entries fetches icons for the rows on screen and nothing else. Icons the cache announces
// later repaint the rows in one go, shortly after.

#include "fileitem.h"
#include "iconrefresh.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QSet>
#include "filepath.h"

#include <functional>
#include <memory>

class IconCache;

class FileTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, SizeColumn, ModifiedColumn, ColumnCount };
    enum Role { UrlRole = Qt::UserRole + 1, IsDirectoryRole, CutRole };

    explicit FileTableModel(QObject *parent = nullptr);
    ~FileTableModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override;

    // Replaces the rows. The same URLs in the same order, maybe followed by more, only refresh the
    // cells and add rows, so the view keeps its scroll position and current row across a reload
    // and when the rest of a large folder follows its first page. While the details of the
    // entries are pending (that first page), their size and date cells are blank.
    void setItems(const QList<FileItem> &items, bool detailsPending = false);
    const QList<FileItem> &items() const { return m_items; }
    const FileItem &item(int row) const { return m_items.at(row); }
    // -1 when no row has that URL.
    int rowOf(const FilePath &url) const;

    void setCutUrls(const QSet<FilePath> &urls);
    bool isCut(const FilePath &url) const { return m_cut.contains(url); }
    // Without a cache the rows have no icons.
    void setIconCache(IconCache *cache);
    void setFont(const QFont &font);
    void setColors(const QColor &foreground, const QColor &secondaryForeground);
    void setHeaderTitles(const QString &name, const QString &size, const QString &modified);

    static QString sizeText(const FileItem &item);

private:
    QVariant displayText(const FileItem &item, int column) const;
    void emitAllChanged(const QList<int> &roles);

    QList<FileItem> m_items;
    bool m_detailsPending = false;
    mutable QHash<FilePath, int> m_rows; // built on first lookup, dropped with the rows
    QSet<FilePath> m_cut;
    void refreshIcons();

    IconRefresh m_icons{this, [this] { refreshIcons(); }};
    QFont m_font;
    QColor m_foreground;
    QColor m_secondaryForeground;
    QString m_titles[ColumnCount];
};
