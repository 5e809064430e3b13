#include "sidebarview.h"

#include "appsettings.h"
#include "bookmarklistwidget.h"
#include "favoritesstore.h"
#include "filenames.h"
#include "localization.h"
#include "panemodel.h"
#include "sidebaritem.h"
#include "tabmodel.h"
#include "themeicons.h"
#include "bytecount.h"
#include "volumerowdelegate.h"
#include "workspacemodel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>
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
      m_bookmarks(plainList(new BookmarkListWidget(this))), m_devicesHeader(sectionHeader(this)),
      m_devices(plainList(new QListWidget(this))), m_pin(new QToolButton(this))
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    m_places->setObjectName(QStringLiteral("places"));
    m_bookmarks->setObjectName(QStringLiteral("bookmarks"));
    m_bookmarks->setContextMenuPolicy(Qt::CustomContextMenu);
    m_devices->setObjectName(QStringLiteral("devices"));
    m_devices->setContextMenuPolicy(Qt::CustomContextMenu);
    m_devices->setItemDelegate(new VolumeRowDelegate(m_devices));
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
    lists->addWidget(m_devicesHeader);
    lists->addWidget(m_devices);
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

    const auto open = [this](QListWidgetItem *item) { openFolder(item->data(urlRole).value<FilePath>()); };
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
    connect(m_devices, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { activateDevice(item->data(idRole).toString()); });
    connect(m_devices, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (QListWidgetItem *item = m_devices->itemAt(pos)) {
            QMenu *menu = deviceMenu(m_devices->row(item), this);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(m_devices->viewport()->mapToGlobal(pos));
        }
    });
    m_devicesHeader->setVisible(m_env.devices);
    m_devices->setVisible(m_env.devices);
    if (m_env.devices) {
        connect(m_env.devices, &DevicesModel::volumesChanged, this, &SidebarView::fillDevices);
        connect(m_env.devices, &DevicesModel::mounted, this, &SidebarView::openFolder);
        connect(m_env.devices, &DevicesModel::failed, this, &SidebarView::showDeviceFailure);
    }
    connect(m_env.settings, &AppSettings::floatOnTopChanged, this, &SidebarView::updatePin);
    connect(m_env.settings, &AppSettings::languageChanged, this, &SidebarView::retranslate);
    connect(m_env.workspace, &WorkspaceModel::activePaneIDChanged, this, &SidebarView::followActiveTab);
    connect(m_env.workspace, &WorkspaceModel::sidebarItemsChanged, this, &SidebarView::fillPlaces);
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
    const FilePath current = m_env.workspace->activePane()->activeTab()->history().current();
    bool found = false;
    for (QListWidget *list : {m_places, m_devices, m_bookmarks}) {
        QListWidgetItem *match = nullptr;
        for (int row = 0; row < list->count() && !found; ++row) {
            if (list->item(row)->data(urlRole).value<FilePath>() == current)
                match = list->item(row);
            found = match != nullptr;
        }
        list->setCurrentItem(match, match ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Clear);
        if (!match)
            list->clearSelection();
    }
}

void SidebarView::openFolder(const FilePath &url)
{
    if (!url.isEmpty())
        m_env.workspace->activePane()->activeTab()->navigate(url);
}

void SidebarView::fillPlaces()
{
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    m_places->clear();
    for (const SidebarItem &place : m_env.workspace->sidebarItems()) {
        auto *item = new QListWidgetItem(ThemeIcons::placeIcon(place.systemImage), sidebarText(place.label, loc), m_places);
        item->setData(urlRole, QVariant::fromValue(place.url));
    }
    highlightCurrentFolder();
}

void SidebarView::fillBookmarks()
{
    m_bookmarks->clear();
    const QIcon star = ThemeIcons::icon(ThemeIcons::Symbol::bookmark);
    for (const Favorite &favorite : m_env.favorites->items()) {
        auto *item = new QListWidgetItem(star, favorite.name, m_bookmarks);
        item->setData(urlRole, QVariant::fromValue(FilePath::fromString(favorite.path)));
        item->setData(idRole, favorite.id);
        item->setToolTip(Qt::convertFromPlainText(FileNames::displayName(favorite.path)));
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

void SidebarView::fillDevices()
{
    if (!m_env.devices)
        return;
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    m_devices->clear();
    for (const DevicesModel::Volume &volume : m_env.devices->volumes()) {
        const ThemeIcons::Symbol symbol = volume.kind == MountTable::Kind::network     ? ThemeIcons::Symbol::networkDrive
                                          : volume.kind == MountTable::Kind::removable ? ThemeIcons::Symbol::removableDrive
                                                                                       : ThemeIcons::Symbol::internalDrive;
        auto *item = new QListWidgetItem(ThemeIcons::icon(symbol), DevicesModel::displayName(volume, loc), m_devices);
        item->setData(idRole, volume.id);
        if (volume.isMounted())
            item->setData(urlRole, QVariant::fromValue(volume.url()));
        if (volume.freeBytes)
            item->setData(VolumeRowDelegate::captionRole,
                          Localization::fill(loc.freeSpaceFormat, {ByteCount::text(*volume.freeBytes)}));
        else if (!volume.isMounted())
            item->setData(VolumeRowDelegate::captionRole, ByteCount::text(volume.size));
        item->setToolTip(volume.isMounted() ? Qt::convertFromPlainText(FileNames::displayName(FileNames::decode(volume.mountPoint)))
                                            : QString());
    }
    highlightCurrentFolder();
}

void SidebarView::activateDevice(const QString &id)
{
    const std::optional<DevicesModel::Volume> volume = m_env.devices->volume(id);
    if (!volume)
        return;
    if (volume->isMounted())
        openFolder(volume->url());
    else
        m_env.devices->mount(volume->id);
}

QMenu *SidebarView::deviceMenu(int row, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    const QList<DevicesModel::Volume> &volumes = m_env.devices->volumes();
    if (row < 0 || row >= volumes.size())
        return menu;
    const DevicesModel::Volume volume = volumes.at(row);
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    DevicesModel *devices = m_env.devices;
    // The list may be refilled while the menu is open: every entry names its volume, not its row.
    menu->addAction(loc.openItem, this, [this, id = volume.id] { activateDevice(id); });
    menu->addSeparator();
    menu->addAction(loc.mountVolume, devices, [devices, id = volume.id] { devices->mount(id); })->setEnabled(volume.canMount());
    menu->addAction(loc.unmountVolume, devices, [devices, id = volume.id] { devices->unmount(id); })->setEnabled(volume.canUnmount());
    menu->addAction(ThemeIcons::icon(ThemeIcons::Symbol::eject), loc.ejectVolume, devices,
                    [devices, id = volume.id] { devices->eject(id); })->setEnabled(volume.canEject());
    return menu;
}

void SidebarView::showDeviceFailure(const UDisksClient::Outcome &outcome, const DevicesModel::Volume &volume)
{
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    auto *box = new QMessageBox(QMessageBox::Warning, loc.errorTitle,
                                DevicesModel::failureMessage(outcome, DevicesModel::displayName(volume, loc), loc),
                                QMessageBox::Ok, window());
    box->setObjectName(QStringLiteral("deviceFailure"));
    box->setTextFormat(Qt::PlainText);
    box->button(QMessageBox::Ok)->setText(loc.ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
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
    m_devicesHeader->setText(loc.sidebarDevices);
    m_addBookmark->setToolTip(loc.addBookmark);
    m_pin->setText(loc.floatOnTop);
    fillPlaces();
    fillDevices();
    updatePin();
}
