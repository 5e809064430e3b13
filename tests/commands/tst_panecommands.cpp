// The pane's commands as actions over real files: which of them can run on which items (the
// item context menu offers just those), that their state follows the selection and the
// clipboard, and that a context menu's items are what its entries act on.

#include "answeringpresenter.h"
#include "appsettings.h"
#include "localization.h"
#include "paneactions.h"
#include "panecommands.h"
#include "panemodel.h"
#include "tabmodel.h"
#include "testdir.h"
#include "workspacemodel.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

using Command = ContextMenuEntry::Command;

class TestPaneCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new TestDir);
        m_dir->isolateHome();
        for (const char *name : {"a", "b", "Data.ZIP", "data.zip", "data.tar.gz"})
            m_dir->file(QString("left/") + name, name);
        m_settings = new AppSettings(m_dir->path("settings.conf"));
        m_settings->setLanguage(AppLanguage::english);
        m_workspace = new WorkspaceModel(false);
        tab()->navigate(m_dir->url("left"));
        QTRY_VERIFY(!tab()->isLoading());
        m_actions = new PaneActions(m_workspace, m_workspace->leftPane(), m_settings, &m_dialogs);
        QGuiApplication::clipboard()->clear(); // nothing to paste from the rows before
        m_commands = new PaneCommands(m_workspace, m_settings);
        m_selected.clear();
        m_commands->setTargetSource([this] {
            CommandTarget current = target({});
            current.items = m_selected;
            return current;
        });
    }

    void cleanup()
    {
        delete m_commands;
        delete m_actions;
        delete m_workspace;
        delete m_settings;
    }

    void contextMenu_data()
    {
        using L = QStringList;
        using Cs = QList<Command>;
        QTest::addColumn<L>("chosen");
        QTest::addColumn<bool>("clipboard");
        QTest::addColumn<Cs>("expected");
        const Cs head{Command::openWith, Command::divider, Command::copyPath, Command::divider, Command::copy, Command::cut,
                      Command::divider, Command::copyToOtherPane, Command::moveToOtherPane, Command::divider,
                      Command::duplicate, Command::bulkRename};
        const Cs single{Command::getInfo, Command::preview, Command::rename};
        const Cs tail{Command::moveToTrash, Command::divider, Command::compress};
        const Cs reveal{Command::revealInFileManager}, extract{Command::extract};
        QTest::newRow("empty space") << L{} << false << Cs{Command::newFolder, Command::newFile};
        QTest::newRow("empty space, something to paste")
            << L{} << true << Cs{Command::newFolder, Command::newFile, Command::divider, Command::paste};
        QTest::newRow("one item") << L{"a"} << false << head + single + tail + reveal;
        QTest::newRow("one item, something to paste") << L{"a"} << true
            << Cs{Command::openWith, Command::divider, Command::copyPath, Command::divider, Command::copy, Command::cut,
                  Command::paste} + head.mid(6) + single + tail + reveal;
        QTest::newRow("two items, even zips") << L{"Data.ZIP", "data.zip"} << false << head + tail + reveal;
        QTest::newRow("Data.ZIP") << L{"Data.ZIP"} << false << head + single + tail + extract + reveal;
        QTest::newRow("data.zip") << L{"data.zip"} << false << head + single + tail + extract + reveal;
        QTest::newRow("data.tar.gz") << L{"data.tar.gz"} << false << head + single + tail + reveal;
    }

    void contextMenu()
    {
        QFETCH(QStringList, chosen);
        QFETCH(bool, clipboard);
        QFETCH(QList<Command>, expected);
        if (clipboard)
            m_workspace->writeClipboard({m_dir->url("left/b")}, ClipboardOperation::copy);
        const CommandTarget menuTarget = target(chosen);
        const QList<ContextMenuEntry> menu = m_commands->contextMenu(menuTarget);
        QList<Command> commands;
        for (const ContextMenuEntry &entry : menu)
            commands << entry.command;
        QCOMPARE(commands, expected);
        // While the menu is open every entry it shows can run.
        m_commands->setMenuTarget(menuTarget);
        for (const ContextMenuEntry &entry : menu) {
            if (QAction *action = m_commands->action(entry.command))
                QVERIFY2(action->isEnabled(), qPrintable(action->text()));
        }
    }

    void stateFollowsTheSelectionAndTheClipboard()
    {
        const auto enabled = [this] {
            QStringList names;
            for (QAction *action : m_commands->actions()) {
                if (action->isEnabled())
                    names << action->objectName();
            }
            names.sort();
            return names;
        };
        const auto sorted = [](QStringList names) {
            names.sort();
            return names;
        };
        const QStringList always{"newTab", "newFolder", "newFile", "selectAll"};
        const QStringList many{"cut", "copy", "copyPath", "copyToOtherPane", "moveToOtherPane", "bulkRename", "duplicate",
                               "compress", "revealInFileManager", "moveToTrash", "deletePermanently"};
        const QStringList one{"getInfo", "preview", "rename", "extract"};
        m_commands->refresh();
        QCOMPARE(enabled(), sorted(always));
        m_selected = items({"a", "b"});
        m_commands->refresh();
        QCOMPARE(enabled(), sorted(always + many));
        m_selected = items({"data.zip"});
        m_commands->refresh();
        QCOMPARE(enabled(), sorted(always + many + one));
        // Copying the selection is something to paste; no refresh needed.
        QVERIFY(!m_commands->action(Command::paste)->isEnabled());
        m_commands->action(Command::copy)->trigger();
        QVERIFY(m_commands->action(Command::paste)->isEnabled());
        QCOMPARE(m_workspace->effectivePasteSource()->urls, QList<FilePath>{m_dir->url("left/data.zip")});
        // A pane's last tab stays.
        QVERIFY(!m_commands->action(Command::closeTab)->isEnabled());
        m_workspace->leftPane()->addTab(m_dir->url("left"), false);
        m_commands->refresh();
        QVERIFY(m_commands->action(Command::closeTab)->isEnabled());
        // Texts follow the language.
        QCOMPARE(m_commands->action(Command::selectAll)->text(), QStringLiteral("Select All"));
        m_settings->setLanguage(AppLanguage::japanese);
        QCOMPARE(m_commands->action(Command::selectAll)->text(), QStringLiteral("すべてを選択"));
    }

    // The selection is "a"; a menu opened on "b" duplicates "b" and, once closed, the keys act on
    // the selection again.
    void aMenuActsOnItsOwnItems()
    {
        m_settings->setConfirmBeforeTrash(false);
        m_selected = items({"a"});
        m_commands->refresh();
        m_commands->setMenuTarget(target({"b"}));
        m_commands->action(Command::duplicate)->trigger();
        m_commands->setMenuTarget(std::nullopt);
        m_commands->action(Command::moveToTrash)->trigger();
        QTRY_VERIFY(!m_actions->isBusy());
        QCOMPARE(m_dir->entries("left"), QStringList({"Data.ZIP", "b", "b copy", "data.tar.gz", "data.zip"}));
    }

private:
    TabModel *tab() const { return m_workspace->leftPane()->activeTab(); }
    QList<FileItem> items(const QStringList &names) const
    {
        QList<FilePath> urls;
        for (const QString &name : names)
            urls << m_dir->url("left/" + name);
        return m_actions->fileItems(urls);
    }
    CommandTarget target(const QStringList &names) const
    {
        return {m_actions, tab(), items(names), m_dir->url("left"), [] {}, {}, {}};
    }

    std::unique_ptr<TestDir> m_dir;
    AppSettings *m_settings = nullptr;
    WorkspaceModel *m_workspace = nullptr;
    AnsweringPresenter m_dialogs;
    PaneActions *m_actions = nullptr;
    PaneCommands *m_commands = nullptr;
    QList<FileItem> m_selected; // what the source says is chosen
};

QTEST_MAIN(TestPaneCommands)
#include "tst_panecommands.moc"
