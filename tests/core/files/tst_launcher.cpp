// Handing items to other programs: what the started programs receive, and failures told.

#include "fakeprograms.h"
#include "filesystemservice.h"
#include "launcher.h"

#include <cerrno>

#include <QTest>
#include <QUrl>

// Receives ShowItems calls as a file manager on the bus would.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList shown;

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &) { shown = uris; }
};

class TestLauncher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_dir.isolateHome(); qputenv("TERMINAL", "fake-terminal"); }
    void init() { m_programs.forget("xdg-open"); }

    void startedProgramsGetThePathAsIs()
    {
        QObject context;
        bool failed = false;
        const auto onFailure = [&failed](const FileError &) { failed = true; };
        FileSystemService().open(FilePath::fromString(m_file), &context, onFailure);
        QTRY_COMPARE(m_programs.recorded("xdg-open").value(1), m_file);
        FileSystemService().openInTerminal(FilePath::fromString(m_folder), &context, onFailure);
        QTRY_COMPARE(m_programs.recorded("fake-terminal"), QStringList{m_folder});
        // A name that isn't UTF-8 arrives as its own bytes, not as replacement characters.
        const QByteArray raw = QFile::encodeName(m_dir.path()) + "/raw\xff";
        QCOMPARE(::mkdir(raw.constData(), 0755), 0);
        const FilePath rawUrl = FilePath::fromString(m_dir.path() + "/raw" + QChar(0xDCFF));
        FileSystemService().open(rawUrl, &context, onFailure);
        QTRY_COMPARE(m_dir.read("records/xdg-open").split('\n').value(1), raw);
        m_programs.forget("fake-terminal");
        FileSystemService().openInTerminal(rawUrl, &context, onFailure);
        QTRY_COMPARE(m_dir.read("records/fake-terminal").split('\n').value(0), raw);
        ::rmdir(raw.constData());
        QVERIFY(!failed);
    }

    void failuresAreTold_data()
    {
        QTest::addColumn<QString>("program"); // xdg-open opens the item, fake-terminal opens its folder
        QTest::addColumn<QByteArray>("script"); // the program's body; empty: not on PATH
        QTest::addColumn<bool>("gone");         // the item asked for isn't there
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no application for the item") << "xdg-open" << QByteArray("exit 3") << false
                                                     << int(FileError::OpenNoApplication) << "No application is set to open this kind of item";
        QTest::newRow("the item is gone") << "xdg-open" << QByteArray("exit 2") << false << ENOENT << "No such file or directory";
        QTest::newRow("the application failed") << "xdg-open" << QByteArray("exit 4") << false
                                                << int(FileError::OpenFailed) << "The application set to open it couldn't be started";
        QTest::newRow("xdg-open missing") << "xdg-open" << QByteArray() << false
                                          << int(FileError::OpenNoOpener) << "xdg-open, which opens items, isn't installed";
        // The pane's button says so rather than doing nothing.
        QTest::newRow("the terminal can't start in the folder") << "fake-terminal" << QByteArray("exit 0") << true
                                                                << int(FileError::OpenFailed) << "The application set to open it couldn't be started";
        QTest::newRow("no terminal to be found") << "fake-terminal" << QByteArray() << false
                                                 << int(FileError::OpenNoTerminal) << "No terminal program was found";
    }

    void failuresAreTold()
    {
        QFETCH(QString, program);
        QFETCH(QByteArray, script);
        QFETCH(bool, gone);
        QFETCH(int, code);
        QFETCH(QString, reason);
        TestDir bin;
        if (!script.isEmpty())
            bin.program(program, "#!/bin/sh\n" + script + "\n");
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path())); // the scripts need nothing from PATH
        QObject context;
        std::optional<FileError> failure;
        const auto onFailure = [&failure](const FileError &error) { failure = error; };
        const QString item = gone ? m_dir.path("gone") : program == "xdg-open" ? m_file : m_folder;
        if (program == "xdg-open")
            FileSystemService().open(FilePath::fromString(item), &context, onFailure);
        else
            FileSystemService().openInTerminal(FilePath::fromString(item), &context, onFailure);
        qputenv("PATH", path);
        QTRY_VERIFY(failure);
        QCOMPARE(failure->operation(), FileError::Operation::Open);
        QCOMPARE(failure->code(), code);
        QCOMPARE(failure->message(), "“" + QFileInfo(item).fileName() + "” couldn't be opened: " + reason);
    }

private:
    TestDir m_dir;
    const QString m_file = m_dir.file("a folder/ünï 日本 $HOME 'q'/file name.txt", "x");
    const QString m_folder = QFileInfo(m_file).path();
    FakePrograms m_programs{m_dir, {"xdg-open", "fake-terminal"}};
    PrivateBus m_bus;
};

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
