#include "columnbrowserview.h"

#include "appsettings.h"
#include "clipboardmime.h"
#include "dragselection.h"
#include "filetablemodel.h"
#include "filetableview.h"
#include "listoverlay.h"
#include "localization.h"
#include "paneactions.h"
#include "panemodel.h"
#include "previewcolumnview.h"
#include "tabmodel.h"
#include "theme.h"
#include "transferprogressrow.h"
#include "workspacemodel.h"

#include <QDragEnterEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QTimer>


namespace {

QColor mixed(const QColor &under, const QColor &over, double opacity)
{
    return QColor::fromRgbF(float(under.redF() * (1 - opacity) + over.redF() * opacity),
                            float(under.greenF() * (1 - opacity) + over.greenF() * opacity),
                            float(under.blueF() * (1 - opacity) + over.blueF() * opacity));
}

} // namespace

ColumnBrowserView::ColumnBrowserView(const ViewEnvironment &env, PaneModel *pane, TabModel *tab, PaneActions *actions,
                                     QWidget *parent)
    : QScrollArea(parent), m_env(env), m_pane(pane), m_tab(tab), m_actions(actions),
      m_model(new ColumnBrowserModel(tab->currentUrl(), tab->showHidden(), this)),
      m_openFile([actions](const FilePath &url) { actions->openFile(url); }), m_row(new QWidget),
      m_rowLayout(new QHBoxLayout(m_row)), m_preview(new PreviewColumnView(env, m_row)),
      m_progress(new TransferProgressRow(actions, env.settings, this))
{
    const Theme theme = Theme::daziduvEdiv();
    setPalette(theme.palette());
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAcceptDrops(true);
    setFocusPolicy(Qt::NoFocus);
    m_row->setAutoFillBackground(true);
    m_row->setBackgroundRole(QPalette::Base);
    m_rowLayout->setContentsMargins(0, 0, 0, 0);
    m_rowLayout->setSpacing(0);
    m_rowLayout->addWidget(m_preview);
    m_rowLayout->addStretch(1);
    m_preview->hide();
    setWidget(m_row);
    QPalette raised = theme.palette();
    raised.setColor(QPalette::Window, theme.secondaryBackground);
    m_progress->setPalette(raised);
    m_progress->installEventFilter(this);

    m_model->setOnNavigate([this](const FilePath &url) {
        if (m_tab)
            m_tab->navigate(url);
    });
    m_model->setOnOpenFile([this](const FilePath &url) { m_openFile(url); });
    connect(m_model, &ColumnBrowserModel::columnsChanged, this, &ColumnBrowserView::syncColumns);
    connect(m_model, &ColumnBrowserModel::activeColumnIndexChanged, this, &ColumnBrowserView::syncActiveColumn);
    connect(m_model, &ColumnBrowserModel::columnsChanged, this, &ColumnBrowserView::commandTargetChanged);
    connect(m_model, &ColumnBrowserModel::activeColumnIndexChanged, this, &ColumnBrowserView::commandTargetChanged);
    connect(tab, &TabModel::reloadCountChanged, m_model, &ColumnBrowserModel::reloadColumns);
    // A change in a deeper folder reloads the tab, which reloads every column.
    connect(m_model, &ColumnBrowserModel::folderChanged, this, [this] {
        if (m_tab)
            QMetaObject::invokeMethod(m_tab.data(), &TabModel::reload, Qt::QueuedConnection);
    });
    connect(env.workspace, &WorkspaceModel::activePaneIDChanged, this, &ColumnBrowserView::refreshFocus);
    connect(env.workspace, &WorkspaceModel::clipboardChanged, this, [this] {
        for (int i = 0; i < columnCount(); ++i)
            syncLane(i);
    });
    connect(env.settings, &AppSettings::languageChanged, this, &ColumnBrowserView::retranslate);
    connect(env.settings, &AppSettings::uiFontChanged, this, [this] {
        for (const Lane &lane : m_lanes)
            lane.rows->setFont(m_env.settings->uiFont());
    });
}

