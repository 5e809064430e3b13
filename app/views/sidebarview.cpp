#include "sidebarview.h"

#include "appsettings.h"
#include "bookmarklistwidget.h"
#include "favoritesstore.h"
#include "localization.h"
#include "panemodel.h"
#include "sidebaritem.h"
#include "tabmodel.h"
#include "themeicons.h"
#include "urls.h"
#include "workspacemodel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int urlRole = Qt::UserRole;
constexpr int idRole = Qt::UserRole + 1;

QListWidget *plainList(QListWidget *list)
{
    list->setFrameShape(QFrame::NoFrame);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setAutoFillBackground(false);
    list->viewport()->setAutoFillBackground(false);
    list->setFocusPolicy(Qt::NoFocus);
    list->setIconSize(QSize(16, 16));
    list->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    list->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    return list;
}

QLabel *sectionHeader(QWidget *parent)
{
    auto *label = new QLabel(parent);
    QFont caption = label->font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    caption.setBold(true);
    label->setFont(caption);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

} // namespace

SidebarView::SidebarView(const ViewEnvironment &env, QWidget *parent)
    : QWidget(parent), m_env(env), m_placesHeader(sectionHeader(this)), m_places(plainList(new QListWidget(this))),
      m_bookmarksHeader(sectionHeader(this)), m_addBookmark(new QToolButton(this)),
      m_bookmarks(plainList(new BookmarkListWidget(this))), m_pin(new QToolButton(this))
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    m_places->setObjectName(QStringLiteral("places"));
    m_bookmarks->setObjectName(QStringLiteral("bookmarks"));
    m_bookmarks->setContextMenuPolicy(Qt::CustomContextMenu);
    m_addBookmark->setAutoRaise(true);
    m_addBookmark->setFocusPolicy(Qt::NoFocus);
    m_addBookmark->setIcon(ThemeIcons::icon(ThemeIcons::Symbol::add));
    m_pin->setAutoRaise(true);
    m_pin->setFocusPolicy(Qt::NoFocus);
    m_pin->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_pin->setObjectName(QStringLiteral("pinButton"));

    auto *bookmarksRow = new QHBoxLayout;
    bookmarksRow->setContentsMargins(0, 0, 0, 0);
    bookmarksRow->addWidget(m_bookmarksHeader);
    bookmarksRow->addStretch(1);
    bookmarksRow->addWidget(m_addBookmark);

    auto *lists = new QVBoxLayout;
    lists->setContentsMargins(8, 8, 8, 0);
    lists->setSpacing(4);
    lists->addWidget(m_placesHeader);
    lists->addWidget(m_places);
    lists->addSpacing(8);
    lists->addLayout(bookmarksRow);
    lists->addWidget(m_bookmarks);
    lists->addStretch(1);

    auto *bottom = new QHBoxLayout;
    bottom->setContentsMargins(12, 8, 12, 8);
    bottom->addWidget(m_pin);
    bottom->addStretch(1);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(lists, 1);
    column->addLayout(bottom);

    const auto open = [this](QListWidgetItem *item) { openFolder(item->data(urlRole).toUrl()); };
    connect(m_places, &QListWidget::itemClicked, this, open);
    connect(m_bookmarks, &QListWidget::itemClicked, this, open);
    connect(m_bookmarks, &QWidget::customContextMenuRequested, this, &SidebarView::showBookmarkMenu);
    connect(static_cast<BookmarkListWidget *>(m_bookmarks), &BookmarkListWidget::rowMoveRequested, this,
            [this](int from, int to) { m_env.favorites->move({from}, to); });
    connect(m_addBookmark, &QToolButton::clicked, this, [this] {
        m_env.favorites->add(m_env.workspace->activePane()->activeTab()->history().current());
    });
    connect(m_pin, &QToolButton::clicked, this, [this] { m_env.settings->setFloatOnTop(!m_env.settings->floatOnTop()); });
    connect(m_env.favorites, &FavoritesStore::itemsChanged, this, &SidebarView::fillBookmarks);
    connect(m_env.settings, &AppSettings::floatOnTopChanged, this, &SidebarView::updatePin);
    connect(m_env.settings, &AppSettings::languageChanged, this, &SidebarView::retranslate);
    connect(m_env.workspace, &WorkspaceModel::activePaneIDChanged, this, &SidebarView::followActiveTab);
    for (PaneModel *pane : m_env.workspace->panes())
        connect(pane, &PaneModel::activeTabIDChanged, this, &SidebarView::followActiveTab);
    retranslate();
    fillBookmarks();
    followActiveTab();
}

