// Bookmarks and fixed places: adding, removing and reordering surviving a new store, the stored
// JSON in both slash spellings, unreadable values kept aside, and the places that exist.

#include "appsettings.h"
#include "favoritesstore.h"
#include "sidebaritem.h"
#include "testdir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList namesOf(const QList<Favorite> &items)
{
    QStringList names;
    for (const Favorite &favorite : items)
        names << favorite.name;
    return names;
}

} // namespace

class TestFavoritesStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void addRemoveMoveSurviveANewStore();
    void move_data();
    void move();
    void addsEachPathOnce();
    void readsStoredJson_data();
    void readsStoredJson();
    void unreadableValueKeptAside();
    void sharesTheSettingsFile();
    void placesThatExistInOrder();

private:
    QString storePath() const { return home.path(QStringLiteral("store.conf")); }
    // A store with bookmarks A, B and C of folders that exist.
    void storeABC();

    TestDir home;
};

void TestFavoritesStore::initTestCase()
{
    home.isolateHome();
    for (const char *name : {"A", "B", "C", "D"})
        home.dir(QString::fromLatin1(name));
}

void TestFavoritesStore::init()
{
    QFile::remove(storePath());
}

void TestFavoritesStore::storeABC()
{
    FavoritesStore store(storePath());
    for (const char *name : {"A", "B", "C"})
        store.add(home.url(QString::fromLatin1(name)));
}

void TestFavoritesStore::addRemoveMoveSurviveANewStore()
{
    storeABC();
    FavoritesStore store(storePath());
    QCOMPARE(namesOf(store.items()), (QStringList{"A", "B", "C"}));
    QCOMPARE(store.items().at(1).path, home.path("B"));

    QSignalSpy spy(&store, &FavoritesStore::itemsChanged);
    store.remove(store.items().at(1).id);
    store.remove(QUuid::createUuid()); // no such bookmark: written again, no notification
    QCOMPARE(spy.count(), 1);
    store.add(home.url("D"));
    store.move({2}, 0);
    QCOMPARE(namesOf(FavoritesStore(storePath()).items()), (QStringList{"D", "A", "C"}));
    QCOMPARE(FavoritesStore(storePath()).items(), store.items());
}

void TestFavoritesStore::move_data()
{
    QTest::addColumn<QList<int>>("offsets");
    QTest::addColumn<int>("destination");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("last to front") << QList<int>{2} << 0 << QStringList{"C", "A", "B"};
    QTest::newRow("first to end") << QList<int>{0} << 3 << QStringList{"B", "C", "A"};
    QTest::newRow("onto itself") << QList<int>{1} << 1 << QStringList{"A", "B", "C"};
    QTest::newRow("two to end") << QList<int>{2, 0} << 3 << QStringList{"B", "A", "C"};
    QTest::newRow("two to middle") << QList<int>{0, 2} << 1 << QStringList{"A", "C", "B"};
    QTest::newRow("out of range ignored") << QList<int>{7, -1, 2} << 99 << QStringList{"A", "B", "C"};
}

void TestFavoritesStore::move()
{
    QFETCH(QList<int>, offsets);
    QFETCH(int, destination);
    QFETCH(QStringList, expected);
    storeABC();
    FavoritesStore store(storePath());
    store.move(offsets, destination);
    QCOMPARE(namesOf(store.items()), expected);
    QCOMPARE(namesOf(FavoritesStore(storePath()).items()), expected);
}

void TestFavoritesStore::addsEachPathOnce()
{
    const QString linked = home.link(home.path("A"), QStringLiteral("link-to-A"));
    FavoritesStore store(storePath());
    store.add(home.url("A"));
    store.add(QUrl::fromLocalFile(home.path("A") + QLatin1Char('/'))); // same path, trailing slash
    store.add(QUrl::fromLocalFile(linked));                             // same folder, other path
    store.add(QUrl::fromLocalFile(QStringLiteral("/")));
    QCOMPARE(namesOf(store.items()), (QStringList{"A", "link-to-A", "/"}));
    QCOMPARE(store.items().at(2).path, QStringLiteral("/"));
    store.remove(store.items().at(0).id);
    QCOMPARE(store.items().size(), 2);
    QFile::remove(linked);
}

