// The rows behind the file list: reloads that keep the view's place and refresh only the cells,
// and icons asked for only the rows on screen.

#include "filetablemodel.h"
#include "iconcache.h"
#include "testdir.h"

#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

namespace {

FileItem entry(const QString &name, bool folder = false, qint64 size = 0)
{
    return {FilePath::fromString(QStringLiteral("/data/") + name), name, folder, size,
            QDateTime(QDate(2024, 3, 5), QTime(14, 7), Qt::UTC), false};
}

} // namespace

class TestFileTableModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_dir.isolateHome(); }

    // A reload that lists the same entries must not reset the view (scroll position, current row),
    // nor may the rest of a folder that follows its first page; a different listing must.
    void reloadWithSameUrlsOnlyRefreshesCells()
    {
        FileTableModel model;
        model.setItems({entry(QStringLiteral("a"), false, 1), entry(QStringLiteral("b"), true, 4096)});
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);

        model.setItems({entry(QStringLiteral("a"), false, 2000), entry(QStringLiteral("b"), true, 4096)});
        QCOMPARE(resets.count(), 0);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(model.index(0, FileTableModel::SizeColumn).data().toString(), QStringLiteral("2.0 kB"));
        QCOMPARE(model.index(1, FileTableModel::SizeColumn).data().toString(), QStringLiteral("--"));

        model.setItems(model.items());
        QCOMPARE(changes.count(), 1);

        model.setItems({entry(QStringLiteral("b")), entry(QStringLiteral("a"))});
        QCOMPARE(resets.count(), 1);
        QCOMPARE(model.rowOf(entry(QStringLiteral("a")).url), 1);
        QCOMPARE(model.rowOf(FilePath::fromString(QStringLiteral("/data/none"))), -1);

        model.setItems({entry(QStringLiteral("b")), entry(QStringLiteral("a"))}, true);
        QCOMPARE(model.index(1, FileTableModel::SizeColumn).data().toString(), QString());
        QCOMPARE(model.index(1, FileTableModel::ModifiedColumn).data().toString(), QString());
        const QPersistentModelIndex current = model.index(1, FileTableModel::NameColumn);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.setItems({entry(QStringLiteral("b")), entry(QStringLiteral("a"), false, 2000), entry(QStringLiteral("c"))});
        QCOMPARE(resets.count(), 1);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(current.row(), 1);
        QCOMPARE(model.index(1, FileTableModel::SizeColumn).data().toString(), QStringLiteral("2.0 kB"));
        QCOMPARE(model.rowOf(entry(QStringLiteral("c")).url), 2);
    }

    // With 100,000 rows the view paints a screenful; asking for every icon would stall the window.
    void iconsAreFetchedOnlyForRowsOnScreen()
    {
        IconCache icons([](const FilePath &) { return QStringList{QStringLiteral("text-plain")}; });
        FileTableModel model;
        model.setIconCache(&icons);
        QList<FileItem> many;
        for (int i = 0; i < 100000; ++i)
            many.append(entry(QStringLiteral("file-%1.txt").arg(i, 6, 10, QLatin1Char('0')), false, i));
        model.setItems(many);
        QTreeView view;
        view.setUniformRowHeights(true);
        view.setModel(&model);
        view.resize(600, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_VERIFY(icons.fetches() > 0);
        QVERIFY2(icons.fetches() < 500, qPrintable(QString::number(icons.fetches())));
    }

private:
    TestDir m_dir;
};

QTEST_MAIN(TestFileTableModel)
#include "tst_filetablemodel.moc"
