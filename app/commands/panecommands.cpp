#include "panecommands.h"

#include "appsettings.h"
#include "bulkrename.h"
#include "filenames.h"
#include "itempaths.h"
#include "localization.h"
#include "paneactions.h"
#include "panemodel.h"
#include "tabmodel.h"
#include "workspacemodel.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

namespace {

using Command = PaneCommands::Command;
using K = QKeySequence;

struct Kind
{
    Command command;
    const char *name;                // the action's object name
    QString Localization::*text;
    QList<QKeySequence> keys;        // the first is the one menus show
    bool inPaneOnly = false;         // keys a list elsewhere in the window (the sidebar) uses
};

// Every command with its text and keys. Cut is not the platform's standard Cut: some desktops
// add Shift+Delete to that, and Shift+Delete deletes here.
const QList<Kind> &kinds()
{
    static const QList<Kind> all{
        {Command::newTab, "newTab", &Localization::newTab, {K(Qt::CTRL | Qt::Key_T)}},
        {Command::closeTab, "closeTab", &Localization::closeTab, {K(Qt::CTRL | Qt::Key_W)}},
        {Command::filter, "filter", &Localization::filterPlaceholder, {K(Qt::CTRL | Qt::Key_F)}},
        {Command::find, "find", &Localization::findFiles, {K(Qt::CTRL | Qt::Key_P)}},
        {Command::newFolder, "newFolder", &Localization::newFolderTitle, {K(Qt::CTRL | Qt::SHIFT | Qt::Key_N), K(Qt::Key_F7)}},
        {Command::newFile, "newFile", &Localization::newFileTitle, {}},
        {Command::cut, "cut", &Localization::cut, {K(Qt::CTRL | Qt::Key_X)}},
        {Command::copy, "copy", &Localization::copy, {K(Qt::CTRL | Qt::Key_C)}},
        {Command::paste, "paste", &Localization::paste, {K(Qt::CTRL | Qt::Key_V)}},
        {Command::selectAll, "selectAll", &Localization::selectAll, {K(Qt::CTRL | Qt::Key_A)}},
        {Command::copyPath, "copyPath", &Localization::copyPath, {K(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}},
        {Command::copyToOtherPane, "copyToOtherPane", &Localization::copyToOtherPane, {K(Qt::Key_F5)}},
        {Command::moveToOtherPane, "moveToOtherPane", &Localization::moveToOtherPane, {K(Qt::Key_F6)}},
        {Command::getInfo, "getInfo", &Localization::getInfo, {K(Qt::CTRL | Qt::Key_I)}},
        {Command::preview, "preview", &Localization::preview, {K(Qt::Key_Space), K(Qt::Key_F3)}, true},
        {Command::rename, "rename", &Localization::rename, {K(Qt::Key_F2)}, true},
        {Command::bulkRename, "bulkRename", &Localization::bulkRename, {}},
        {Command::duplicate, "duplicate", &Localization::duplicate, {K(Qt::CTRL | Qt::Key_D)}},
        {Command::compress, "compress", &Localization::compress, {}},
        {Command::extract, "extract", &Localization::extract, {}},
        {Command::revealInFileManager, "revealInFileManager", &Localization::revealInFileManager, {}},
        {Command::moveToTrash, "moveToTrash", &Localization::moveToTrash, {K(Qt::Key_Delete)}, true},
        {Command::deletePermanently, "deletePermanently", &Localization::deletePermanently, {K(Qt::SHIFT | Qt::Key_Delete)}, true},
    };
    return all;
}

// The item context menu, group by group: a command that can't run on the items is left out,
// and so is a divider with nothing to divide.
const QList<Command> itemMenu{Command::openWith, Command::divider, Command::copyPath, Command::divider, Command::copy,
                              Command::cut, Command::paste, Command::divider, Command::copyToOtherPane,
                              Command::moveToOtherPane, Command::divider, Command::duplicate, Command::bulkRename,
                              Command::getInfo, Command::preview, Command::rename, Command::moveToTrash,
                              Command::divider, Command::compress, Command::extract, Command::revealInFileManager};
const QList<Command> backgroundMenu{Command::newFolder, Command::newFile, Command::divider, Command::paste};

bool isZip(const FileItem &item)
{
    return FileNames::splitExtension(item.name).second.toLower() == QLatin1String("zip");
}

} // namespace

PaneCommands::PaneCommands(WorkspaceModel *workspace, AppSettings *settings, QObject *parent)
    : QObject(parent), m_workspace(workspace), m_settings(settings)
{
    for (const Kind &kind : kinds()) {
        auto *action = new QAction(this);
        action->setObjectName(QLatin1String(kind.name));
        action->setShortcuts(kind.keys);
        // Whichever view of the window has the keyboard; a text field keeps the keys it edits with.
        action->setShortcutContext(kind.inPaneOnly ? Qt::WidgetWithChildrenShortcut : Qt::WindowShortcut);
        // Some desktops' themes hide the keys in context menus; the item menu teaches them as the
        // menu bar does.
        action->setShortcutVisibleInContextMenu(true);
        connect(action, &QAction::triggered, this, [this, command = kind.command] { run(command, target()); });
        m_actions.insert(kind.command, action);
    }
    connect(workspace, &WorkspaceModel::activePaneIDChanged, this, &PaneCommands::refresh);
    connect(workspace, &WorkspaceModel::clipboardChanged, this, &PaneCommands::refreshPaste);
    // Files copied in another program can be pasted too.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &PaneCommands::refreshPaste);
    connect(settings, &AppSettings::languageChanged, this, &PaneCommands::retranslate);
    retranslate();
    refreshPaste();
}

QAction *PaneCommands::action(Command command) const
{
    return m_actions.value(command);
}

QList<QAction *> PaneCommands::actions() const
{
    QList<QAction *> all;
    for (const Kind &kind : kinds())
        all.append(m_actions.value(kind.command));
    return all;
}

void PaneCommands::setTargetSource(std::function<CommandTarget()> source)
{
    m_source = std::move(source);
    refresh();
}

void PaneCommands::setMenuTarget(const std::optional<CommandTarget> &target)
{
    m_menuTarget = target;
    refresh();
}

CommandTarget PaneCommands::target() const
{
    if (m_menuTarget)
        return *m_menuTarget;
    return m_source ? m_source() : CommandTarget();
}

void PaneCommands::refresh()
{
    const CommandTarget current = target();
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(applies(it.key(), current));
}

// Reading the system clipboard may wait for the program that owns it, so it is read when it
// changes, not on every change of the selection.
void PaneCommands::refreshPaste()
{
    m_canPaste = m_workspace->effectivePasteSource().has_value();
    m_actions.value(Command::paste)->setEnabled(applies(Command::paste, target()));
}

void PaneCommands::retranslate()
{
    const Localization &loc = Localization::forLanguage(m_settings->language());
    for (const Kind &kind : kinds())
        m_actions.value(kind.command)->setText(loc.*kind.text);
}

bool PaneCommands::applies(Command command, const CommandTarget &target) const
{
    if (!target.actions || !target.tab)
        return false;
    const qsizetype count = target.items.size();
    switch (command) {
    case Command::newTab:
    case Command::newFolder:
    case Command::newFile:
        return true;
    case Command::closeTab:
        return target.actions->pane()->tabs().size() > 1;
    case Command::filter:
        return bool(target.showFilter);
    case Command::find:
        return bool(target.find);
    case Command::paste:
        return m_canPaste;
    case Command::selectAll:
        return bool(target.selectAll);
    case Command::copyToOtherPane:
    case Command::moveToOtherPane:
        return count > 0 && target.actions->otherPane();
    case Command::getInfo:
    case Command::preview:
    case Command::rename:
        return count == 1;
    case Command::extract:
        return count == 1 && isZip(target.items.first());
    case Command::copyPath:
    case Command::copy:
    case Command::cut:
    case Command::duplicate:
    case Command::bulkRename:
    case Command::moveToTrash:
    case Command::deletePermanently:
    case Command::compress:
    case Command::revealInFileManager:
        return count > 0;
    default:
        return false; // dividers and the Open With submenu are no commands
    }
}

void PaneCommands::run(Command command, const CommandTarget &target)
{
    if (!applies(command, target))
        return;
    PaneActions *actions = target.actions;
    const QList<FileItem> &items = target.items;
    switch (command) {
    case Command::newTab: openTab(target); break;
    case Command::closeTab: actions->pane()->closeTab(target.tab->id()); break;
    case Command::filter: target.showFilter(); break;
    case Command::find: target.find(); break;
    case Command::newFolder: actions->requestNewFolder(); break;
    case Command::newFile: actions->requestNewFile(); break;
    case Command::paste: actions->paste(target.directory); break;
    case Command::selectAll: target.selectAll(); break;
    case Command::copyPath: actions->copyPaths(items); break;
    case Command::copy: m_workspace->writeClipboard(urlsOf(items), ClipboardOperation::copy); break;
    case Command::cut: m_workspace->writeClipboard(urlsOf(items), ClipboardOperation::move); break;
    case Command::copyToOtherPane: actions->copyToOtherPane(items); break;
    case Command::moveToOtherPane: actions->moveToOtherPane(items); break;
    case Command::duplicate: actions->duplicate(items, target.tab); break;
    case Command::bulkRename: actions->requestBulkRename(items); break;
    case Command::getInfo: actions->requestInfo(items.first()); break;
    case Command::preview: actions->requestPreview(items.first()); break;
    case Command::rename: actions->requestRename(items.first(), target.tab); break;
    case Command::moveToTrash: actions->requestTrash(items, target.tab); break; // asks first when the settings say so
    case Command::deletePermanently: actions->requestPermanentDelete(items, target.tab); break;
    case Command::compress: actions->compress(items, target.tab); break;
    case Command::extract: actions->extract(items.first(), target.tab); break;
    case Command::revealInFileManager: actions->revealInFileManager(items); break;
    default: break;
    }
}

// A tab on the same folder, shown the same way, beside the others of the pane.
void PaneCommands::openTab(const CommandTarget &target)
{
    PaneModel *pane = target.actions->pane();
    pane->addTab(target.tab->currentUrl(), target.tab->showHidden());
    m_workspace->setActivePaneID(pane->id());
}

QList<ContextMenuEntry> PaneCommands::contextMenu(const CommandTarget &target)
{
    refreshPaste();
    QList<ContextMenuEntry> menu;
    for (Command command : target.items.isEmpty() ? backgroundMenu : itemMenu) {
        if (command == Command::divider) {
            if (!menu.isEmpty() && !menu.last().isDivider())
                menu.append(ContextMenuEntry::divider());
        } else if (command == Command::openWith) {
            if (target.actions)
                menu.append(target.actions->openWithMenu(target.items));
        } else if (applies(command, target)) {
            ContextMenuEntry entry;
            entry.command = command;
            entry.text = m_actions.value(command)->text();
            menu.append(entry);
        }
    }
    if (!menu.isEmpty() && menu.last().isDivider())
        menu.removeLast();
    return menu;
}