// The lists are deleted with the base class, after the lanes they would call back into.
ColumnBrowserView::~ColumnBrowserView()
{
    for (const Lane &lane : m_lanes)
        lane.list->disconnect(this);
}

void ColumnBrowserView::showEvent(QShowEvent *event)
{
    QScrollArea::showEvent(event);
    if (!m_started)
        start();
}

void ColumnBrowserView::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    placeProgressRow();
}

bool ColumnBrowserView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_progress && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        placeProgressRow();
    return QScrollArea::eventFilter(watched, event);
}

// The progress row lies right under the columns, outside what scrolls (above the scroll bar),
// with the list's margins around it; the columns give up its height while it shows.
void ColumnBrowserView::placeProgressRow()
{
    constexpr int margin = 8;
    const bool shown = !m_progress->isHidden();
    const int height = m_progress->sizeHint().height();
    setViewportMargins(0, 0, 0, shown ? height + 2 * margin : 0);
    if (shown)
        m_progress->setGeometry(margin, viewport()->geometry().bottom() + 1 + margin, viewport()->width() - 2 * margin,
                                height);
}

void ColumnBrowserView::start()
{
    m_started = true;
    if (m_model->columns().isEmpty())
        m_model->start();
    syncColumns();
    refreshFocus();
}

const Localization &ColumnBrowserView::loc() const
{
    return Localization::forLanguage(m_env.settings->language());
}

FileTableView *ColumnBrowserView::columnList(int index) const
{
    return index >= 0 && index < columnCount() ? m_lanes.at(index).list : nullptr;
}

ListOverlay *ColumnBrowserView::columnOverlay(int index) const
{
    return index >= 0 && index < columnCount() ? m_lanes.at(index).overlay : nullptr;
}

PreviewColumnView *ColumnBrowserView::previewColumn() const
{
    return m_preview->isVisibleTo(m_row) ? m_preview : nullptr;
}

// The model says "something changed"; lanes whose folder is unchanged keep their widgets, so
// their scroll position and keyboard focus survive a selection made to their right.
void ColumnBrowserView::syncColumns()
{
    const QList<Column> &columns = m_model->columns();
    const int before = columnCount();
    const bool previewBefore = previewColumn();
    int keep = 0;
    while (keep < columnCount() && keep < columns.size() && m_lanes.at(keep).url == columns.at(keep).url)
        ++keep;
    removeLanesFrom(keep);
    for (int i = keep; i < columns.size(); ++i)
        addLane(i);
    for (int i = 0; i < columnCount(); ++i)
        syncLane(i);
    syncActiveColumn();
    syncPreview();
    syncTitleSelection();
    // A new column or a file's preview at the end slides into view.
    if ((columnCount() != before || (previewColumn() && !previewBefore)) && columnCount() > 0)
        scrollToLastColumn();
}

void ColumnBrowserView::addLane(int index)
{
    Lane lane;
    lane.url = m_model->columns().at(index).url;
    lane.rows = new FileTableModel(this);
    lane.rows->setIconCache(m_env.icons);
    const Theme theme = Theme::daziduvEdiv();
    lane.rows->setColors(theme.foreground, theme.secondaryForeground);
    lane.rows->setFont(m_env.settings->uiFont());
    lane.list = new FileTableView(m_row);
    lane.list->setModel(lane.rows);
    lane.list->setFolderColumnStyle(true);
    lane.list->setHeaderHidden(true);
    lane.list->setColumnHidden(FileTableModel::SizeColumn, true);
    lane.list->setColumnHidden(FileTableModel::ModifiedColumn, true);
    lane.list->header()->setSectionResizeMode(FileTableModel::NameColumn, QHeaderView::Stretch);
    lane.list->setSelectionMode(QAbstractItemView::NoSelection); // the model's selection is drawn, nothing else
    lane.list->setFrameShape(QFrame::NoFrame);
    lane.list->setFixedWidth(columnWidth);
    lane.list->setIconSize(QSize(16, 16));
    lane.overlay = new ListOverlay(lane.list->viewport());
    lane.divider = new QFrame(m_row);
    lane.divider->setFixedWidth(1);
    lane.divider->setAutoFillBackground(true);
    QPalette line = lane.divider->palette();
    line.setColor(QPalette::Window, theme.divider);
    lane.divider->setPalette(line);
    m_rowLayout->insertWidget(2 * index, lane.list);
    m_rowLayout->insertWidget(2 * index + 1, lane.divider);

    FileTableView *list = lane.list;
    list->setKeyHandler([this](const QKeyEvent *event) { return keyCommand(event); });
    connect(list, &FileTableView::rowClicked, this, [this, index](int row, Qt::KeyboardModifiers modifiers) {
        rowClicked(index, row, modifiers);
    });
    connect(list, &FileTableView::rowDoubleClicked, this, [this, index](int row) { rowDoubleClicked(index, row); });
    connect(list, &FileTableView::backgroundClicked, this, &ColumnBrowserView::activatePane);
    connect(list, &FileTableView::dragStarted, this, [this, index](int row) { startDrag(index, row); });
    connect(list, &FileTableView::urlsDropped, this,
            [this, index](const QList<FilePath> &urls, int row, Qt::KeyboardModifiers modifiers) {
                dropUrls(index, urls, row, modifiers);
            });
    connect(list, &QWidget::customContextMenuRequested, this, [this, index](const QPoint &pos) { showContextMenu(index, pos); });
    m_lanes.push_back(std::move(lane));
}

