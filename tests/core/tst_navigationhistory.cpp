// Back/forward history: sequences of visits and steps, checked by walking a copy to both ends.

#include "navigationhistory.h"

#include <QTest>

namespace {

QUrl place(const QString &name)
{
    return QUrl::fromLocalFile("/" + name);
}

// Runs "B C < > D" on a history that starts at A: a name visits /name, "<" goes back, ">" forward.
NavigationHistory run(const QString &script)
{
    NavigationHistory history(place("A"));
    for (const QString &token : script.split(' ', Qt::SkipEmptyParts)) {
        if (token == "<")
            history.goBack();
        else if (token == ">")
            history.goForward();
        else
            history.navigate(place(token));
    }
    return history;
}

// The places reached by stepping back (or forward) until the end, nearest first.
QString trail(NavigationHistory history, bool backwards)
{
    QStringList names;
    while (backwards ? history.canGoBack() : history.canGoForward()) {
        backwards ? history.goBack() : history.goForward();
        names << history.current().path().mid(1);
    }
    return names.join(' ');
}

} // namespace

class TestNavigationHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sequences_data();
    void sequences();
    void copiesAreIndependent();
};

void TestNavigationHistory::sequences_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("back");    // nearest first
    QTest::addColumn<QString>("forward"); // nearest first

    QTest::newRow("new history") << "" << "A" << "" << "";
    QTest::newRow("two visits") << "B C" << "C" << "B A" << "";
    QTest::newRow("one back") << "B C <" << "B" << "A" << "C";
    QTest::newRow("back then forward") << "B C < < >" << "B" << "A" << "C";
    QTest::newRow("visit after back drops forward") << "B C < D" << "D" << "B A" << "";
    QTest::newRow("visit after two back drops both") << "B C < < D" << "D" << "A" << "";
    QTest::newRow("visiting current keeps forward") << "B C < B" << "B" << "A" << "C";
    QTest::newRow("no de-duplication") << "B A" << "A" << "B A" << "";
    QTest::newRow("repeated places kept in order") << "B A B A <" << "B" << "A B A" << "A";
    QTest::newRow("back past the start") << "B < < <" << "A" << "" << "B";
    QTest::newRow("forward past the end") << "B < > > >" << "B" << "A" << "";
    QTest::newRow("visit the place forward leads to") << "B C < C" << "C" << "B A" << "";
}

void TestNavigationHistory::sequences()
{
    QFETCH(QString, script);
    QFETCH(QString, current);
    QFETCH(QString, back);
    QFETCH(QString, forward);
    const NavigationHistory history = run(script);
    QCOMPARE(history.current(), place(current));
    QCOMPARE(history.canGoBack(), !back.isEmpty());
    QCOMPARE(history.canGoForward(), !forward.isEmpty());
    QCOMPARE(trail(history, true), back);
    QCOMPARE(trail(history, false), forward);
}

void TestNavigationHistory::copiesAreIndependent()
{
    const NavigationHistory saved = run("B C <");
    NavigationHistory changed = saved;
    changed.navigate(place("D"));
    QVERIFY(changed != saved);
    QCOMPARE(saved, run("B C <"));
}

QTEST_GUILESS_MAIN(TestNavigationHistory)
#include "tst_navigationhistory.moc"
