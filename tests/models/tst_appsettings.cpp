// Preferences: stored values and their defaults, every assignment rewriting the whole set but
// what another window changed, observers hearing only changes, and two programs writing one file.

#include "appsettings.h"
#include "testdir.h"

#include <QGuiApplication>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace {

const char writerVariable[] = "TALLOWMERE_SETTINGS_WRITER";

// The child side of the two-writer test.
int writeRepeatedly(const QString &storePath, int seed)
{
    AppSettings settings(storePath);
    for (int round = 0; round < 60; ++round) {
        settings.setFontSize(10 + (round + seed) % 5);
        settings.setLanguage((round + seed) % 2 ? AppLanguage::japanese : AppLanguage::english);
    }
    return 0;
}

} // namespace

class TestAppSettings : public QObject
{
    Q_OBJECT

    QString storePath() const { return dir.path(QStringLiteral("settings.conf")); }
    TestDir dir;

private Q_SLOTS:
    void initTestCase()
    {
        dir.isolateHome();
        QCOMPARE(AppSettings::standardStorePath(), dir.path(".home/.config/Tallowmere/Tallowmere.conf"));
    }
    void init() { QFile::remove(storePath()); }

    void storedValueReadsAs_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored"); // invalid: nothing stored
        QTest::addColumn<QVariant>("expected");
        const auto lang = [](AppLanguage l) { return QVariant::fromValue(l); };
        QTest::newRow("no language") << "language" << QVariant() << lang(AppLanguage::system);
        QTest::newRow("language en") << "language" << QVariant("en") << lang(AppLanguage::english);
        QTest::newRow("language fr") << "language" << QVariant("fr") << lang(AppLanguage::system);
        QTest::newRow("language JA") << "language" << QVariant("JA") << lang(AppLanguage::system);
        QTest::newRow("no size") << "fontSize" << QVariant() << QVariant(13.0);
        QTest::newRow("size 16.5") << "fontSize" << QVariant(16.5) << QVariant(16.5);
        QTest::newRow("size 0") << "fontSize" << QVariant(0) << QVariant(13.0);
        QTest::newRow("no split") << "paneSplitFraction" << QVariant() << QVariant(0.5);
        QTest::newRow("split negative") << "paneSplitFraction" << QVariant(-1) << QVariant(0.5);
        QTest::newRow("split 0") << "paneSplitFraction" << QVariant(0) << QVariant(0.5);
        QTest::newRow("no confirm") << "confirmBeforeTrash" << QVariant() << QVariant(true);
        QTest::newRow("confirm false") << "confirmBeforeTrash" << QVariant(false) << QVariant(false);
    }
    void storedValueReadsAs()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(QVariant, expected);
        if (stored.isValid())
            QSettings(storePath(), QSettings::IniFormat).setValue(key, stored);
        const AppSettings settings(storePath());
        QCOMPARE(settings.property(key.toLatin1().constData()), expected);
        QCOMPARE(QFile::exists(storePath()), stored.isValid()); // reading writes nothing
    }

    void assignmentRewritesTheSetKeepsOtherWindowsAndNotifiesOnlyChanges()
    {
        QSettings(storePath(), QSettings::IniFormat).setValue(QStringLiteral("language"), QStringLiteral("fr"));
        AppSettings settings(storePath());
        AppSettings otherWindow(storePath());
        QSignalSpy spy(&settings, &AppSettings::floatOnTopChanged);
        settings.setFloatOnTop(false); // the value it already has
        QCOMPARE(spy.count(), 0);
        const QSettings written(storePath(), QSettings::IniFormat);
        QCOMPARE(written.allKeys().size(), 7); // all but the unset font name
        QCOMPARE(written.value(QStringLiteral("language")).toString(), QStringLiteral("system"));
        settings.setFloatOnTop(true);
        QCOMPARE(spy.count(), 1);
        otherWindow.setRightPaneHidden(true); // read before floatOnTop was set, and keeps it
        const AppSettings read(storePath());
        QVERIFY(read.floatOnTop() && read.rightPaneHidden());
    }

    void twoProgramsWritingLeaveReadableFile()
    {
        QProcess writers[2];
        for (int seed : {0, 1}) {
            qputenv(writerVariable, (storePath() + QLatin1Char('|') + QString::number(seed)).toUtf8());
            writers[seed].start(QCoreApplication::applicationFilePath(), {});
        }
        qunsetenv(writerVariable);
        for (QProcess &writer : writers)
            QVERIFY(writer.waitForFinished(120000) && writer.exitCode() == 0);
        const QSettings written(storePath(), QSettings::IniFormat);
        QCOMPARE(written.status(), QSettings::NoError);
        QCOMPARE(written.allKeys().size(), 7);
        const AppSettings settings(storePath());
        QVERIFY(settings.fontSize() >= 10 && settings.fontSize() <= 14);
        QVERIFY(settings.language() != AppLanguage::system);
    }
};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString writer = qEnvironmentVariable(writerVariable);
    if (!writer.isEmpty())
        return writeRepeatedly(writer.section(QLatin1Char('|'), 0, 0), writer.section(QLatin1Char('|'), 1).toInt());
    TestAppSettings test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_appsettings.moc"