// Lanes may go while one of their own signals is being handled (a click that ends the chain
// there): their widgets are deleted from the event loop.
void ColumnBrowserView::removeLanesFrom(int index)
{
    while (columnCount() > index) {
        Lane &lane = m_lanes.back();
        lane.list->disconnect(this);
        lane.list->hide();
        lane.divider->hide();
        lane.list->deleteLater();
        lane.divider->deleteLater();
        lane.rows->deleteLater();
        m_lanes.pop_back();
    }
}

void ColumnBrowserView::syncLane(int index)
{
    const Column &column = m_model->columns().at(index);
    Lane &lane = m_lanes.at(index);
    // A selection change leaves the column's list shared with the model: nothing to redo.
    if (column.items.constData() != lane.shownItems.constData() || column.items.size() != lane.shownItems.size()) {
        lane.rows->setItems(column.items);
        lane.shownItems = column.items;
        lane.shownSelection = {};
        lane.list->showSelection({});
    }
    if (column.selection != lane.shownSelection) {
        lane.list->showSelection(column.selection);
        lane.shownSelection = column.selection;
    }
    QSet<FilePath> cut;
    const std::optional<FileClipboard> clipboard = m_env.workspace->clipboard();
    if (clipboard && clipboard->operation == ClipboardOperation::move)
        cut = QSet<FilePath>(clipboard->urls.cbegin(), clipboard->urls.cend());
    lane.rows->setCutUrls(cut);
    syncOverlay(index);
}

void ColumnBrowserView::syncOverlay(int index)
{
    const Column &column = m_model->columns().at(index);
    ListOverlay *overlay = m_lanes.at(index).overlay;
    if (column.isLoading)
        overlay->showSpinner();
    else if (column.items.isEmpty())
        overlay->showMessage(QString(), loc().emptyFolder);
    else
        overlay->clear();
}

// The focused column's selection stands out; the trail of folders to its left is quieter.
void ColumnBrowserView::syncActiveColumn()
{
    const Theme theme = Theme::daziduvEdiv();
    const QColor active = mixed(theme.palette().color(QPalette::Base), theme.accent, 0.35);
    for (int i = 0; i < columnCount(); ++i) {
        QPalette colours = theme.palette();
        const QColor highlight = i == m_model->activeColumnIndex() ? active : theme.selection;
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            colours.setColor(group, QPalette::Highlight, highlight);
            colours.setColor(group, QPalette::HighlightedText, theme.foreground);
        }
        m_lanes.at(i).list->setPalette(colours);
    }
}

void ColumnBrowserView::syncPreview()
{
    const std::optional<FileItem> file = m_model->deepestSelectedFile();
    if (file)
        m_preview->setItem(*file);
    m_preview->setVisible(file.has_value());
}

