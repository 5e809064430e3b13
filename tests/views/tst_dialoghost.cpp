// The dialogs a pane shows for its commands, answered as a user would over real files: the name
// prompt, rename (a taken name keeps the prompt), the trash confirmation with its count, the
// collision prompt's three answers, each prompt answered by click and by key, the one error
// alert, and the information sheet.

#include "appsettings.h"
#include "appwindow.h"
#include "dialoghost.h"
#include "diskfacts.h"
#include "itemlists.h"
#include "iteminfomodel.h"
#include "localization.h"
#include "paneactions.h"
#include "undocoordinator.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestDialogHost : public QObject
{
    Q_OBJECT

    std::unique_ptr<TallowmereApp> m_app;
    TestDir m_dir;

    PaneView *pane() const { return paneOf(m_app.get(), 0); }
    PaneActions *actions() const { return pane()->actions(); }
    DialogHost *host() const { return pane()->dialogs(); }
    TabModel *tab() const { return pane()->pane()->activeTab(); }
    FileItem item(const QString &name) const
    {
        const FileItem *found = itemNamed(tab()->items(), name);
        return found ? *found : FileItem{};
    }
    // The window over home's a.txt, b.txt, c.txt and Documents/a.txt, in English.
    bool open()
    {
        m_app = openWindow();
        if (m_app)
            m_app->environment().settings->setLanguage(AppLanguage::english);
        return m_app && tab()->items().size() == 4;
    }

    const Localization &loc = Localization::english();
    static QString value(const InfoSheet &sheet, const QString &label)
    {
        for (const auto &[shownLabel, shownValue] : sheet.shownRows()) {
            if (shownLabel == label)
                return shownValue;
        }
        return QStringLiteral("<none>");
    }

private Q_SLOTS:
    void initTestCase()
    {
        prepareProgramIn(m_dir);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void init()
    {
        QSettings().clear();
        QDir(m_dir.path(QStringLiteral(".home"))).removeRecursively();
        m_dir.isolateHome();
        for (const char *name : {"a.txt", "b.txt", "c.txt"})
            m_dir.file(QStringLiteral(".home/") + QLatin1String(name), QByteArray("home ") + name);
        m_dir.file(QStringLiteral(".home/Documents/a.txt"), "documents a");
    }

    void cleanup() { m_app.reset(); }

    // The name prompt on its own: confirming needs a name that is not blank, Return confirms,
    // only spaces and tabs are trimmed, and Escape cancels.
    void namePromptKeys_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("confirmed"); // empty: nothing confirmed
        QTest::newRow("empty") << "" << int(Qt::Key_Return) << false << "";
        QTest::newRow("spaces and tabs") << " \t  " << int(Qt::Key_Return) << false << "";
        QTest::newRow("plain") << "notes" << int(Qt::Key_Return) << true << "notes";
        QTest::newRow("padded") << "  a b.txt\t" << int(Qt::Key_Return) << true << "a b.txt";
        QTest::newRow("line break kept") << " x\n " << int(Qt::Key_Return) << true << "x\n";
        QTest::newRow("Escape cancels") << "kept" << int(Qt::Key_Escape) << true << "";
    }
    void namePromptKeys()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, confirmed);
        NameDialog dialog;
        dialog.setTexts("New Folder", "Folder Name", "Cancel", "Create");
        QSignalSpy spy(&dialog, &NameDialog::confirmed);
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.field()->setFocus();
        dialog.setName(typed);
        QTEST(dialog.confirmButton()->isEnabled(), "enabled");
        QTest::keyClick(dialog.field(), Qt::Key(key));
        QCOMPARE(spy.count(), confirmed.isEmpty() ? 0 : 1);
        if (!confirmed.isEmpty())
            QCOMPARE(spy.first().first().toString(), confirmed);
        QCOMPARE(rejected.count(), key == Qt::Key_Escape ? 1 : 0);
        // Confirming leaves closing to the owner, which knows whether the work succeeded.
        QCOMPARE(dialog.isVisible(), key == Qt::Key_Return);
    }

    // The prompt opens on the name with the part before the extension selected. A taken name
    // shows the error and keeps the prompt; corrected, Return renames.
    void renameKeepsThePromptOverATakenNameAndConfirmsWithReturn()
    {
        QVERIFY(open());
        actions()->requestRename(item(QStringLiteral("a.txt")), tab());
        QTRY_VERIFY(host()->renameDialog() && host()->renameDialog()->isVisible());
        QCOMPARE(host()->renameDialog()->name(), QStringLiteral("a.txt"));
        QCOMPARE(host()->renameDialog()->field()->selectedText(), QStringLiteral("a"));
        host()->renameDialog()->setName(QStringLiteral("b.txt"));
        host()->renameDialog()->confirmButton()->click();
        QTRY_VERIFY(host()->errorAlert() && host()->errorAlert()->isVisible());
        QVERIFY(host()->renameDialog());
        QCOMPARE(m_dir.read(QStringLiteral(".home/b.txt")), QByteArray("home b.txt"));
        // A second failure while the alert is open is said in the same alert. The prompt can't
        // be confirmed again while its rename runs.
        host()->renameDialog()->confirmButton()->click();
        QVERIFY(!host()->renameDialog()->confirmButton()->isEnabled());
        QTRY_VERIFY(host()->renameDialog()->confirmButton()->isEnabled());
        QVERIFY(host()->errorAlert()->text().contains(QStringLiteral("“a.txt”")));
        QCOMPARE(pane()->findChildren<QMessageBox *>().size(), 1);
        host()->errorAlert()->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(!host()->errorAlert());
        host()->renameDialog()->setName(QStringLiteral(" renamed.txt\t"));
        QTest::keyClick(host()->renameDialog()->field(), Qt::Key_Return);
        QTRY_VERIFY(m_dir.exists(QStringLiteral(".home/renamed.txt")) && !host()->renameDialog());
        QVERIFY(!m_dir.exists(QStringLiteral(".home/a.txt")));
    }

    // Moving to the Trash and deleting for good ask the same way: confirmed, the items go;
    // cancelled, nothing happens.
    void confirmationsCountAndObey_data()
    {
        QTest::addColumn<bool>("permanent");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("confirm");
        const QString trash = QStringLiteral("Move 2 items to Trash?");
        const QString remove = QStringLiteral("2 items will be deleted immediately. This can't be undone.");
        QTest::addColumn<QString>("question");
        QTest::newRow("trash confirmed") << false << "confirm" << true << trash;
        QTest::newRow("trash cancelled") << false << "Cancel" << false << trash;
        QTest::newRow("trash: Return cancels") << false << "Return" << false << trash;
        QTest::newRow("trash: Escape cancels") << false << "Escape" << false << trash;
        QTest::newRow("trash: its letter confirms") << false << "t" << true << trash;
        QTest::newRow("delete confirmed") << true << "confirm" << true << remove;
        QTest::newRow("delete cancelled") << true << "Cancel" << false << remove;
        QTest::newRow("delete: Escape cancels") << true << "Escape" << false << remove;
    }
    void confirmationsCountAndObey()
    {
        QFETCH(bool, permanent);
        QFETCH(QString, answer);
        QFETCH(bool, confirm);
        QVERIFY(open());
        const QList<FileItem> items{item(QStringLiteral("a.txt")), item(QStringLiteral("b.txt"))};
        if (permanent)
            actions()->requestPermanentDelete(items, tab());
        else
            actions()->requestTrash(items, tab());
        const auto box = [this, permanent] { return permanent ? host()->deleteConfirmation() : host()->trashConfirmation(); };
        QTRY_VERIFY(box() && box()->isVisible());
        QTEST(permanent ? box()->informativeText() : box()->text(), "question");
        answerBox(box(), answer);
        QTRY_COMPARE(m_dir.exists(QStringLiteral(".home/a.txt")), !confirm);
        QTRY_COMPARE(m_dir.exists(QStringLiteral(".home/b.txt")), !confirm);
        QVERIFY(m_dir.exists(QStringLiteral(".home/c.txt")));
        QTRY_VERIFY(!box());
    }

    // The sheet renames through the command layer: one undo step puts every name back.
    void bulkRenameSheetAppliesAsOneUndoStep()
    {
        QVERIFY(open());
        actions()->requestBulkRename({item(QStringLiteral("a.txt")), item(QStringLiteral("b.txt"))});
        QTRY_VERIFY(host()->bulkRenameSheet() && host()->bulkRenameSheet()->isVisible());
        BulkRenameSheet *sheet = host()->bulkRenameSheet();
        QTest::keyClicks(sheet->findField(), QStringLiteral(".txt"));
        QTest::keyClicks(sheet->replaceField(), QStringLiteral(".md"));
        QTest::keyClick(sheet->replaceField(), Qt::Key_Return);
        QTRY_VERIFY(!host()->bulkRenameSheet());
        QTRY_VERIFY(m_dir.exists(QStringLiteral(".home/a.md")) && m_dir.exists(QStringLiteral(".home/b.md")));
        QTRY_VERIFY(item(QStringLiteral("a.md")).name == QStringLiteral("a.md"));
        QTRY_VERIFY(m_app->environment().workspace->undo()->canUndo());
        m_app->environment().workspace->undo()->undo();
        QTRY_VERIFY(m_dir.exists(QStringLiteral(".home/a.txt")) && m_dir.exists(QStringLiteral(".home/b.txt")));
        QVERIFY(!m_dir.exists(QStringLiteral(".home/a.md")));
    }

    // The sheet on its own: the rows of a file, a name without extension, a missing item, and the
    // item removed while the sheet is open.
    void infoSheetRows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("sizeText");
        QTest::addColumn<QString>("permissions");
        QTest::newRow("pdf") << "report.pdf" << 1234567 << 0644 << "PDF" << "1.2 MB" << "644";
        QTest::newRow("no extension, one byte") << "Makefile" << 1 << 0755 << "—" << "1 byte" << "755";
        QTest::newRow("hidden, no extension") << ".profile" << 0 << 0600 << "—" << "0 bytes" << "600";
        QTest::newRow("missing: the title alone") << "never-there" << -1 << 0 << "<none>" << "<none>" << "<none>";
    }
    void infoSheetRows()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(int, mode);
        TestDir dir;
        if (size >= 0) {
            dir.file(name, QByteArray(size, '%'));
            setMode(dir.path(name), mode);
        }
        InfoSheet sheet(dir.url(name));
        sheet.setTexts(loc);
        sheet.show();
        QTRY_VERIFY(sheet.model()->isExamined());
        QCOMPARE(sheet.title(), name);
        QCOMPARE(sheet.shownRows().value(0).first, size >= 0 ? loc.infoKind : QString());
        QTEST(value(sheet, loc.infoKind), "kind");
        QTEST(value(sheet, loc.infoSize), "sizeText");
        QTEST(value(sheet, loc.infoPermissions), "permissions");
        QCOMPARE(value(sheet, loc.infoModified).contains(QString::number(QDate::currentDate().year())), size >= 0);
        // Removed while shown, the item leaves the title alone.
        if (size >= 0) {
            QVERIFY(QFile::remove(dir.path(name)));
            QTRY_VERIFY(sheet.shownRows().isEmpty());
            QCOMPARE(sheet.title(), name);
        }
        QVERIFY(sheet.closeButton()->isVisible());
    }

    // Escape closes; a folder walk still running then ends and its size never arrives.
    void escapeClosesAndEndsTheWalk()
    {
        TestDir dir;
        for (int i = 0; i < 2000; ++i)
            dir.file(QStringLiteral("big/%1/%2").arg(i % 40).arg(i));
        InfoSheet sheet(dir.url(QStringLiteral("big")));
        sheet.setTexts(loc);
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        QSignalSpy closed(&sheet, &QDialog::finished);
        QTRY_VERIFY(sheet.model()->isExamined());
        QTest::keyClick(&sheet, Qt::Key_Escape);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!sheet.isVisible());
        QVERIFY(!sheet.model()->isWalking());
        QSignalSpy sized(sheet.model(), &ItemInfoModel::folderSizeChanged);
        QVERIFY(!sized.wait(300));
    }

    void collisionPromptAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QByteArray>("documentsA");
        QTest::addColumn<bool>("copyBeside");
        QTest::addColumn<bool>("japanese");
        QTest::newRow("replace") << QStringLiteral("replace") << QByteArray("home a.txt") << false << false;
        QTest::newRow("keep both") << QStringLiteral("keepBoth") << QByteArray("documents a") << true << false;
        QTest::newRow("skip") << QStringLiteral("skip") << QByteArray("documents a") << false << false;
        QTest::newRow("Return keeps both") << QStringLiteral("Return") << QByteArray("documents a") << true << false;
        QTest::newRow("Escape skips") << QStringLiteral("Escape") << QByteArray("documents a") << false << false;
        QTest::newRow("Japanese, keep both") << QStringLiteral("keepBoth") << QByteArray("documents a") << true << true;
        QTest::newRow("R replaces") << QStringLiteral("r") << QByteArray("home a.txt") << false << false;
        QTest::newRow("Japanese, S skips") << QStringLiteral("s") << QByteArray("documents a") << false << true;
    }
    void collisionPromptAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(QByteArray, documentsA);
        QFETCH(bool, copyBeside);
        QFETCH(bool, japanese);
        QVERIFY(open());
        if (japanese)
            m_app->environment().settings->setLanguage(AppLanguage::japanese);
        actions()->requestTransfer({item(QStringLiteral("a.txt")), item(QStringLiteral("c.txt"))},
                                   FilePath::fromString(m_dir.path(QStringLiteral(".home/Documents"))),
                                   PaneActions::TransferOperation::copy);
        QTRY_VERIFY(host()->collisionPrompt() && host()->collisionPrompt()->isVisible());
        if (!japanese)
            QCOMPARE(host()->collisionPrompt()->text(), QStringLiteral("An Item With the Same Name Already Exists"));
        // The title is read whole, on one line, in either language.
        const auto *title = host()->collisionPrompt()->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        QTRY_VERIFY2(!title->text().isEmpty() && title->width() >= title->fontMetrics().horizontalAdvance(title->text()),
                     qPrintable(title->text()));
        QVERIFY(!actions()->isBusy()); // nothing moves before the answer
        answerBox(host()->collisionPrompt(), answer);
        // The name that was free is transferred whatever the answer.
        QTRY_VERIFY(m_dir.exists(QStringLiteral(".home/Documents/c.txt")));
        QTRY_COMPARE(m_dir.read(QStringLiteral(".home/Documents/a.txt")), documentsA);
        QTRY_COMPARE(m_dir.exists(QStringLiteral(".home/Documents/a copy.txt")), copyBeside);
        QCOMPARE(m_dir.read(QStringLiteral(".home/a.txt")), QByteArray("home a.txt"));
    }
};

QTEST_MAIN(TestDialogHost)
#include "tst_dialoghost.moc"
