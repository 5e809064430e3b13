#include "filetablemodel.h"

#include "bytecount.h"
#include "datetext.h"
#include "themeicons.h"

#include <QLocale>
#include <QTextDocument>

FileTableModel::FileTableModel(QObject *parent) : QAbstractTableModel(parent) {}

FileTableModel::~FileTableModel() = default;

int FileTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

int FileTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    const FileItem &item = m_items.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return displayText(item, index.column());
    case Qt::ToolTipRole: // a tooltip would take a name with "<" in it for markup
        return index.column() == NameColumn ? QVariant(Qt::convertFromPlainText(item.name)) : displayText(item, index.column());
    case Qt::DecorationRole:
        return index.column() == NameColumn && m_icons.cache() ? QVariant(ThemeIcons::itemIcon(m_icons.cache(), item))
                                                               : QVariant();
    case Qt::FontRole:
        return m_font;
    case Qt::ForegroundRole: {
        const QColor &color = index.column() == NameColumn ? m_foreground : m_secondaryForeground;
        return color.isValid() ? QVariant(color) : QVariant();
    }
    case Qt::TextAlignmentRole:
        return index.column() == SizeColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case UrlRole:
        return QVariant::fromValue(item.url);
    case IsDirectoryRole:
        return item.isDirectory;
    case CutRole:
        return m_cut.contains(item.url);
    default:
        return {};
    }
}

QVariant FileTableModel::displayText(const FileItem &item, int column) const
{
    if (m_detailsPending && column != NameColumn)
        return QString();
    switch (column) {
    case NameColumn:
        return item.name;
    case SizeColumn:
        return sizeText(item);
    case ModifiedColumn:
        return DateText::dateTime(item.modificationDate);
    default:
        return {};
    }
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::TextAlignmentRole) // over the sizes, which are aligned right
        return section == SizeColumn ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    return role == Qt::DisplayRole ? QVariant(m_titles[section]) : QVariant();
}

Qt::ItemFlags FileTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
    if (m_items.at(index.row()).isDirectory)
        flags |= Qt::ItemIsDropEnabled;
    return flags;
}

Qt::DropActions FileTableModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

void FileTableModel::setItems(const QList<FileItem> &items, bool detailsPending)
{
    const qsizetype shown = m_items.size();
    const bool keepsRows = items.size() >= shown
        && std::equal(m_items.cbegin(), m_items.cend(), items.cbegin(),
                      [](const FileItem &a, const FileItem &b) { return a.url == b.url; });
    if (!keepsRows || shown == 0) {
        beginResetModel();
        m_items = items;
        m_detailsPending = detailsPending;
        m_rows.clear();
        endResetModel();
        return;
    }
    if (items.size() == shown && (items == m_items && detailsPending == m_detailsPending))
        return;
    // The rows shown stay rows, so the view keeps its place and its current row; new ones (the
    // rest of a large folder after its first page) come after them.
    if (items.size() > shown) {
        beginInsertRows({}, int(shown), int(items.size()) - 1);
        m_items = items;
        m_rows.clear();
        endInsertRows();
    } else {
        m_items = items;
    }
    m_detailsPending = detailsPending;
    Q_EMIT dataChanged(index(0, 0), index(int(shown) - 1, ColumnCount - 1));
}

int FileTableModel::rowOf(const FilePath &url) const
{
    if (m_rows.isEmpty() && !m_items.isEmpty()) {
        m_rows.reserve(m_items.size());
        for (int row = int(m_items.size()) - 1; row >= 0; --row) // the first row wins
            m_rows.insert(m_items.at(row).url, row);
    }
    return m_rows.value(url, -1);
}

void FileTableModel::setCutUrls(const QSet<FilePath> &urls)
{
    if (urls == m_cut)
        return;
    m_cut = urls;
    emitAllChanged({CutRole});
}

void FileTableModel::setIconCache(IconCache *cache)
{
    m_icons.setCache(cache);
}

void FileTableModel::refreshIcons()
{
    if (!m_items.isEmpty())
        Q_EMIT dataChanged(index(0, NameColumn), index(rowCount() - 1, NameColumn), {Qt::DecorationRole});
}

void FileTableModel::setFont(const QFont &font)
{
    if (font == m_font)
        return;
    m_font = font;
    emitAllChanged({Qt::FontRole});
}

void FileTableModel::setColors(const QColor &foreground, const QColor &secondaryForeground)
{
    if (foreground == m_foreground && secondaryForeground == m_secondaryForeground)
        return;
    m_foreground = foreground;
    m_secondaryForeground = secondaryForeground;
    emitAllChanged({Qt::ForegroundRole});
}

void FileTableModel::setHeaderTitles(const QString &name, const QString &size, const QString &modified)
{
    m_titles[NameColumn] = name;
    m_titles[SizeColumn] = size;
    m_titles[ModifiedColumn] = modified;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

QString FileTableModel::sizeText(const FileItem &item)
{
    if (item.isDirectory)
        return QStringLiteral("--");
    return ByteCount::text(item.size);
}

// One signal for the whole table: the view repaints only what is on screen.
void FileTableModel::emitAllChanged(const QList<int> &roles)
{
    if (!m_items.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1), roles);
}
