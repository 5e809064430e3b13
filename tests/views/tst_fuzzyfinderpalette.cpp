// The find-anywhere palette over a real folder tree: its status while and after scanning, the
// keys of the query field, and a click on a row.

#include "fuzzyfinderpalette.h"
#include "fuzzyfindermodel.h"
#include "localization.h"
#include "testdir.h"

#include "busyspinner.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

class TestFuzzyFinderPalette : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_dir.isolateHome();
        m_dir.file(QStringLiteral("tree/notes.txt"));
        m_dir.file(QStringLiteral("tree/src/main.cpp"));
        m_dir.file(QStringLiteral("tree/src/mainwindow.cpp"));
        m_dir.file(QStringLiteral("tree/docs/manual.md"));
    }

    // The status line follows the query; the keys move, choose and close, and a click chooses.
    void statusKeysAndClicks()
    {
        Palette p(m_dir.url(QStringLiteral("tree")));
        QTRY_VERIFY(!p.model->isScanning());
        QSignalSpy chosen(p.palette, &FuzzyFinderPalette::chosen);
        QSignalSpy closed(p.palette, &FuzzyFinderPalette::closed);
        QVERIFY(p.label(QStringLiteral("0 items")));
        QVERIFY(p.label(QStringLiteral("Type to search")));
        QTest::keyClick(p.field(), Qt::Key_Return); // no results yet: nothing happens
        QCOMPARE(chosen.count(), 0);

        p.type(QStringLiteral("zzzq"));
        QTRY_VERIFY(p.label(QStringLiteral("No Matches")));
        p.field()->clear();
        p.type(QStringLiteral("main"));
        QTRY_COMPARE(p.list()->count(), 2);
        QVERIFY(p.label(QStringLiteral("2 items")));
        QVERIFY(!p.label(QStringLiteral("No Matches")));
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(p.field(), Qt::Key_Down); // past the end: stays on the last row
        QCOMPARE(p.model->selectedIndex(), 1);
        QCOMPARE(p.list()->currentRow(), 1);
        QTest::keyClick(p.field(), Qt::Key_Return);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).value<FileItem>(), p.model->results().at(1));
        QTest::mouseClick(p.list()->viewport(), Qt::LeftButton, {}, p.list()->visualItemRect(p.list()->item(0)).center());
        QCOMPARE(chosen.count(), 2);
        QCOMPARE(chosen.at(1).at(0).value<FileItem>(), p.model->results().at(0));

        QTest::keyClick(p.field(), Qt::Key_Escape);
        QCOMPARE(closed.count(), 1);
    }

private:
    struct Palette
    {
        explicit Palette(const FilePath &root)
            : model(new FuzzyFinderModel(root, false, 0ms)), palette(new FuzzyFinderPalette(model, Localization::english()))
        {
            model->setParent(palette);
            palette->show();
        }
        ~Palette() { delete palette; }
        QLineEdit *field() const { return palette->findChild<QLineEdit *>(); }
        QListWidget *list() const { return palette->findChild<QListWidget *>(); }
        void type(const QString &text) const { QTest::keyClicks(field(), text); }
        bool label(const QString &text) const
        {
            for (QLabel *label : palette->findChildren<QLabel *>()) {
                if (label->isVisibleTo(palette) && label->text() == text)
                    return true;
            }
            return false;
        }
        FuzzyFinderModel *model;
        FuzzyFinderPalette *palette;
    };

    TestDir m_dir;
};

QTEST_MAIN(TestFuzzyFinderPalette)
#include "tst_fuzzyfinderpalette.moc"