void ColumnBrowserView::syncTitleSelection()
{
    if (!m_tab)
        return;
    m_tab->setColumnSelection(m_model->deepestSelection());
    m_tab->setColumnFocusDirectory(m_model->deepestDirectory());
}

// Once the row has its new width, the last column slides in at the right edge.
void ColumnBrowserView::scrollToLastColumn()
{
    QTimer::singleShot(0, this, [this] {
        QScrollBar *bar = horizontalScrollBar();
        auto *slide = new QPropertyAnimation(bar, "value", this);
        slide->setDuration(200);
        slide->setEasingCurve(QEasingCurve::InOutQuad);
        slide->setEndValue(bar->maximum());
        slide->start(QAbstractAnimation::DeleteWhenStopped);
    });
}

void ColumnBrowserView::refreshFocus()
{
    if (m_env.workspace->activePaneID() == m_pane->id() && isVisible())
        focusActiveColumn();
}

void ColumnBrowserView::focusActiveColumn()
{
    if (FileTableView *list = columnList(m_model->activeColumnIndex()))
        list->setFocus(Qt::OtherFocusReason);
}

void ColumnBrowserView::retranslate()
{
    for (int i = 0; i < columnCount(); ++i)
        syncOverlay(i);
}

void ColumnBrowserView::activatePane()
{
    m_env.workspace->setActivePaneID(m_pane->id());
}

void ColumnBrowserView::rowClicked(int index, int row, Qt::KeyboardModifiers modifiers)
{
    activatePane();
    const Lane &lane = m_lanes.at(index);
    if (row < 0 || row >= lane.rows->rowCount())
        return;
    const FilePath url = lane.rows->item(row).url;
    const SelectMode mode = modifiers & Qt::ControlModifier ? SelectMode::toggle
                            : modifiers & Qt::ShiftModifier ? SelectMode::range
                                                            : SelectMode::single;
    m_cursor = url;
    m_model->select(url, index, mode);
    focusActiveColumn();
}

void ColumnBrowserView::rowDoubleClicked(int index, int row)
{
    const Lane &lane = m_lanes.at(index);
    if (row >= 0 && row < lane.rows->rowCount())
        m_model->open(lane.rows->item(row).url, index);
}

void ColumnBrowserView::startDrag(int index, int row)
{
    const Column &column = m_model->columns().at(index);
    const Lane &lane = m_lanes.at(index);
    if (row < 0 || row >= lane.rows->rowCount())
        return;
    const FileItem dragged = lane.rows->item(row);
    lane.list->startFileDrag(m_env.workspace, dragged, DragSelection::resolve(dragged, column.selection, column.items));
}

// A folder row takes the drop itself; the column's background hands it to the deepest folder,
// as the rest of the browser does. Drops on file rows never get here.
void ColumnBrowserView::dropUrls(int index, const QList<FilePath> &urls, int row, Qt::KeyboardModifiers modifiers)
{
    if (!m_tab || urls.isEmpty())
        return;
    const Lane &lane = m_lanes.at(index);
    if (row >= 0 && row < lane.rows->rowCount())
        m_actions->handleDropIntoFolder(urls, lane.rows->item(row), m_tab, modifiers);
    else
        m_actions->handleDrop(urls, m_model->deepestDirectory(), modifiers);
}