void SidebarView::followActiveTab()
{
    if (m_followed)
        disconnect(m_followed, nullptr, this, nullptr);
    m_followed = m_env.workspace->activePane()->activeTab();
    connect(m_followed, &TabModel::historyChanged, this, &SidebarView::highlightCurrentFolder);
    highlightCurrentFolder();
}

void SidebarView::highlightCurrentFolder()
{
    const QString current = Urls::path(m_env.workspace->activePane()->activeTab()->history().current());
    bool found = false;
    for (QListWidget *list : {m_places, m_bookmarks}) {
        QListWidgetItem *match = nullptr;
        for (int row = 0; row < list->count() && !found; ++row) {
            if (Urls::path(list->item(row)->data(urlRole).toUrl()) == current)
                match = list->item(row);
            found = match != nullptr;
        }
        list->setCurrentItem(match, match ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Clear);
        if (!match)
            list->clearSelection();
    }
}

void SidebarView::openFolder(const QUrl &url)
{
    if (url.isValid())
        m_env.workspace->activePane()->activeTab()->navigate(url);
}

void SidebarView::fillPlaces()
{
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    m_places->clear();
    for (const SidebarItem &place : SidebarItem::defaults()) {
        auto *item = new QListWidgetItem(ThemeIcons::placeIcon(place.systemImage), sidebarText(place.label, loc), m_places);
        item->setData(urlRole, place.url);
    }
    highlightCurrentFolder();
}

void SidebarView::fillBookmarks()
{
    m_bookmarks->clear();
    const QIcon star = ThemeIcons::icon(ThemeIcons::Symbol::bookmark);
    for (const Favorite &favorite : m_env.favorites->items()) {
        auto *item = new QListWidgetItem(star, favorite.name, m_bookmarks);
        item->setData(urlRole, Urls::fromPath(favorite.path));
        item->setData(idRole, favorite.id);
        item->setToolTip(favorite.path);
    }
    highlightCurrentFolder();
}

void SidebarView::removeBookmarkAt(int row)
{
    if (QListWidgetItem *item = m_bookmarks->item(row))
        m_env.favorites->remove(item->data(idRole).toUuid());
}

void SidebarView::showBookmarkMenu(const QPoint &pos)
{
    QListWidgetItem *item = m_bookmarks->itemAt(pos);
    if (!item)
        return;
    const int row = m_bookmarks->row(item);
    QMenu menu(this);
    menu.addAction(Localization::forLanguage(m_env.settings->language()).removeBookmark, this, [this, row] { removeBookmarkAt(row); });
    menu.exec(m_bookmarks->viewport()->mapToGlobal(pos));
}

void SidebarView::updatePin()
{
    const bool on = m_env.settings->floatOnTop();
    m_pin->setIcon(ThemeIcons::icon(on ? ThemeIcons::Symbol::pinned : ThemeIcons::Symbol::unpinned));
    m_pin->setForegroundRole(on ? QPalette::Highlight : QPalette::PlaceholderText);
    QPalette pinPalette = palette();
    pinPalette.setColor(QPalette::ButtonText, pinPalette.color(on ? QPalette::Highlight : QPalette::PlaceholderText));
    m_pin->setPalette(pinPalette);
    m_pin->setChecked(on);
}

void SidebarView::retranslate()
{
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    m_placesHeader->setText(loc.sidebarFavorites);
    m_bookmarksHeader->setText(loc.sidebarBookmarks);
    m_addBookmark->setToolTip(loc.addBookmark);
    m_pin->setText(loc.floatOnTop);
    fillPlaces();
    updatePin();
}
