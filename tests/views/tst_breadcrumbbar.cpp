// The breadcrumb: one crumb per folder from the root, the last one inert and clicking another
// asks for that folder.

#include "breadcrumbbar.h"
#include "testdir.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class TestBreadcrumbBar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_dir.isolateHome(); }

    void crumbsFollowThePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("root") << QStringLiteral("/") << QStringList{QStringLiteral("/")};
        QTest::newRow("nested") << QStringLiteral("/usr/share/doc")
                                << QStringList{QStringLiteral("/"), QStringLiteral("usr"), QStringLiteral("share"),
                                               QStringLiteral("doc")};
        QTest::newRow("space in a name") << QStringLiteral("/tmp/a b")
                                         << QStringList{QStringLiteral("/"), QStringLiteral("tmp"), QStringLiteral("a b")};
    }
    void crumbsFollowThePath()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, names);
        BreadcrumbBar bar;
        bar.setUrl(FilePath::fromString(path));
        QCOMPARE(bar.crumbNames(), names);
        // Chevrons sit between crumbs only; the last crumb is a label, not a button.
        const auto buttons = bar.findChildren<QToolButton *>();
        QCOMPARE(buttons.size(), names.size() - 1);
        const auto labels = bar.findChildren<QLabel *>();
        const auto current = std::find_if(labels.begin(), labels.end(),
                                          [&](QLabel *l) { return l->text() == names.last(); });
        QVERIFY(current != labels.end());
        QCOMPARE((*current)->font().weight(), QFont::DemiBold);
    }

    void clickingACrumbAsksForItsFolder()
    {
        BreadcrumbBar bar;
        bar.setUrl(FilePath::fromString(QStringLiteral("/usr/share/doc")));
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QSignalSpy clicked(&bar, &BreadcrumbBar::crumbClicked);
        const auto buttons = bar.findChildren<QToolButton *>();
        auto usr = std::find_if(buttons.begin(), buttons.end(), [](QToolButton *b) { return b->text() == QLatin1String("usr"); });
        QVERIFY(usr != buttons.end());
        (*usr)->click();
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.first().first().value<FilePath>(), FilePath::fromString(QStringLiteral("/usr")));
    }

private:
    TestDir m_dir;
};

QTEST_MAIN(TestBreadcrumbBar)
#include "tst_breadcrumbbar.moc"
