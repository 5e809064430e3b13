// Preferences: what each stored value reads as, that every assignment rewrites the whole set,
// that observers hear only real changes, the font fallback, and two programs writing one file.

#include "appsettings.h"
#include "testdir.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QMetaProperty>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace {

const char writerVariable[] = "TALLOWMERE_SETTINGS_WRITER";
constexpr int writerRounds = 60;

// The child side of the two-writer test: assigns settings over and over to the file it is given.
int writeRepeatedly(const QString &storePath, int seed)
{
    AppSettings settings(storePath);
    for (int round = 0; round < writerRounds; ++round) {
        settings.setFontSize(10 + (round + seed) % 5);
        settings.setLanguage((round + seed) % 2 ? AppLanguage::japanese : AppLanguage::english);
        settings.setPaneSplitFraction(0.25 + 0.25 * seed);
    }
    return 0;
}

void store(const QString &path, const QVariantMap &values)
{
    QSettings settings(path, QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
}

QVariant readProperty(const AppSettings &settings, const char *name)
{
    return settings.property(name);
}

} // namespace

class TestAppSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void freshStoreGivesDefaultsAndWritesNothing();
    void storedValueReadsAs_data();
    void storedValueReadsAs();
    void assignmentRewritesEveryKey();
    void observersHearOnlyChanges_data();
    void observersHearOnlyChanges();
    void unknownFontFallsBackButIsKept();
    void twoProgramsWritingLeaveReadableFile();

private:
    QString storePath() const { return dir.path(QStringLiteral("settings.conf")); }

    TestDir home;
    TestDir dir;
};

void TestAppSettings::initTestCase()
{
    home.isolateHome();
    QVERIFY(AppSettings::standardStorePath().startsWith(home.path()));
    QVERIFY(AppSettings::standardStorePath().endsWith(QStringLiteral("/Tallowmere/Tallowmere.conf")));
}

void TestAppSettings::init()
{
    QFile::remove(storePath());
}

void TestAppSettings::freshStoreGivesDefaultsAndWritesNothing()
{
    const AppSettings settings(storePath());
    QCOMPARE(settings.monospacedFontName(), QString());
    QCOMPARE(settings.fontSize(), 13.0);
    QCOMPARE(settings.language(), AppLanguage::system);
    QCOMPARE(settings.showHidden(), false);
    QCOMPARE(settings.confirmBeforeTrash(), true);
    QCOMPARE(settings.floatOnTop(), false);
    QCOMPARE(settings.paneSplitFraction(), 0.5);
    QCOMPARE(settings.rightPaneHidden(), false);
    QVERIFY(!QFile::exists(storePath()));
}

void TestAppSettings::storedValueReadsAs_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariant>("expected");

    const auto language = [](AppLanguage l) { return QVariant::fromValue(l); };
    QTest::newRow("language ja") << "language" << QVariant("ja") << language(AppLanguage::japanese);
    QTest::newRow("language en") << "language" << QVariant("en") << language(AppLanguage::english);
    QTest::newRow("language fr") << "language" << QVariant("fr") << language(AppLanguage::system);
    QTest::newRow("language JA") << "language" << QVariant("JA") << language(AppLanguage::system);
    QTest::newRow("size 16.5") << "fontSize" << QVariant(16.5) << QVariant(16.5);
    QTest::newRow("size 0") << "fontSize" << QVariant(0) << QVariant(13.0);
    QTest::newRow("size negative") << "fontSize" << QVariant(-4) << QVariant(13.0);
    QTest::newRow("size garbled") << "fontSize" << QVariant("big") << QVariant(13.0);
    QTest::newRow("split 0.3") << "paneSplitFraction" << QVariant(0.3) << QVariant(0.3);
    QTest::newRow("split 0") << "paneSplitFraction" << QVariant(0.0) << QVariant(0.5);
    QTest::newRow("confirm false") << "confirmBeforeTrash" << QVariant(false) << QVariant(false);
    QTest::newRow("hidden true") << "showHidden" << QVariant(true) << QVariant(true);
    QTest::newRow("float true") << "floatOnTop" << QVariant(true) << QVariant(true);
    QTest::newRow("right pane hidden") << "rightPaneHidden" << QVariant(true) << QVariant(true);
    QTest::newRow("font name") << "monospacedFontName" << QVariant("Gone Mono") << QVariant("Gone Mono");
}

void TestAppSettings::storedValueReadsAs()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(QVariant, expected);
    store(storePath(), {{key, stored}});

    const AppSettings settings(storePath());
    QCOMPARE(readProperty(settings, key.toLatin1().constData()), expected);
}

