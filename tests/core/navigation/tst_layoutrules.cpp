// The small layout and selection rules as tables: pane split, column chain, drag contents,
// title summary and view mode raw values.

#include "bytecount.h"
#include "columnchain.h"
#include "dragselection.h"
#include "itemlists.h"
#include "panelayout.h"
#include "titlebarsummary.h"
#include "viewmode.h"

#include <QLocale>
#include <QTest>

namespace {

// "a b c" → items named a, b, c in that order.
QList<FileItem> items(const QString &names)
{
    QList<FileItem> result;
    for (const QString &name : names.split(' ', Qt::SkipEmptyParts))
        result << FileItem(FilePath::fromString("/f/" + name), name, false, 0, {}, false);
    return result;
}

} // namespace

class TestLayoutRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leftWidth_data()
    {
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<double>("minPane");
        QTest::addColumn<double>("expected");
        QTest::newRow("half") << 1000.0 << 0.5 << 200.0 << 500.0;
        QTest::newRow("too small left") << 1000.0 << 0.1 << 200.0 << 200.0;
        QTest::newRow("too small right") << 1000.0 << 0.95 << 200.0 << 800.0;
        QTest::newRow("too narrow: even split") << 300.0 << 0.9 << 200.0 << 150.0;
        QTest::newRow("negative total") << -10.0 << 0.5 << 0.0 << 0.0;
        QTest::newRow("NaN total") << qQNaN() << 0.5 << 0.0 << 0.0;
        QTest::newRow("infinite total") << qInf() << 0.5 << 0.0 << 0.0;
        QTest::newRow("NaN fraction splits evenly") << 1000.0 << qQNaN() << 200.0 << 500.0;
        QTest::newRow("NaN minimum is none") << 1000.0 << 1.5 << qQNaN() << 1000.0;
    }

    void leftWidth()
    {
        QFETCH(double, total);
        QFETCH(double, fraction);
        QFETCH(double, minPane);
        QFETCH(double, expected);
        QCOMPARE(PaneLayout::leftWidth(total, fraction, minPane), expected);
    }

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

    void titleSummaryAndSmallRules()
    {
        const TitleBarSummary::Format format{.createdLabel = "C:", .modifiedLabel = "M:", .separator = " | ",
                                             .formatDate = [](const QDateTime &date) { return date.toString("MM-dd"); },
                                             .formatByteCount = [](qint64 bytes) -> QString { return QString::number(bytes) + "B"; }};
        const QDateTime day2(QDate(2024, 1, 2), QTime(12, 0), Qt::UTC);
        QCOMPARE(TitleBarSummary::single("n", "", {}, {}, {}, format), "n");
        QCOMPARE(TitleBarSummary::single("n", "", 0, {}, {}, format), "n | 0B");
        QCOMPARE(TitleBarSummary::single("n", "Text", 5, day2, day2.addDays(1), format), "n | Text | 5B | C: 01-02 | M: 01-03");
        QLocale::setDefault(QLocale::c());
        QCOMPARE(ByteCount::text(1'500'000), "1.5 MB");
        QLocale::setDefault(QLocale::system());

        // The column chain is cut after the selected column; an index outside it cuts nothing.
        QCOMPARE(ColumnChain::truncated(QStringList{"a", "b", "c"}, 0), QStringList{"a"});
        QCOMPARE(ColumnChain::truncated(QStringList{"a", "b", "c"}, 3), (QStringList{"a", "b", "c"}));
        QCOMPARE(ColumnChain::truncated(QStringList{"a", "b", "c"}, -1), (QStringList{"a", "b", "c"}));

        // Raw values are stored in settings: they must not change, and only they are read back.
        QCOMPARE(rawValue(ViewMode::list), "list");
        QCOMPARE(rawValue(ViewMode::column), "column");
        QCOMPARE(viewModeFromRawValue(u"column"), ViewMode::column);
        QCOMPARE(viewModeFromRawValue(u"List"), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestLayoutRules)
#include "tst_layoutrules.moc"
