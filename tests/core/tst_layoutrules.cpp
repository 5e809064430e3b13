// The small layout and selection rules as tables: pane split, column chain, drag contents,
// title summary and view mode raw values.

#include "columnchain.h"
#include "dragselection.h"
#include "panelayout.h"
#include "titlebarsummary.h"
#include "viewmode.h"

#include <QLocale>
#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(std::optional<qint64>)
Q_DECLARE_METATYPE(std::optional<QDateTime>)
Q_DECLARE_METATYPE(std::optional<ViewMode>)

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

FileItem item(const QString &name)
{
    return FileItem(QUrl::fromLocalFile("/f/" + name), name, false, 0, {}, false);
}

// "a b c" → items named a, b, c in that order.
QList<FileItem> items(const QString &names)
{
    QList<FileItem> result;
    for (const QString &name : names.split(' ', Qt::SkipEmptyParts))
        result << item(name);
    return result;
}

QString names(const QList<FileItem> &list)
{
    QStringList result;
    for (const FileItem &entry : list)
        result << entry.name;
    return result.join(' ');
}

QDateTime day(int d)
{
    return QDateTime(QDate(2024, 1, d), QTime(12, 0), Qt::UTC);
}

} // namespace

class TestLayoutRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leftWidth_data();
    void leftWidth();
    void truncated_data();
    void truncated();
    void dragSelection_data();
    void dragSelection();
    void titleSummary_data();
    void titleSummary();
    void titleSummaryDefaultByteCount();
    void viewModeRawValues_data();
    void viewModeRawValues();
};

void TestLayoutRules::leftWidth_data()
{
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("fraction");
    QTest::addColumn<double>("minPane");
    QTest::addColumn<double>("expected");

    QTest::newRow("half") << 1000.0 << 0.5 << 200.0 << 500.0;
    QTest::newRow("too small left") << 1000.0 << 0.1 << 200.0 << 200.0;
    QTest::newRow("too small right") << 1000.0 << 0.95 << 200.0 << 800.0;
    QTest::newRow("too narrow: even split") << 300.0 << 0.9 << 200.0 << 150.0;
    QTest::newRow("two minimums fit exactly") << 400.0 << 0.9 << 200.0 << 200.0;
    QTest::newRow("zero total") << 0.0 << 0.5 << 200.0 << 0.0;
    QTest::newRow("negative total") << -10.0 << 0.5 << 0.0 << 0.0;
    QTest::newRow("NaN total") << notANumber << 0.5 << 0.0 << 0.0;
    QTest::newRow("infinite total") << infinity << 0.5 << 0.0 << 0.0;
    QTest::newRow("fraction above one") << 1000.0 << 1.5 << 200.0 << 800.0;
    QTest::newRow("infinite fraction") << 1000.0 << infinity << 200.0 << 800.0;
    QTest::newRow("NaN fraction splits evenly") << 1000.0 << notANumber << 200.0 << 500.0;
    QTest::newRow("negative minimum is none") << 1000.0 << -0.5 << -10.0 << 0.0;
    QTest::newRow("NaN minimum is none") << 1000.0 << 1.5 << notANumber << 1000.0;
}

void TestLayoutRules::leftWidth()
{
    QFETCH(double, total);
    QFETCH(double, fraction);
    QFETCH(double, minPane);
    QFETCH(double, expected);
    QCOMPARE(PaneLayout::leftWidth(total, fraction, minPane), expected);
}

void TestLayoutRules::truncated_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("first") << 0 << QStringList{"a"};
    QTest::newRow("last") << 2 << QStringList{"a", "b", "c"};
    QTest::newRow("past the end") << 3 << QStringList{"a", "b", "c"};
    QTest::newRow("negative") << -1 << QStringList{"a", "b", "c"};
}

void TestLayoutRules::truncated()
{
    QFETCH(int, index);
    QFETCH(QStringList, expected);
    QCOMPARE(ColumnChain::truncated(QStringList{"a", "b", "c"}, index), expected);
    QCOMPARE(ColumnChain::truncated(QList<int>{}, index), QList<int>{});
}

