// Handing items to other programs: which terminal is chosen, and what the started programs
// receive. Fake programs on PATH record their arguments and working folder.

#include "filesystemservice.h"
#include "launcher.h"
#include "testdir.h"

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>

namespace {

// Writes an executable shell script that records its working folder and arguments, one a line,
// into $RECORD_DIR/<name>; written under a temporary name first so a reader never sees half.
void makeRecorder(const TestDir &dir, const QString &name)
{
    const QString path = dir.file("bin/" + name,
                                  "#!/bin/sh\n"
                                  "out=\"$RECORD_DIR/" + name.toUtf8() + "\"\n"
                                  "{ pwd -P; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$out.part\"\n"
                                  "mv \"$out.part\" \"$out\"\n");
    ::chmod(QFile::encodeName(path).constData(), 0755);
}

QStringList recorded(const TestDir &dir, const QString &name)
{
    const QByteArray text = dir.read("records/" + name);
    return QString::fromUtf8(text).split('\n', Qt::SkipEmptyParts);
}

// Receives ShowItems calls as a file manager on the bus would.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList shown;
    QString startupId;
    int calls = 0;

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &id)
    {
        shown = uris;
        startupId = id;
        ++calls;
    }
};

} // namespace

class TestLauncher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void terminalChoice_data();
    void terminalChoice();
    void openPassesThePathAsIs();
    void terminalStartsInTheFolder();
    void revealWithoutABus();
    void revealThroughTheFileManager();
    void revealWhenNoFileManagerAnswers();

private:
    QUrl oddFolder() const { return m_dir.url("a folder/ünï 日本 $HOME 'q'"); }

    TestDir m_dir;
    QProcess m_bus;
    QString m_busAddress;
};

void TestLauncher::initTestCase()
{
    m_dir.isolateHome();
    m_dir.dir("records");
    m_dir.dir("a folder/ünï 日本 $HOME 'q'");
    m_dir.file("a folder/ünï 日本 $HOME 'q'/file name.txt", "x");
    for (const char *name : {"xdg-open", "fake-terminal"})
        makeRecorder(m_dir, name);
    // Only the fakes and the basic tools the scripts need are found.
    qputenv("PATH", QFile::encodeName(m_dir.path("bin")) + ":/usr/bin:/bin");
    qputenv("RECORD_DIR", QFile::encodeName(m_dir.path("records")));
    qputenv("TERMINAL", "fake-terminal");

    // A private session bus, so nothing reaches the desktop's real file manager.
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    if (daemon.isEmpty())
        return;
    m_bus.start(daemon, {"--session", "--nofork", "--print-address=1"});
    if (m_bus.waitForStarted() && m_bus.waitForReadyRead(10000))
        m_busAddress = QString::fromUtf8(m_bus.readLine()).trimmed();
}

void TestLauncher::cleanupTestCase()
{
    if (m_bus.state() != QProcess::NotRunning) {
        m_bus.kill();
        m_bus.waitForFinished();
    }
}

void TestLauncher::terminalChoice_data()
{
    QTest::addColumn<QString>("terminalVariable");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("expectedProgram"); // empty: none found
    QTest::addColumn<QStringList>("expectedArguments");

    const QStringList all{"x-terminal-emulator", "konsole", "gnome-terminal", "xfce4-terminal", "kitty", "alacritty", "xterm"};
    QTest::newRow("$TERMINAL first") << "mine" << (QStringList{"mine"} + all) << "mine" << QStringList{};
    QTest::newRow("$TERMINAL with its own options") << "mine --single \"two words\"" << QStringList{"mine"} << "mine"
                                                    << QStringList{"--single", "two words"};
    QTest::newRow("$TERMINAL not installed") << "missing" << all << "x-terminal-emulator" << QStringList{};
    QTest::newRow("alternatives link next") << "" << all << "x-terminal-emulator" << QStringList{};
    QTest::newRow("known emulators in order") << "" << QStringList{"xterm", "kitty", "gnome-terminal"}
                                              << "gnome-terminal" << QStringList{};
    QTest::newRow("nothing installed") << "" << QStringList{} << "" << QStringList{};
    QTest::newRow("not executable is not installed") << "" << QStringList{"-xterm"} << "" << QStringList{};
}