void TestFavoritesStore::readsStoredJson_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QStringList>("paths");

    const QByteArray id = "\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\"";
    QTest::newRow("escaped slashes") << "[{" + id + ",\"name\":\"Work\",\"path\":\"\\/home\\/u\\/Work\"}]"
                                     << QStringList{"/home/u/Work"};
    QTest::newRow("plain slashes") << "[{\"path\":\"/srv/data\",\"name\":\"data\"," + id + "}]"
                                   << QStringList{"/srv/data"};
    QTest::newRow("lower-case id") << QByteArray("[{\"id\":\"e621e1f8-c36c-495a-93fc-0c247a3e6e5f\",\"name\":\"x\",\"path\":\"/x\"}]")
                                   << QStringList{"/x"};
    QTest::newRow("empty list") << QByteArray("[]") << QStringList();
}

void TestFavoritesStore::readsStoredJson()
{
    QFETCH(QByteArray, json);
    QFETCH(QStringList, paths);
    QSettings(storePath(), QSettings::IniFormat).setValue(FavoritesStore::key, json);
    FavoritesStore store(storePath());
    QStringList read;
    for (const Favorite &favorite : store.items())
        read << favorite.path;
    QCOMPARE(read, paths);

    // What we write reads back the same, with upper-case ids.
    store.add(home.url("A"));
    const QByteArray written = QSettings(storePath(), QSettings::IniFormat).value(FavoritesStore::key).toByteArray();
    const QJsonArray array = QJsonDocument::fromJson(written).array();
    QCOMPARE(array.size(), paths.size() + 1);
    const QString writtenId = array.last().toObject().value(QStringLiteral("id")).toString();
    QCOMPARE(writtenId, writtenId.toUpper());
    QCOMPARE(FavoritesStore(storePath()).items(), store.items());
}

void TestFavoritesStore::unreadableValueKeptAside()
{
    const QByteArray missingKey = "[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":\"Work\"}]";
    const QByteArray notJson = "[{\"id\": oops";
    for (const QByteArray &bad : {missingKey, notJson}) {
        QSettings(storePath(), QSettings::IniFormat).setValue(FavoritesStore::key, bad);
        FavoritesStore store(storePath());
        QVERIFY(store.items().isEmpty());
        QCOMPARE(QSettings(storePath(), QSettings::IniFormat).value(FavoritesStore::key).toByteArray(), bad);
        store.add(home.url("A"));
        store.add(home.url("B"));
    }

    const QSettings written(storePath(), QSettings::IniFormat);
    QCOMPARE(written.value(QStringLiteral("favorites.unreadable")).toByteArray(), missingKey);
    QCOMPARE(written.value(QStringLiteral("favorites.unreadable.1")).toByteArray(), notJson);
    QCOMPARE(namesOf(FavoritesStore(storePath()).items()), (QStringList{"A", "B"}));
}

void TestFavoritesStore::sharesTheSettingsFile()
{
    // Both live in the one settings file all run long; neither write may drop the other's keys.
    AppSettings settings(storePath());
    FavoritesStore store(storePath());
    store.add(home.url("A"));
    settings.setFontSize(16);
    store.add(home.url("B"));
    settings.setShowHidden(true);

    QCOMPARE(namesOf(FavoritesStore(storePath()).items()), (QStringList{"A", "B"}));
    const AppSettings reread(storePath());
    QCOMPARE(reread.fontSize(), 16.0);
    QCOMPARE(reread.showHidden(), true);
}

void TestFavoritesStore::placesThatExistInOrder()
{
    // The XDG folders under the isolated home: Desktop renamed as a Japanese desktop would have
    // it, Downloads missing.
    home.dir(QStringLiteral(".home/デスクトップ"));
    home.dir(QStringLiteral(".home/Documents"));
    home.file(QStringLiteral(".home/.config/user-dirs.dirs"),
              "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n");

    const QList<SidebarItem> places = SidebarItem::makeDefaults();
    QList<SidebarLabel> labels;
    QStringList paths;
    for (const SidebarItem &place : places) {
        labels << place.label;
        paths << place.url.toLocalFile();
    }
    const bool applications = QFileInfo(QStringLiteral("/usr/share/applications")).isDir();
    QList<SidebarLabel> expected{SidebarLabel::home, SidebarLabel::desktop, SidebarLabel::documents};
    QStringList expectedPaths{home.path(".home"), home.path(".home/デスクトップ"), home.path(".home/Documents")};
    if (applications) {
        expected << SidebarLabel::applications;
        expectedPaths << QStringLiteral("/usr/share/applications");
    }
    QCOMPARE(labels, expected);
    QCOMPARE(paths, expectedPaths);
    QVERIFY(places.at(0).id != places.at(1).id);
    QCOMPARE(sidebarText(SidebarLabel::desktop, Localization::japanese()), QStringLiteral("デスクトップ"));
}

QTEST_GUILESS_MAIN(TestFavoritesStore)
#include "tst_favoritesstore.moc"