void TestLayoutRules::dragSelection_data()
{
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("dragged");
    QTest::addColumn<QString>("carried");

    QTest::newRow("unselected item while three are selected") << "a b c d e" << "b c d" << "a" << "a";
    QTest::newRow("one of three selected: all, in list order") << "a b c d e" << "e b d" << "d" << "b d e";
    QTest::newRow("nothing selected") << "a b c" << "" << "b" << "b";
    QTest::newRow("selected but no longer listed is left behind") << "a b c" << "a c x" << "a" << "a c";
    QTest::newRow("dragged item selected, nothing listed") << "" << "a" << "a" << "";
    QTest::newRow("unlisted, unselected dragged item") << "a b" << "a b" << "z" << "z";
}

void TestLayoutRules::dragSelection()
{
    QFETCH(QString, listed);
    QFETCH(QString, selected);
    QFETCH(QString, dragged);
    QFETCH(QString, carried);
    QSet<QUrl> selection;
    for (const FileItem &entry : items(selected))
        selection.insert(entry.url);
    QCOMPARE(names(DragSelection::resolve(item(dragged), selection, items(listed))), carried);
}

void TestLayoutRules::titleSummary_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<std::optional<qint64>>("size");
    QTest::addColumn<std::optional<QDateTime>>("created");
    QTest::addColumn<std::optional<QDateTime>>("modified");
    QTest::addColumn<QString>("expected");
    const std::optional<qint64> noSize;
    const std::optional<QDateTime> noDate;

    QTest::newRow("name only") << QString() << noSize << noDate << noDate << "n";
    QTest::newRow("empty kind adds nothing") << "" << noSize << noDate << noDate << "n";
    QTest::newRow("kind") << "Folder" << noSize << noDate << noDate << "n | Folder";
    QTest::newRow("size zero is shown") << "" << std::optional<qint64>(0) << noDate << noDate << "n | 0B";
    QTest::newRow("size without kind") << "" << std::optional<qint64>(1234) << noDate << noDate << "n | 1234B";
    QTest::newRow("created only") << "" << noSize << std::optional(day(2)) << noDate << "n | C: 01-02";
    QTest::newRow("everything, in order") << "Text" << std::optional<qint64>(5) << std::optional(day(2))
                                          << std::optional(day(3)) << "n | Text | 5B | C: 01-02 | M: 01-03";
}

void TestLayoutRules::titleSummary()
{
    QFETCH(QString, kind);
    QFETCH(std::optional<qint64>, size);
    QFETCH(std::optional<QDateTime>, created);
    QFETCH(std::optional<QDateTime>, modified);
    QFETCH(QString, expected);
    TitleBarSummary::Format format;
    format.createdLabel = "C:";
    format.modifiedLabel = "M:";
    format.separator = " | ";
    format.formatDate = [](const QDateTime &date) { return date.toString("MM-dd"); };
    format.formatByteCount = [](qint64 bytes) -> QString { return QString::number(bytes) + "B"; };
    QCOMPARE(TitleBarSummary::single("n", kind, size, created, modified, format), expected);
}

void TestLayoutRules::titleSummaryDefaultByteCount()
{
    QLocale::setDefault(QLocale::c());
    TitleBarSummary::Format format;
    format.separator = " · ";
    QCOMPARE(TitleBarSummary::single("n", {}, 1234, {}, {}, format), "n · 1.2 kB");
    QCOMPARE(TitleBarSummary::defaultByteCount(1'500'000), "1.5 MB");
    QLocale::setDefault(QLocale::system());
}

void TestLayoutRules::viewModeRawValues_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<std::optional<ViewMode>>("mode");
    QTest::newRow("list") << "list" << std::optional(ViewMode::list);
    QTest::newRow("column") << "column" << std::optional(ViewMode::column);
    QTest::newRow("case matters") << "List" << std::optional<ViewMode>();
    QTest::newRow("plural") << "columns" << std::optional<ViewMode>();
}

void TestLayoutRules::viewModeRawValues()
{
    QFETCH(QString, raw);
    QFETCH(std::optional<ViewMode>, mode);
    QCOMPARE(viewModeFromRawValue(raw), mode);
    if (mode)
        QCOMPARE(rawValue(*mode), raw);
    QCOMPARE(allViewModes, (std::array{ViewMode::list, ViewMode::column}));
}

QTEST_GUILESS_MAIN(TestLayoutRules)
#include "tst_layoutrules.moc"