void TestAppSettings::assignmentRewritesEveryKey()
{
    store(storePath(), {{QStringLiteral("language"), QStringLiteral("fr")},
                        {QStringLiteral("monospacedFontName"), QStringLiteral("Gone Mono")}});
    AppSettings settings(storePath());

    settings.setShowHidden(false); // the value it already has
    {
        const QSettings written(storePath(), QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("language")).toString(), QStringLiteral("system"));
        QCOMPARE(written.value(QStringLiteral("confirmBeforeTrash")).toBool(), true);
        QCOMPARE(written.value(QStringLiteral("fontSize")).toDouble(), 13.0);
        QCOMPARE(written.allKeys().size(), 8);
    }

    settings.setMonospacedFontName(QString());
    const QSettings written(storePath(), QSettings::IniFormat);
    QVERIFY(!written.contains(QStringLiteral("monospacedFontName")));
    QCOMPARE(written.allKeys().size(), 7);
    QCOMPARE(AppSettings(storePath()).confirmBeforeTrash(), true);
}

void TestAppSettings::observersHearOnlyChanges_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("current");
    QTest::addColumn<QVariant>("changed");

    QTest::newRow("font name") << "monospacedFontName" << QVariant(QString()) << QVariant("Some Mono");
    QTest::newRow("font size") << "fontSize" << QVariant(13.0) << QVariant(15.0);
    QTest::newRow("language") << "language" << QVariant::fromValue(AppLanguage::system)
                              << QVariant::fromValue(AppLanguage::japanese);
    QTest::newRow("hidden") << "showHidden" << QVariant(false) << QVariant(true);
    QTest::newRow("confirm") << "confirmBeforeTrash" << QVariant(true) << QVariant(false);
    QTest::newRow("float") << "floatOnTop" << QVariant(false) << QVariant(true);
    QTest::newRow("split") << "paneSplitFraction" << QVariant(0.5) << QVariant(0.7);
    QTest::newRow("right pane") << "rightPaneHidden" << QVariant(false) << QVariant(true);
}

void TestAppSettings::observersHearOnlyChanges()
{
    QFETCH(QString, property);
    QFETCH(QVariant, current);
    QFETCH(QVariant, changed);

    AppSettings settings(storePath());
    const QMetaObject *meta = settings.metaObject();
    const QMetaProperty prop = meta->property(meta->indexOfProperty(property.toLatin1().constData()));
    QSignalSpy spy(&settings, prop.notifySignal());

    QVERIFY(prop.write(&settings, current));
    QCOMPARE(spy.count(), 0);
    QVERIFY(QFile::exists(storePath()));

    QVERIFY(prop.write(&settings, changed));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(settings.property(prop.name()), changed);
    QCOMPARE(AppSettings(storePath()).property(prop.name()), changed);
}

void TestAppSettings::unknownFontFallsBackButIsKept()
{
    AppSettings settings(storePath());
    settings.setFontSize(17);
    QSignalSpy fontSpy(&settings, &AppSettings::uiFontChanged);
    settings.setMonospacedFontName(QStringLiteral("Removed Long Ago Mono"));
    QCOMPARE(fontSpy.count(), 1);

    QCOMPARE(settings.effectiveFontName(), QString());
    const QFont fallback = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QCOMPARE(settings.uiFont().family(), fallback.family());
    QCOMPARE(settings.uiFont().pointSizeF(), 17.0);
    QCOMPARE(AppSettings(storePath()).monospacedFontName(), QStringLiteral("Removed Long Ago Mono"));

    const QStringList families = QFontDatabase::families();
    if (families.isEmpty())
        QSKIP("no fonts installed");
    settings.setMonospacedFontName(families.constFirst());
    QCOMPARE(settings.effectiveFontName(), families.constFirst());
    QCOMPARE(settings.uiFont().family(), families.constFirst());
}

void TestAppSettings::twoProgramsWritingLeaveReadableFile()
{
    QList<QProcess *> writers;
    for (int seed : {0, 1}) {
        auto *writer = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(writerVariable), storePath() + QLatin1Char('|') + QString::number(seed));
        writer->setProcessEnvironment(env);
        writer->start(QCoreApplication::applicationFilePath(), {});
        writers << writer;
    }
    for (QProcess *writer : writers) {
        QVERIFY(writer->waitForFinished(120000));
        QCOMPARE(writer->exitCode(), 0);
    }

    QSettings written(storePath(), QSettings::IniFormat);
    QCOMPARE(written.status(), QSettings::NoError);
    QCOMPARE(written.allKeys().size(), 7);
    const AppSettings settings(storePath());
    QVERIFY(settings.fontSize() >= 10 && settings.fontSize() <= 14);
    QVERIFY(settings.language() != AppLanguage::system);
    QVERIFY(settings.paneSplitFraction() == 0.25 || settings.paneSplitFraction() == 0.5);
}

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
