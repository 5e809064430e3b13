#include "filelistview.h"

#include "appsettings.h"
#include "bytecount.h"
#include "datetext.h"
#include "dragselection.h"
#include "errortext.h"
#include "filetablemodel.h"
#include "filetableview.h"
#include "fuzzyfindermodel.h"
#include "fuzzyfinderpalette.h"
#include "iconcache.h"
#include "listoverlay.h"
#include "localization.h"
#include "panemodel.h"
#include "paneactions.h"
#include "tabmodel.h"
#include "theme.h"
#include "themeicons.h"
#include "transferprogressrow.h"
#include "workspacemodel.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

FileListView::FileListView(const ViewEnvironment &env, PaneModel *pane, PaneActions *actions, QWidget *parent)
    : QWidget(parent), m_env(env), m_pane(pane), m_actions(actions),
      m_openFile([actions](const FilePath &url) { actions->openFile(url); }),
      m_model(new FileTableModel(this)), m_table(new FileTableView), m_filterBar(new QWidget),
      m_filterField(new QLineEdit), m_overlay(nullptr), m_dropHint(nullptr), m_progress(nullptr)
{
    buildLayout();
    connectEnvironment();
    retranslate();
    refreshFont();
}

FileListView::~FileListView() = default;

void FileListView::buildLayout()
{
    auto *glass = new QLabel;
    glass->setPixmap(ThemeIcons::icon(ThemeIcons::Symbol::filter).pixmap(16, 16));
    auto *clear = new QToolButton;
    clear->setIcon(ThemeIcons::icon(ThemeIcons::Symbol::close));
    clear->setAutoRaise(true);
    m_filterField->setFrame(false);
    m_filterField->setClearButtonEnabled(false);
    auto *filterRow = new QHBoxLayout(m_filterBar);
    filterRow->setContentsMargins(8, 4, 8, 4);
    filterRow->setSpacing(6);
    filterRow->addWidget(glass);
    filterRow->addWidget(m_filterField, 1);
    filterRow->addWidget(clear);
    m_filterBar->setAutoFillBackground(true);
    m_filterBar->hide();

    m_table->setModel(m_model);
    m_overlay = new ListOverlay(m_table->viewport());
    m_dropHint = new QLabel(m_table->viewport());
    m_dropHint->setObjectName(QStringLiteral("dropHint"));
    m_dropHint->setTextFormat(Qt::PlainText);
    m_dropHint->setAutoFillBackground(true);
    // Not the roles of the rows it floats over, which it would take from the viewport.
    m_dropHint->setBackgroundRole(QPalette::Window);
    m_dropHint->setForegroundRole(QPalette::WindowText);
    m_dropHint->setContentsMargins(10, 4, 10, 4);
    m_dropHint->hide();
    m_progress = new TransferProgressRow(m_actions, m_env.settings);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_filterBar);
    layout->addWidget(m_table, 1);
    auto *progressBox = new QHBoxLayout;
    progressBox->setContentsMargins(8, 8, 8, 8);
    progressBox->addWidget(m_progress);
    layout->addLayout(progressBox);

    m_table->setKeyHandler([this](const QKeyEvent *event) { return keyCommand(event); });
    connect(m_table, &FileTableView::rowClicked, this, &FileListView::selectNameCell);
    connect(m_table, &FileTableView::rowDoubleClicked, this, &FileListView::openRow);
    connect(m_table, &FileTableView::backgroundClicked, this, &FileListView::activatePane);
    connect(m_table, &FileTableView::dragStarted, this, &FileListView::startDrag);
    connect(m_table, &FileTableView::urlsDropped, this, &FileListView::dropUrls);
    connect(m_table, &FileTableView::dropHovered, this, &FileListView::showDropHint);
    connect(m_table, &FileTableView::dropHoverEnded, m_dropHint, &QWidget::hide);
    connect(m_table, &QWidget::customContextMenuRequested, this, &FileListView::showContextMenu);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &FileListView::selectionEdited);
    connect(m_table->header(), &QHeaderView::sectionClicked, this, &FileListView::sortHeaderClicked);
    connect(clear, &QToolButton::clicked, this, &FileListView::closeFilter);
    connect(m_filterField, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (m_tab)
            m_tab->setFilterQuery(text);
    });
    connect(m_filterField, &QLineEdit::returnPressed, this, [this] { leaveFilter(true); });
    m_filterField->installEventFilter(this);
    m_table->viewport()->installEventFilter(this);
}