void TestLauncher::terminalChoice()
{
    QFETCH(QString, terminalVariable);
    QFETCH(QStringList, installed);
    QFETCH(QString, expectedProgram);
    QFETCH(QStringList, expectedArguments);
    TestDir bin;
    for (const QString &name : installed) {
        const bool executable = !name.startsWith('-');
        const QString path = bin.file(executable ? name : name.mid(1), "#!/bin/sh\n");
        ::chmod(QFile::encodeName(path).constData(), executable ? 0755 : 0644);
    }
    QProcessEnvironment environment;
    environment.insert("PATH", bin.path() + ":" + bin.path("nonexistent"));
    if (!terminalVariable.isEmpty())
        environment.insert("TERMINAL", terminalVariable);

    const std::optional<Launcher::Command> command = Launcher::terminalCommand(oddFolder(), environment);
    if (expectedProgram.isEmpty()) {
        QVERIFY(!command);
        return;
    }
    QVERIFY(command);
    QCOMPARE(command->program, bin.path(expectedProgram));
    QCOMPARE(command->arguments, expectedArguments);
    QCOMPARE(command->workingDirectory, oddFolder().toLocalFile());
}

void TestLauncher::openPassesThePathAsIs()
{
    FileSystemService().open(m_dir.url("a folder/ünï 日本 $HOME 'q'/file name.txt"));
    QTRY_COMPARE(recorded(m_dir, "xdg-open").size(), 2);
    QCOMPARE(recorded(m_dir, "xdg-open").last(), m_dir.path("a folder/ünï 日本 $HOME 'q'/file name.txt"));
    QFile::remove(m_dir.path("records/xdg-open"));
}

void TestLauncher::terminalStartsInTheFolder()
{
    FileSystemService().openInTerminal(oddFolder());
    QTRY_VERIFY(!recorded(m_dir, "fake-terminal").isEmpty());
    QCOMPARE(recorded(m_dir, "fake-terminal"), QStringList{oddFolder().toLocalFile()});
}

void TestLauncher::revealWithoutABus()
{
    const QDBusConnection none = QDBusConnection::connectToBus("unix:path=" + m_dir.path("no-bus"), "none");
    QVERIFY(!none.isConnected());
    Launcher::revealInFileManager({m_dir.url("a folder/ünï 日本 $HOME 'q'/file name.txt")}, none);
    QTRY_VERIFY(!recorded(m_dir, "xdg-open").isEmpty());
    QCOMPARE(recorded(m_dir, "xdg-open").last(), oddFolder().toLocalFile());
    QFile::remove(m_dir.path("records/xdg-open"));
}

void TestLauncher::revealThroughTheFileManager()
{
    if (m_busAddress.isEmpty())
        QSKIP("no dbus-daemon to run a private bus");
    QDBusConnection service = QDBusConnection::connectToBus(m_busAddress, "service");
    FakeFileManager fileManager;
    QVERIFY(service.registerObject("/org/freedesktop/FileManager1", &fileManager, QDBusConnection::ExportAllSlots));
    QVERIFY(service.registerService("org.freedesktop.FileManager1"));
    const QDBusConnection client = QDBusConnection::connectToBus(m_busAddress, "client");

    const QList<QUrl> items{m_dir.url("a folder/ünï 日本 $HOME 'q'/file name.txt"), oddFolder()};
    Launcher::revealInFileManager(items, client);
    QTRY_COMPARE(fileManager.calls, 1);
    QCOMPARE(fileManager.shown, (QStringList{QString::fromUtf8(items[0].toEncoded()), QString::fromUtf8(items[1].toEncoded())}));
    QCOMPARE(QUrl(fileManager.shown[0]).toLocalFile(), items[0].toLocalFile());
    QCOMPARE(fileManager.startupId, QString());
    service.unregisterService("org.freedesktop.FileManager1");
    QDBusConnection::disconnectFromBus("service");
}

void TestLauncher::revealWhenNoFileManagerAnswers()
{
    if (m_busAddress.isEmpty())
        QSKIP("no dbus-daemon to run a private bus");
    const QDBusConnection client = QDBusConnection::connectToBus(m_busAddress, "lonely");
    QVERIFY(client.isConnected());
    Launcher::revealInFileManager({m_dir.url("a folder/ünï 日本 $HOME 'q'/file name.txt")}, client);
    QTRY_VERIFY(!recorded(m_dir, "xdg-open").isEmpty());
    QCOMPARE(recorded(m_dir, "xdg-open").last(), oddFolder().toLocalFile());
    QFile::remove(m_dir.path("records/xdg-open"));
}

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
