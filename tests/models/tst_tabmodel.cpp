// A tab over real folders: loads and their order, errors and recovery, the watcher, the
// selection across reloads, and the kept sorted and filtered list.

#include "columnbrowsermodel.h"
#include "inotifyhub.h"
#include "itemlists.h"
#include "tabmodel.h"
#include "testdir.h"

#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

#include <sys/time.h>

using Keys = QList<SortKey>;
Q_DECLARE_METATYPE(Keys)

namespace {

constexpr std::chrono::milliseconds Debounce{50};

bool waitForLoad(TabModel &tab)
{
    return QTest::qWaitFor([&] { return tab.loadTask().isFinished() && !tab.isLoading(); }, 20000);
}

// Many entries make a listing slow enough to finish after a small folder's.
void fill(const TestDir &dir, const QString &folder, int count)
{
    for (int i = 0; i < count; ++i)
        dir.file(QStringLiteral("%1/f%2").arg(folder).arg(i));
}

} // namespace

class TestTabModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_home.isolateHome(); }

    void onlyTheLastNavigationIsShown_data()
    {
        QTest::addColumn<int>("firstSize");
        QTest::addColumn<int>("secondSize");
        QTest::newRow("first listing slower") << 10000 << 1;
        QTest::newRow("second listing slower") << 1 << 10000;
    }

    void onlyTheLastNavigationIsShown()
    {
        QFETCH(int, firstSize);
        QFETCH(int, secondSize);
        TestDir dir;
        fill(dir, "first", firstSize);
        fill(dir, "second", secondSize);
        TabModel tab(dir.url(), false);
        QVERIFY(waitForLoad(tab));
        QStringList seen; // the folder of every list the tab published
        connect(&tab, &TabModel::itemsChanged, this, [&] {
            if (!tab.items().isEmpty())
                seen << tab.items().first().url.parentDir().fileName();
        });
        tab.navigate(dir.url("first"));
        const QFuture<void> firstLoad = tab.loadTask();
        tab.navigate(dir.url("second"));
        QVERIFY(waitForLoad(tab));
        QTRY_VERIFY_WITH_TIMEOUT(firstLoad.isFinished(), 20000);
        seen.removeDuplicates(); // a large folder comes twice: in order first, then with its details
        QCOMPARE(seen, QStringList({"second"}));
        QCOMPARE(tab.items().size(), secondSize);
    }

    // A load overtaken after its first page, while it watches its folder, leaves no watch behind.
    void overtakenLoadLeavesNoWatch()
    {
        TestDir dir;
        fill(dir, "large", 10000);
        dir.dir("small");
        const int watches = InotifyHub::instance().watchCount();
        TabModel tab(dir.url("large"), false);
        bool overtaken = false;
        connect(&tab, &TabModel::itemsChanged, this, [&] {
            if (tab.listing()->detailsPending() && !std::exchange(overtaken, true))
                QMetaObject::invokeMethod(&tab, [&] { tab.navigate(dir.url("small")); }, Qt::QueuedConnection);
        });
        QTRY_VERIFY(overtaken);
        QVERIFY(waitForLoad(tab));
        QCOMPARE(tab.currentUrl(), dir.url("small"));
        QTRY_COMPARE(InotifyHub::instance().watchCount(), watches + 1);
    }

    void loadErrorsRecoveryAndTheWatcher()
    {
        TestDir dir;
        dir.file("shown/in/x");
        TabModel tab(dir.url("missing"), false, nullptr, Debounce);
        QVERIFY(waitForLoad(tab));
        QVERIFY(tab.hasLoadError() && tab.items().isEmpty());
        dir.file("missing/y");
        tab.reload();
        QVERIFY(waitForLoad(tab) && !tab.hasLoadError());
        QCOMPARE(namesOf(tab.items()), QStringList({"y"}));
        // Another program adds a file: the watcher reloads the tab after its debounce.
        const int reloads = tab.reloadCount();
        dir.file("missing/z");
        QTRY_COMPARE(namesOf(tab.items()), QStringList({"y", "z"}));
        QCOMPARE(tab.reloadCount(), reloads + 1);
        // A change the tab's own reload has read already brings no second reload from the watcher.
        dir.file("missing/w");
        tab.reload();
        QVERIFY(waitForLoad(tab));
        QTest::qWait(int(3 * Debounce.count()));
        QCOMPARE(tab.reloadCount(), reloads + 2);

        // The folder shown and the one above it deleted by another program: the error shows.
        tab.navigate(dir.url("shown/in"));
        QVERIFY(waitForLoad(tab));
        QVERIFY(QDir(dir.path("shown")).removeRecursively());
        QTRY_VERIFY(tab.hasLoadError() && tab.items().isEmpty());
        // Both made again by another program: it shows again by itself, and is watched again.
        // Views that hear of new entries read the visible ones at once: they must be the new ones.
        QStringList seen;
        connect(&tab, &TabModel::itemsChanged, this, [&] { seen = namesOf(tab.visibleItems()); });
        dir.file("shown/in/again");
        QTRY_VERIFY(!tab.hasLoadError() && seen == QStringList({"again"}));
        dir.file("shown/in/later");
        QTRY_COMPARE(seen, QStringList({"again", "later"}));
        tab.goBack();
        QVERIFY(waitForLoad(tab));
        QCOMPARE(tab.currentUrl(), dir.url("missing"));
        QCOMPARE(namesOf(tab.items()), QStringList({"w", "y", "z"}));
        QVERIFY(!tab.hasLoadError());
    }

    void reloadsKeepTheSelectionNavigationClearsIt()
    {
        TestDir dir;
        dir.file("a");
        dir.file("b");
        TabModel tab(dir.url(), false);
        QVERIFY(tab.isLoading());
        QCOMPARE(tab.reloadCount(), 1);
        QVERIFY(waitForLoad(tab));
        QCOMPARE(namesOf(tab.items()), QStringList({"a", "b"}));
        tab.setSelection({dir.url("a"), dir.url("b")});
        QSignalSpy items(&tab, &TabModel::itemsChanged), visible(&tab, &TabModel::visibleItemsChanged);
        tab.reload();
        QVERIFY(waitForLoad(tab));
        QCOMPARE(items.size() + visible.size(), 0);

        QFile::remove(dir.path("b"));
        tab.setShowHidden(false); // the same value still reloads
        QCOMPARE(tab.reloadCount(), 3);
        QVERIFY(waitForLoad(tab));
        QCOMPARE(items.size(), 1);
        QCOMPARE(tab.selection(), QSet<FilePath>({dir.url("a"), dir.url("b")}));
        QCOMPARE(namesOf(tab.selectedItems()), QStringList({"a"}));

        // Going to the folder already shown clears both the selection and the filter, and reloads.
        tab.setFilterQuery("zzz");
        tab.navigate(dir.url());
        QVERIFY(tab.selection().isEmpty() && tab.filterQuery().isEmpty());
        QCOMPARE(tab.reloadCount(), 4);
    }

    // A large folder shows its first entries, in order but without their details, before the
    // rest; what the user selects and types meanwhile still holds once everything is there.
    void largeFolderShowsItsFirstEntriesFirst()
    {
        TestDir dir;
        fill(dir, "big", 3000);
        dir.file("big/f1", "abc");
        TabModel tab(dir.url(), false);
        QVERIFY(waitForLoad(tab));
        using Published = std::pair<qsizetype, bool>; // the count shown, and whether details were pending
        QList<Published> published;
        QStringList firstNames;
        connect(&tab, &TabModel::itemsChanged, this, [&] {
            published.append({tab.listing()->entryCount(), tab.listing()->detailsPending()});
            if (published.size() == 1) {
                firstNames = namesOf(tab.items()).mid(0, 3);
                tab.setSelection({dir.url("big/f1"), dir.url("big/f2")});
                tab.setFilterQuery("f1");
            }
        });
        tab.navigate(dir.url("big"));
        QVERIFY(waitForLoad(tab));
        QCOMPARE(published.size(), 2);
        QCOMPARE(published.first(), Published(3000, true));
        QCOMPARE(firstNames, QStringList({"f0", "f1", "f2"}));
        QCOMPARE(published.last(), Published(3000, false));
        QCOMPARE(tab.selection(), QSet<FilePath>({dir.url("big/f1")}));
        QCOMPARE(tab.visibleItems().size(), 1111); // f1, f10..f19, f100..f199, f1000..f1999
        QCOMPARE(itemNamed(tab.items(), "f1")->size, 3);

        // A few selected entries, found by name, still come in listing order, also after a reload
        // that removed one; a reload shows no first page.
        tab.setFilterQuery(QString());
        tab.setSelection({dir.url("big/f2999"), dir.url("big/f10"), dir.url("big/f2")});
        QCOMPARE(namesOf(tab.selectedItems()), QStringList({"f2", "f10", "f2999"}));
        QFile::remove(dir.path("big/f10"));
        tab.reload();
        QVERIFY(waitForLoad(tab));
        QCOMPARE(published.mid(2), QList<Published>{Published(2999, false)});
        QCOMPARE(namesOf(tab.selectedItems()), QStringList({"f2", "f2999"}));
    }

    void visibleOrder_data()
    {
        QTest::addColumn<Keys>("keys");
        QTest::addColumn<QStringList>("expected");
        const SortKey name{SortProperty::name, SortDirection::forward};
        const SortKey nameDown{SortProperty::name, SortDirection::reverse};
        const SortKey size{SortProperty::size, SortDirection::forward};
        const SortKey sizeDown{SortProperty::size, SortDirection::reverse};
        const SortKey date{SortProperty::modificationDate, SortDirection::forward};
        // Files: file2 (3 bytes, oldest), File10 (1 byte), file1 (3 bytes, newest); folders dirB, dirA.
        QTest::newRow("name reversed") << Keys{nameDown} << QStringList{"dirB", "dirA", "File10", "file2", "file1"};
        QTest::newRow("size, ties in given order") << Keys{size} << QStringList{"dirA", "dirB", "File10", "file1", "file2"};
        QTest::newRow("size reversed, then name") << Keys{sizeDown, name} << QStringList{"dirA", "dirB", "file1", "file2", "File10"};
        QTest::newRow("date") << Keys{date} << QStringList{"dirA", "dirB", "file2", "File10", "file1"};
    }

    void visibleOrder()
    {
        QFETCH(Keys, keys);
        QFETCH(QStringList, expected);
        TestDir dir;
        for (const auto &[name, contents, secs] : {std::tuple("dirB", "", 500), {"dirA", "", 500},
                                                   {"file2", "abc", 1000}, {"File10", "a", 2000}, {"file1", "xyz", 3000}}) {
            const QString made = *contents ? dir.file(name, contents) : dir.dir(name);
            const timeval times[2] = {{secs, 0}, {secs, 0}};
            ::utimes(QFile::encodeName(made).constData(), times);
        }
        TabModel tab(dir.url(), false);
        tab.setSortOrder(keys); // while loading: the result must still come out in this order
        QVERIFY(waitForLoad(tab));
        QCOMPARE(namesOf(tab.visibleItems()), expected);
        tab.setSortOrder({SortKey{}}); // name order is the listing's
        QCOMPARE(tab.visibleItems(), tab.items());
    }

    void filter_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("blank") << " \t " << QStringList{"report.txt", "Résumé.pdf", "straße"}; // listing order
        QTest::newRow("capitals, trimmed") << "\tREP " << QStringList{"report.txt"};
        QTest::newRow("accents in the name") << "resume" << QStringList{"Résumé.pdf"};
        QTest::newRow("no match across two names") << "txtres" << QStringList{};
    }

    void filter()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, expected);
        TestDir dir;
        for (const char *name : {"report.txt", "Résumé.pdf", "straße"})
            dir.file(QString::fromUtf8(name));
        TabModel tab(dir.url(), false);
        tab.setFilterQuery(query); // typed while the folder loads: the listing must honour it
        QVERIFY(waitForLoad(tab));
        QCOMPARE(namesOf(tab.visibleItems()), expected);
        tab.setFilterQuery(QString());
        QSet<FilePath> all;
        for (const FileItem &item : tab.items())
            all.insert(item.url);
        tab.setSelection(all);
        QSignalSpy selection(&tab, &TabModel::selectionChanged);
        tab.setFilterQuery(query);
        QCOMPARE(namesOf(tab.visibleItems()), expected);
        // An entry the filter hides is no longer selected (said once), nor once the filter is cleared.
        QCOMPARE(namesOf(tab.selectedItems()), expected);
        QCOMPARE(selection.size(), expected.size() < all.size() ? 1 : 0);
        tab.setFilterQuery(QString());
        QCOMPARE(namesOf(tab.selectedItems()), expected);
    }

    // Another tab or a column on a folder a tab has listed holds the same entries, not a copy;
    // hidden entries are a listing of their own, and a listing nobody shows is let go.
    void oneFolderShownTwiceIsHeldOnce()
    {
        TestDir dir;
        for (const char *name : {"a", ".hidden"})
            dir.file(name);
        auto first = std::make_unique<TabModel>(dir.url(), false);
        QVERIFY(waitForLoad(*first));
        TabModel second(dir.url(), false);
        TabModel withHidden(dir.url(), true);
        ColumnBrowserModel columns(dir.url(), false);
        columns.start();
        QVERIFY(waitForLoad(second) && waitForLoad(withHidden));
        QTRY_VERIFY(!columns.columns().first().isLoading);
        QCOMPARE(second.listing(), first->listing());
        QCOMPARE(columns.columns().first().items.constData(), first->items().constData());
        QCOMPARE(namesOf(withHidden.items()), QStringList({".hidden", "a"}));

        dir.file("b");
        first->reload();
        QVERIFY(waitForLoad(*first));
        second.reload();
        QVERIFY(waitForLoad(second));
        QCOMPARE(namesOf(second.items()), QStringList({"a", "b"}));
        QCOMPARE(second.listing(), first->listing());

        const std::weak_ptr<const FolderListing> listing = first->listing();
        first.reset();
        QVERIFY(!listing.expired());
        dir.file("c");
        second.reload();
        QVERIFY(waitForLoad(second));
        QVERIFY(listing.expired());
    }

    // The load's task ends cancelled, not applied, once its tab is gone.
    void closedTabDropsItsLoad()
    {
        TestDir dir;
        fill(dir, "big", 5000);
        auto tab = std::make_unique<TabModel>(dir.url("big"), false);
        const QFuture<void> load = tab->loadTask();
        tab.reset();
        QTRY_VERIFY_WITH_TIMEOUT(load.isFinished(), 20000);
        QVERIFY(load.isCanceled());
        FutureOwner::pool()->waitForDone();
    }

private:
    TestDir m_home;
};

QTEST_GUILESS_MAIN(TestTabModel)
#include "tst_tabmodel.moc"