void ColumnBrowserView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void ColumnBrowserView::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void ColumnBrowserView::dropEvent(QDropEvent *event)
{
    if (!m_tab || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_actions->handleDrop(ClipboardMime::droppedFiles(event->mimeData()), m_model->deepestDirectory(), event->modifiers());
}

// On a selected row the menu is for the column's selection, on another row for that row; on
// the background it is the menu of the column's folder.
void ColumnBrowserView::showContextMenu(int index, const QPoint &pos)
{
    if (!m_tab)
        return;
    activatePane();
    const Column &column = m_model->columns().at(index);
    const Lane &lane = m_lanes.at(index);
    const QModelIndex at = lane.list->indexAt(pos);
    QList<FileItem> items;
    FilePath directory = column.url;
    if (at.isValid()) {
        const FileItem &item = lane.rows->item(at.row());
        items = column.selection.contains(item.url) ? m_model->selectedItems(index) : QList<FileItem>{item};
        directory = item.url.parentDir();
    }
    CommandTarget target = commandTarget();
    target.items = items;
    target.directory = directory;
    lane.list->showMenu(m_env.commands, target, pos);
}

// Plain arrows, Home, End and Return (Shift with Up, Down, Home and End) are the columns' own;
// every other key goes on to the window (the pane's commands, Alt+Left back, ...). Home and End
// go through the model too: the list's own handling would draw a selection the model lacks.
ColumnBrowserView::KeyCommand ColumnBrowserView::keyCommand(const QKeyEvent *event)
{
    const int active = m_model->activeColumnIndex();
    if (active < 0 || active >= m_model->columns().size())
        return nullptr;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    const int entries = int(m_model->columns().at(active).items.size());
    // Home and End step a whole column's length; the move stops at the first or last entry.
    const int delta = key == Qt::Key_Up     ? -1
                      : key == Qt::Key_Down ? 1
                      : key == Qt::Key_Home ? -entries
                      : key == Qt::Key_End  ? entries
                                            : 0;
    if (delta != 0 && (modifiers & ~Qt::ShiftModifier) == Qt::NoModifier)
        return [this, active, delta, extend = modifiers == Qt::ShiftModifier] { moveSelection(active, delta, extend); };
    if (modifiers != Qt::NoModifier)
        return nullptr;
    switch (key) {
    case Qt::Key_Left:
        return [this, active] {
            if (active > 0)
                m_model->setActiveColumnIndex(active - 1);
            focusActiveColumn();
        };
    case Qt::Key_Right:
        return [this] { moveRight(); };
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return [this, active] {
            if (const QList<FileItem> selected = m_model->selectedItems(active); !selected.isEmpty())
                m_model->open(selected.first().url, active);
        };
    default:
        return nullptr;
    }
}

// From the cursor, else from the first selected entry, else from before the first entry.
void ColumnBrowserView::moveSelection(int index, int delta, bool extend)
{
    const QList<FileItem> &items = m_model->columns().at(index).items;
    if (items.isEmpty())
        return;
    const QSet<FilePath> &selection = m_model->columns().at(index).selection;
    qsizetype current = -1;
    for (qsizetype i = 0; i < items.size() && current < 0; ++i) {
        if (m_cursor && items.at(i).url == *m_cursor)
            current = i;
    }
    for (qsizetype i = 0; i < items.size() && current < 0; ++i) {
        if (selection.contains(items.at(i).url))
            current = i;
    }
    const qsizetype target = std::clamp(current + delta, qsizetype(0), items.size() - 1);
    const FilePath url = items.at(target).url;
    m_model->select(url, index, extend ? SelectMode::range : SelectMode::single);
    m_cursor = url;
    if (FileTableView *list = columnList(index))
        list->scrollTo(list->model()->index(int(target), 0));
}

void ColumnBrowserView::moveRight()
{
    const int next = m_model->activeColumnIndex() + 1;
    if (next >= m_model->columns().size())
        return;
    m_model->setActiveColumnIndex(next);
    const Column &column = m_model->columns().at(next);
    if (column.selection.isEmpty() && !column.items.isEmpty()) {
        const FilePath first = column.items.first().url;
        m_model->select(first, next, SelectMode::single);
        m_cursor = first;
    }
    focusActiveColumn();
}

CommandTarget ColumnBrowserView::commandTarget()
{
    // The filter and the finder belong to the list.
    return {m_actions, m_tab, m_model->selectedItems(m_model->activeColumnIndex()), m_model->deepestDirectory(),
            [this] { selectAllInActiveColumn(); }, {}, {}};
}

// From the first entry to the last: a range from there.
void ColumnBrowserView::selectAllInActiveColumn()
{
    const int active = m_model->activeColumnIndex();
    if (active < 0 || active >= m_model->columns().size() || m_model->columns().at(active).items.isEmpty())
        return;
    const QList<FileItem> &items = m_model->columns().at(active).items;
    m_model->select(items.first().url, active, SelectMode::single);
    m_model->select(items.last().url, active, SelectMode::range);
}