// The columns follow the list's width. Escape in the filter field closes the filter (the field
// itself would only clear its text); Down goes on to the list.
bool FileListView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_table->viewport() && event->type() == QEvent::Resize)
        sizeColumns();
    if (watched == m_filterField && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape)
            closeFilter();
        else if (key == Qt::Key_Down)
            leaveFilter(false);
        else
            return QWidget::eventFilter(watched, event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// The filter stays as typed and the keyboard goes to the list, on the selected entry or else the
// first one shown. Return also opens the entry when it is the only one selected.
void FileListView::leaveFilter(bool open)
{
    m_table->setFocus(Qt::OtherFocusReason);
    if (!m_tab)
        return;
    if (m_tab->selection().isEmpty() && m_model->rowCount() > 0) {
        m_tab->setSelection({m_model->item(0).url});
        m_table->setCurrentIndex(m_model->index(0, 0));
        return;
    }
    if (const std::optional<FileItem> item = previewItem(); item && open)
        openItem(*item);
}

void FileListView::connectEnvironment()
{
    connect(m_env.settings, &AppSettings::languageChanged, this, &FileListView::retranslate);
    connect(m_env.settings, &AppSettings::monospacedFontNameChanged, this, &FileListView::refreshFont);
    connect(m_env.settings, &AppSettings::fontSizeChanged, this, &FileListView::refreshFont);
    connect(m_env.workspace, &WorkspaceModel::clipboardChanged, this, &FileListView::refreshCut);
    connect(m_env.workspace, &WorkspaceModel::activePaneIDChanged, this, &FileListView::refreshFocus);
    m_model->setIconCache(m_env.icons);
    applyTheme();
}

void FileListView::applyTheme()
{
    const Theme theme = Theme::daziduvEdiv();
    setPalette(theme.palette());
    QPalette raised = theme.palette();
    raised.setColor(QPalette::Window, theme.secondaryBackground);
    m_filterBar->setPalette(raised);
    m_progress->setPalette(raised);
    QPalette hint = theme.palette();
    hint.setColor(QPalette::Window, theme.accent);
    hint.setColor(QPalette::WindowText, theme.background);
    m_dropHint->setPalette(hint);
    m_model->setColors(theme.foreground, theme.secondaryForeground);
}

// The name column takes what the size and date columns leave. Those two are as wide as their
// widest usual text in this locale and font where there is room for it (measuring every row
// would cost too much in a large folder) and never narrower than their titles.
void FileListView::sizeColumns()
{
    QHeaderView *header = m_table->header();
    const QFontMetrics metrics(m_env.settings->uiFont());
    // The cell's own margins, and a character's width between one column's text and the next.
    const int padding = metrics.averageCharWidth() + 2 * (m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    const QLocale locale;
    int sizeWidth = 0;
    for (qint64 bytes : {qint64(999), qint64(999'900'000'000)})
        sizeWidth = std::max(sizeWidth, metrics.horizontalAdvance(ByteCount::text(bytes, locale)));
    int dateWidth = 0;
    for (int month = 1; month <= 12; ++month) // month names differ in length; 22:59 is the widest hour
        dateWidth = std::max(dateWidth, metrics.horizontalAdvance(DateText::dateTime(QDateTime(QDate(2024, month, 28), QTime(22, 59)))));
    sizeWidth = std::max(sizeWidth + padding, header->sectionSizeHint(FileTableModel::SizeColumn));
    dateWidth = std::max(dateWidth + padding, header->sectionSizeHint(FileTableModel::ModifiedColumn));
    // In a narrow pane the names matter most: they keep at least a third of the width, and the
    // date gives way first (its text is elided), then the size. A pane of a small laptop's
    // screen still shows whole dates.
    const int room = m_table->viewport()->width() * 2 / 3;
    if (room > 0 && sizeWidth + dateWidth > room) {
        dateWidth = std::max(room - sizeWidth, metrics.horizontalAdvance(QStringLiteral("0000")) + padding);
        sizeWidth = std::min(sizeWidth, std::max(room - dateWidth, padding));
    }
    header->setSectionResizeMode(FileTableModel::NameColumn, QHeaderView::Stretch);
    header->resizeSection(FileTableModel::SizeColumn, sizeWidth);
    header->resizeSection(FileTableModel::ModifiedColumn, dateWidth);
}

void FileListView::setTab(TabModel *tab)
{
    if (tab == m_tab)
        return;
    if (m_tab)
        disconnect(m_tab, nullptr, this, nullptr);
    m_tab = tab;
    m_anchor.reset();
    m_pendingReveal.reset();
    closeFuzzyFinder();
    if (m_tab)
        connectTab();
    refreshRows();
    refreshFilterBar();
    Q_EMIT commandTargetChanged();
}

void FileListView::connectTab()
{
    connect(m_tab, &TabModel::visibleItemsChanged, this, [this] { refreshRows(); });
    connect(m_tab, &TabModel::sortOrderChanged, this, [this] { refreshSortIndicator(); });
    connect(m_tab, &TabModel::filterQueryChanged, this, [this] { refreshFilterBar(); });
    // A selected entry may come or go with a new listing (a renamed file once it is listed).
    connect(m_tab, &TabModel::itemsChanged, this, [this] {
        refreshOverlay();
        Q_EMIT commandTargetChanged();
    });
    connect(m_tab, &TabModel::selectionChanged, this, [this] {
        refreshSelection();
        Q_EMIT commandTargetChanged();
    });
    connect(m_tab, &TabModel::filterActiveChanged, this, [this] { refreshFilterBar(); });
    connect(m_tab, &TabModel::loadErrorChanged, this, [this] { refreshOverlay(); });
    connect(m_tab, &TabModel::isLoadingChanged, this, [this] {
        refreshOverlay();
        applyPendingReveal();
    });
}

const Localization &FileListView::loc() const
{
    return Localization::forLanguage(m_env.settings->language());
}

void FileListView::retranslate()
{
    const Localization &texts = loc();
    m_model->setHeaderTitles(texts.columnName, texts.columnSize, texts.columnModified);
    sizeColumns();
    m_filterField->setPlaceholderText(texts.filterPlaceholder);
    refreshOverlay();
    if (m_palette)
        m_palette->setTexts(texts);
}

void FileListView::refreshFont()
{
    m_model->setFont(m_env.settings->uiFont());
    m_filterField->setFont(m_env.settings->uiFont());
    sizeColumns();
}

// The rows follow the tab's visible items (sorted and filtered there); the selection is put back
// on the new rows, so a reload or a new sort keeps what was selected.
void FileListView::refreshRows()
{
    if (m_tab)
        m_model->setItems(m_tab->visibleItems(), m_tab->listing()->detailsPending());
    else
        m_model->setItems({});
    refreshCut();
    refreshSortIndicator();
    refreshSelection();
    refreshOverlay();
    applyPendingReveal();
}

void FileListView::refreshSelection()
{
    if (!m_tab || m_syncingSelection)
        return;
    m_syncingSelection = true;
    m_table->showSelection(m_tab->selection());
    m_syncingSelection = false;
}

// The table changed its selection itself (arrow keys, type-ahead): the tab learns of it.
void FileListView::selectionEdited()
{
    if (!m_tab || m_syncingSelection)
        return;
    QSet<FilePath> selection;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        selection.insert(m_model->item(index.row()).url);
    m_syncingSelection = true;
    m_tab->setSelection(selection);
    m_syncingSelection = false;
}

void FileListView::refreshSortIndicator()
{
    if (!m_tab || m_tab->sortOrder().isEmpty())
        return;
    const SortKey key = m_tab->sortOrder().constFirst();
    const int column = key.property == SortProperty::size               ? FileTableModel::SizeColumn
                       : key.property == SortProperty::modificationDate ? FileTableModel::ModifiedColumn
                                                                        : FileTableModel::NameColumn;
    m_table->header()->setSortIndicator(column, key.direction == SortDirection::forward ? Qt::AscendingOrder
                                                                                         : Qt::DescendingOrder);
}

// A click on the column that sorts reverses it; a click on another column sorts by it first.
void FileListView::sortHeaderClicked(int section)
{
    if (!m_tab)
        return;
    const SortProperty property = section == FileTableModel::SizeColumn       ? SortProperty::size
                                  : section == FileTableModel::ModifiedColumn ? SortProperty::modificationDate
                                                                              : SortProperty::name;
    QList<SortKey> order = m_tab->sortOrder();
    const bool same = !order.isEmpty() && order.constFirst().property == property;
    const bool forward = !same || order.constFirst().direction == SortDirection::reverse;
    const SortKey key{property, forward ? SortDirection::forward : SortDirection::reverse};
    order.removeIf([property](const SortKey &k) { return k.property == property; });
    order.prepend(key);
    m_tab->setSortOrder(order);
}

void FileListView::refreshFilterBar()
{
    const bool active = m_tab && m_tab->filterActive();
    if (m_tab && m_filterField->text() != m_tab->filterQuery())
        m_filterField->setText(m_tab->filterQuery());
    if (active == m_filterBar->isVisible())
        return;
    m_filterBar->setVisible(active);
    if (active)
        m_filterField->setFocus(Qt::ShortcutFocusReason);
    refreshOverlay();
}

void FileListView::closeFilter()
{
    if (m_tab) {
        m_tab->setFilterQuery(QString());
        m_tab->setFilterActive(false);
    }
    m_table->setFocus(Qt::OtherFocusReason);
}

void FileListView::refreshOverlay()
{
    if (!m_tab) {
        m_overlay->clear();
        return;
    }
    const Localization &texts = loc();
    if (m_tab->hasLoadError())
        m_overlay->showMessage(QStringLiteral("dialog-warning"), texts.cannotOpen, ErrorText::message(*m_tab->loadError(), texts));
    else if (m_tab->isLoading() && m_tab->items().isEmpty())
        m_overlay->showSpinner();
    else if (m_model->rowCount() > 0)
        m_overlay->clear();
    else if (m_tab->filterActive())
        m_overlay->showMessage(QStringLiteral("edit-find"), texts.noMatches);
    else
        m_overlay->showMessage(QStringLiteral("folder"), texts.emptyFolder);
}

void FileListView::refreshCut()
{
    QSet<FilePath> cut;
    const std::optional<FileClipboard> clipboard = m_env.workspace->clipboard();
    if (clipboard && clipboard->operation == ClipboardOperation::move) {
        for (const FilePath &url : clipboard->urls)
            cut.insert(url);
    }
    m_model->setCutUrls(cut);
}

void FileListView::refreshFocus()
{
    if (m_env.workspace->activePaneID() == m_pane->id() && isVisible() && !m_filterField->hasFocus())
        m_table->setFocus(Qt::OtherFocusReason);
}

void FileListView::activatePane()
{
    m_env.workspace->setActivePaneID(m_pane->id());
    m_table->setFocus(Qt::MouseFocusReason);
}

// Ctrl toggles and moves the anchor; Shift selects from the anchor to here, in the visible order,
// when the anchor is still listed; a plain click selects only this row.
void FileListView::selectNameCell(int row, Qt::KeyboardModifiers modifiers)
{
    activatePane();
    if (!m_tab || row < 0 || row >= m_model->rowCount())
        return;
    const FilePath url = m_model->item(row).url;
    QSet<FilePath> selection = m_tab->selection();
    if (modifiers & Qt::ControlModifier) {
        if (!selection.remove(url))
            selection.insert(url);
        m_anchor = url;
        m_tab->setSelection(selection);
        return;
    }
    const int anchorRow = (modifiers & Qt::ShiftModifier) && m_anchor ? m_model->rowOf(*m_anchor) : -1;
    if (anchorRow >= 0) {
        selection.clear();
        for (int r = qMin(anchorRow, row); r <= qMax(anchorRow, row); ++r)
            selection.insert(m_model->item(r).url);
        m_tab->setSelection(selection);
        return;
    }
    m_anchor = url;
    m_tab->setSelection({url});
}

void FileListView::openItem(const FileItem &item)
{
    activatePane();
    if (item.isDirectory)
        m_tab->navigate(item.url);
    else
        m_openFile(item.url);
}

void FileListView::openRow(int row)
{
    if (m_tab && row >= 0 && row < m_model->rowCount())
        openItem(m_model->item(row));
}

// The one selected entry that Return, Space and Ctrl+I act on; none for zero or several.
std::optional<FileItem> FileListView::previewItem() const
{
    if (!m_tab || m_tab->selection().size() != 1)
        return std::nullopt;
    const FilePath url = *m_tab->selection().cbegin();
    for (const FileItem &item : m_tab->items()) {
        if (item.url == url)
            return item;
    }
    return std::nullopt;
}

// The keys the list answers itself, as the command each one runs; none for a key it leaves to
// the table (arrows, type-ahead) and to the window's shortcuts (the pane's commands, Ctrl+Z,
// Ctrl+L, ...). The table claims exactly these before the window's shortcuts are looked at.
FileListView::KeyCommand FileListView::keyCommand(const QKeyEvent *event)
{
    if (!m_tab)
        return {};
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    // Ctrl keys belong to the window (new tab, find, float on top, copy path, ...).
    if (modifiers & Qt::ControlModifier)
        return {};
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return [this] {
            if (const std::optional<FileItem> item = previewItem())
                openItem(*item);
        };
    case Qt::Key_Backspace:
        return [this] { goUp(); };
    case Qt::Key_Up:
        return modifiers & Qt::AltModifier ? KeyCommand([this] { goUp(); }) : KeyCommand();
    default:
        return {};
    }
}

void FileListView::selectAll()
{
    QSet<FilePath> all;
    all.reserve(m_model->rowCount());
    for (const FileItem &item : m_model->items())
        all.insert(item.url);
    // The table selects its rows itself: matching 100,000 URLs back to rows costs as much again.
    m_syncingSelection = true;
    m_table->selectAll();
    m_tab->setSelection(all);
    m_syncingSelection = false;
}

void FileListView::goUp()
{
    m_tab->navigate(m_tab->currentUrl().parentDir());
}

// A drag of a selected row carries the whole selection in listing order, of any other row only
// that row. Other programs get every carried URL.
void FileListView::startDrag(int row)
{
    if (!m_tab || row < 0 || row >= m_model->rowCount())
        return;
    const FileItem &dragged = m_model->item(row);
    m_table->startFileDrag(m_env.workspace, dragged, DragSelection::resolve(dragged, m_tab->selection(), m_tab->items()));
}

// Ctrl held copies, otherwise the drop moves (Shift forces a move).
void FileListView::dropUrls(const QList<FilePath> &urls, int row, Qt::KeyboardModifiers modifiers)
{
    if (!m_tab || urls.isEmpty())
        return;
    if (row >= 0 && row < m_model->rowCount())
        m_actions->handleDropIntoFolder(urls, m_model->item(row), m_tab, modifiers);
    else
        m_actions->handleDrop(urls, m_tab->currentUrl(), modifiers);
}

// The key that runs the same command from the list, shown beside the menu's entry.
// At the foot of the list, over the rows: "Copy to “Documents”", "Move to “Photos”".
void FileListView::showDropHint(int row, Qt::DropAction action)
{
    if (!m_tab)
        return;
    const QString folder = row >= 0 && row < m_model->rowCount() ? m_model->item(row).name
                                                                  : m_tab->currentUrl().displayName();
    const Localization &texts = loc();
    m_dropHint->setText(Localization::fill(action == Qt::CopyAction ? texts.dropCopyFormat : texts.dropMoveFormat,
                                           {folder.isEmpty() ? QStringLiteral("/") : folder}));
    m_dropHint->setFont(m_env.settings->uiFont());
    m_dropHint->adjustSize();
    const QRect area = m_table->viewport()->rect();
    m_dropHint->move((area.width() - m_dropHint->width()) / 2, area.height() - m_dropHint->height() - 12);
    m_dropHint->show();
    m_dropHint->raise();
}

void FileListView::showContextMenu(const QPoint &pos)
{
    if (!m_tab)
        return;
    activatePane();
    const QModelIndex index = m_table->indexAt(pos);
    // On a selected row the menu is for the selection, on another row for that row alone.
    CommandTarget target = commandTarget();
    if (!index.isValid())
        target.items.clear();
    else if (!m_table->selectionModel()->isRowSelected(index.row(), {}))
        target.items = {m_model->item(index.row())};
    m_table->showMenu(m_env.commands, target, pos);
}

CommandTarget FileListView::commandTarget()
{
    if (!m_tab)
        return {};
    return {m_actions, m_tab, m_tab->selectedItems(), m_tab->currentUrl(), [this] { selectAll(); },
            [this] { openFilter(); }, [this] { openFuzzyFinder(); }};
}

void FileListView::openFilter()
{
    m_tab->setFilterActive(true);
    m_filterField->setFocus(Qt::ShortcutFocusReason);
}

void FileListView::openFuzzyFinder()
{
    if (!m_tab)
        return;
    closeFuzzyFinder();
    auto *model = new FuzzyFinderModel(m_tab->currentUrl(), m_tab->showHidden(),
                                       FuzzyFinderModel::defaultDebounce);
    m_palette = new FuzzyFinderPalette(model, loc(), this);
    model->setParent(m_palette);
    m_palette->setPalette(palette());
    m_palette->setNameFont(m_env.settings->uiFont());
    m_palette->setIconCache(m_env.icons);
    connect(m_palette, &FuzzyFinderPalette::chosen, this, [this](const FileItem &item) {
        closeFuzzyFinder();
        revealFromFuzzy(item);
    });
    connect(m_palette, &FuzzyFinderPalette::closed, this, &FileListView::closeFuzzyFinder);
    m_palette->show();
}

void FileListView::closeFuzzyFinder()
{
    if (!m_palette)
        return;
    FuzzyFinderPalette *palette = m_palette;
    m_palette = nullptr;
    palette->hide();
    palette->deleteLater();
}

// A folder is shown; a file's folder is shown with the file selected once the new listing is in
// (navigation clears the selection, so selecting earlier would be lost).
void FileListView::revealFromFuzzy(const FileItem &item)
{
    if (!m_tab)
        return;
    m_env.workspace->setActivePaneID(m_pane->id());
    if (item.isDirectory) {
        m_pendingReveal.reset();
        m_tab->navigate(item.url);
    } else {
        m_tab->navigate(item.url.parentDir());
        reveal(item.url);
    }
    m_table->setFocus(Qt::OtherFocusReason);
}

void FileListView::reveal(const FilePath &url)
{
    m_pendingReveal = url;
    applyPendingReveal();
}

void FileListView::applyPendingReveal()
{
    if (!m_pendingReveal || !m_tab || m_tab->isLoading())
        return;
    FilePath url = *m_pendingReveal;
    m_pendingReveal.reset();
    // A linked folder is listed at its resolved place, so its entries carry other paths than the
    // one asked for; the entry is the one of that name.
    if (url.parentDir() == m_tab->currentUrl()) {
        const QList<FileItem> &items = m_tab->items();
        const auto listed = std::find_if(items.cbegin(), items.cend(), [&](const FileItem &item) {
            return item.url.fileNameBytes() == url.fileNameBytes();
        });
        if (listed != items.cend())
            url = listed->url;
    }
    m_tab->setSelection({url});
    const int row = m_model->rowOf(url);
    if (row >= 0)
        m_table->scrollTo(m_model->index(row, 0));
}
