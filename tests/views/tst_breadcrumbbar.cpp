// The breadcrumb: one crumb per folder of the standardised path from the root, the last one
// inert and clicking another asks for that folder.

#include "breadcrumbbar.h"
#include "testdir.h"

#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class TestBreadcrumbBar : public QObject
{
    Q_OBJECT

    TestDir m_dir;

private Q_SLOTS:
    void initTestCase() { m_dir.isolateHome(); }

    void crumbsAskForTheirFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("root") << "/" << QStringList{"/"};
        QTest::newRow("nested") << "/usr/share/doc" << QStringList{"/", "usr", "share", "doc"};
    }
    void crumbsAskForTheirFolder()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, names);
        BreadcrumbBar bar;
        bar.setUrl(FilePath::fromString(path));
        QCOMPARE(bar.crumbNames(), names);
        // Every crumb but the last is a button; each asks for the folder it names.
        QSignalSpy clicked(&bar, &BreadcrumbBar::crumbClicked);
        for (QToolButton *crumb : bar.findChildren<QToolButton *>())
            crumb->click();
        QStringList asked, expected;
        for (const QList<QVariant> &arguments : clicked)
            asked << arguments.first().value<FilePath>().path();
        for (qsizetype i = 1; i < names.size(); ++i)
            expected << QDir::cleanPath("/" + QStringList(names.mid(1, i - 1)).join('/'));
        QCOMPARE(asked, expected);
        // The last crumb is the current folder: a label, set in semibold.
        const auto labels = bar.findChildren<QLabel *>();
        QVERIFY(std::any_of(labels.begin(), labels.end(), [&](QLabel *l) {
            return l->text() == names.last() && l->font().weight() == QFont::DemiBold;
        }));
    }
};

QTEST_MAIN(TestBreadcrumbBar)
#include "tst_breadcrumbbar.moc"
