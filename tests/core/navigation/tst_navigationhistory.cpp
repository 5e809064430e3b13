// Back/forward history: sequences of visits and steps, checked by walking copies to both ends.

#include "navigationhistory.h"

#include <QTest>

// Runs "B C < D" from A (a name visits /name, "<" goes back, ">" forward) and shows the whole history,
// oldest first, current in brackets: "A [B] C". Each end is walked on a copy, which must share no steps.
static QString timelineAfter(const QString &script)
{
    NavigationHistory history(FilePath::fromString("/A"));
    for (const QString &token : script.split(' ', Qt::SkipEmptyParts)) {
        if (token == "<")
            history.goBack();
        else if (token == ">")
            history.goForward();
        else
            history.navigate(FilePath::fromString("/" + token));
    }
    QStringList line{"[" + history.current().fileName() + "]"};
    for (NavigationHistory copy = history; copy.canGoBack();) {
        copy.goBack();
        line.prepend(copy.current().fileName());
    }
    for (NavigationHistory copy = history; copy.canGoForward();) {
        copy.goForward();
        line.append(copy.current().fileName());
    }
    return line.join(' ');
}

class TestNavigationHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sequences_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("timeline");
        QTest::newRow("visit after two back drops both forward") << "B C < < D" << "A [D]";
        QTest::newRow("visiting current keeps forward") << "B C < B" << "A [B] C";
        QTest::newRow("repeated places kept in order") << "B A B A <" << "A B A [B] A";
        QTest::newRow("back past the start") << "B < < <" << "[A] B";
        QTest::newRow("forward past the end") << "B C < < > > > >" << "A B [C]";
    }

    void sequences()
    {
        QFETCH(QString, script);
        QFETCH(QString, timeline);
        QCOMPARE(timelineAfter(script), timeline);
    }
};

QTEST_GUILESS_MAIN(TestNavigationHistory)
#include "tst_navigationhistory.moc"
