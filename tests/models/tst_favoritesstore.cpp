// Bookmarks: changes surviving a new store, two windows changing them in turn, both slash
// spellings, unreadable values kept aside.

#include "favoritesstore.h"
#include "testdir.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTest>

class TestFavoritesStore : public QObject
{
    Q_OBJECT

    TestDir home;
    QString storePath() const { return home.path(QStringLiteral("store.conf")); }
    static QStringList namesOf(const FavoritesStore &store)
    {
        QStringList names;
        for (const Favorite &favorite : store.items())
            names << favorite.name;
        return names;
    }

private Q_SLOTS:
    void initTestCase() { home.isolateHome(); }
    void init() { QFile::remove(storePath()); }

    void changesSurviveANewStore_data()
    {
        QTest::addColumn<QList<int>>("offsets");
        QTest::addColumn<int>("destination");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("last to front") << QList<int>{2} << 0 << QStringList{"C", "A", "B"};
        QTest::newRow("first to end") << QList<int>{0} << 3 << QStringList{"B", "C", "A"};
        QTest::newRow("two to middle") << QList<int>{2, 0} << 1 << QStringList{"A", "C", "B"};
        QTest::newRow("out of range ignored") << QList<int>{7, -1} << 99 << QStringList{"A", "B", "C"};
    }
    void changesSurviveANewStore()
    {
        QFETCH(QList<int>, offsets);
        QFETCH(int, destination);
        QFETCH(QStringList, expected);
        {
            FavoritesStore store(storePath());
            for (const char *name : {"A", "B", "C", "B"})
                store.add(FilePath::fromString(home.dir(QString::fromLatin1(name))));
            store.add(FilePath::fromString(QStringLiteral("/")));
            QCOMPARE(store.items().at(3).name, QStringLiteral("/"));
            QSignalSpy spy(&store, &FavoritesStore::itemsChanged);
            store.remove(store.items().at(3).id);
            store.remove(QUuid::createUuid());
            QCOMPARE(spy.count(), 1);
        }
        FavoritesStore store(storePath());
        QCOMPARE(namesOf(store), (QStringList{"A", "B", "C"}));
        store.move(offsets, destination);
        QCOMPARE(namesOf(FavoritesStore(storePath())), expected);
    }

    // Each change starts from what the other window wrote; a move of rows the other window has
    // changed since does nothing.
    void twoWindowsChangingThemInTurn()
    {
        FavoritesStore first(storePath()), second(storePath());
        first.add(FilePath::fromString(home.dir(QStringLiteral("A"))));
        second.add(FilePath::fromString(home.dir(QStringLiteral("B"))));
        QCOMPARE(namesOf(second), (QStringList{"A", "B"}));
        first.move({0}, 2);
        QCOMPARE(namesOf(first), (QStringList{"A", "B"}));
        first.move({0}, 2);
        second.remove(second.items().at(1).id); // B, by its id, though B is first by now
        QCOMPARE(namesOf(FavoritesStore(storePath())), QStringList{"A"});
    }

    void readsBothSlashSpellingsAndWritesUpperCaseIds()
    {
        // The nil UUID is a UUID like any other.
        const QByteArray stored = "[{\"id\":\"e621e1f8-c36c-495a-93fc-0c247a3e6e5f\",\"name\":\"W\","
                                  "\"path\":\"\\/home\\/u\\/W\"},{\"path\":\"/srv\",\"name\":\"srv\","
                                  "\"id\":\"00000000-0000-0000-0000-000000000000\"}]";
        QSettings(storePath(), QSettings::IniFormat).setValue(FavoritesStore::key, stored);
        FavoritesStore store(storePath());
        store.add(FilePath::fromString(QStringLiteral("/srv"))); // already there
        store.add(FilePath::fromString(QStringLiteral("/opt")));
        QCOMPARE(namesOf(store), (QStringList{"W", "srv", "opt"}));
        QCOMPARE(store.items().at(0).path, QStringLiteral("/home/u/W"));
        const QByteArray written = QSettings(storePath(), QSettings::IniFormat).value(FavoritesStore::key).toByteArray();
        QVERIFY(written.contains("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"));
        QVERIFY(written.contains("00000000-0000-0000-0000-000000000000"));
        QCOMPARE(FavoritesStore(storePath()).items(), store.items());
    }

    void unreadableValuesKeptAside()
    {
        const QByteArray missingPath = "[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":\"W\"}]";
        const QByteArray notJson = "[{\"id\": oops";
        for (const QByteArray &bad : {missingPath, notJson}) {
            QSettings(storePath(), QSettings::IniFormat).setValue(FavoritesStore::key, bad);
            FavoritesStore store(storePath());
            QVERIFY(store.items().isEmpty());
            store.add(home.url("A")); // replaces the stored value
        }
        const QSettings written(storePath(), QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("favorites.unreadable")).toByteArray(), missingPath);
        QCOMPARE(written.value(QStringLiteral("favorites.unreadable.1")).toByteArray(), notJson);
        QCOMPARE(namesOf(FavoritesStore(storePath())), QStringList{"A"});
    }
};

QTEST_GUILESS_MAIN(TestFavoritesStore)
#include "tst_favoritesstore.moc"
