// What a drag carries: the dragged item alone, or the whole selection when it is part of it,
// in listing order and only what is still listed.

#include "dragselection.h"
#include "itemlists.h"

#include <QTest>

// "a b c" → items named a, b, c in that order.
static QList<FileItem> items(const QString &names) { return itemsNamed(names.split(' ', Qt::SkipEmptyParts)); }

class TestDragSelection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dragSelection_data()
    {
        QTest::addColumn<QString>("listed");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("dragged");
        QTest::addColumn<QString>("carried");
        QTest::newRow("unselected item while three are selected") << "a b c d e" << "b c d" << "a" << "a";
        QTest::newRow("one of three selected: all, in list order") << "a b c d e" << "e b d" << "d" << "b d e";
        QTest::newRow("selected but no longer listed is left behind") << "a b c" << "a c x" << "a" << "a c";
        QTest::newRow("unlisted, unselected dragged item") << "a b" << "a b" << "z" << "z";
    }

    void dragSelection()
    {
        QFETCH(QString, listed);
        QFETCH(QString, selected);
        QFETCH(QString, dragged);
        QFETCH(QString, carried);
        QSet<FilePath> selection;
        for (const FileItem &entry : items(selected))
            selection.insert(entry.url);
        QCOMPARE(namesOf(DragSelection::resolve(items(dragged)[0], selection, items(listed))).join(' '), carried);
    }
};

QTEST_GUILESS_MAIN(TestDragSelection)
#include "tst_dragselection.moc"
