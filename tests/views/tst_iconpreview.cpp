// The dark palette and the file icons together, as a window shows them: a small list of a
// folder, a text file, a picture and an archive under Japanese names, drawn offscreen. The
// picture is saved beside the test program (iconpreview.png) for a look by eye.

#include "iconcache.h"
#include "iconprovider.h"
#include "localization.h"
#include "testdir.h"
#include "theme.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QStyleFactory>
#include <QTest>
#include <QVBoxLayout>

namespace {

// True when the icon draws something at that size: not every pixel transparent.
bool drawsSomething(const QIcon &icon, int size)
{
    const QImage image = icon.pixmap(size, size).toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
    return false;
}

} // namespace

class TestIconPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        home.isolateHome();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(Theme::daziduvEdiv().palette());
        IconProvider::setUpTheme();
    }

    void kindsShowTheirOwnIconsOnTheDarkPalette()
    {
        const QStringList names{"書類", "メモ.txt", "写真.png", "アーカイブ.zip"};
        dir.dir(names.at(0));
        dir.file(names.at(1), "買い物リスト\n");
        dir.file(names.at(2), QByteArray("\x89PNG\r\n\x1a\n", 8));
        dir.file(names.at(3), "PK\x03\x04");

        IconCache cache;
        QList<QIcon> icons(names.size());
        int arrived = 0;
        for (int i = 0; i < names.size(); ++i)
            cache.icon(dir.url(names.at(i)), this, [&icons, &arrived, i](const QIcon &icon) {
                icons[i] = icon;
                ++arrived;
            });
        QTRY_COMPARE(arrived, int(names.size()));

        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(Localization::japanese().sidebarFavorites));
        auto *list = new QListWidget;
        list->setIconSize(QSize(32, 32));
        for (int i = 0; i < names.size(); ++i) {
            QVERIFY2(drawsSomething(icons.at(i), 32), qPrintable(names.at(i)));
            list->addItem(new QListWidgetItem(icons.at(i), names.at(i)));
        }
        list->setCurrentRow(1);
        layout->addWidget(list);
        window.resize(320, 240);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QSet<qint64> distinct;
        for (const QIcon &icon : icons)
            distinct.insert(icon.cacheKey());
        QCOMPARE(distinct.size(), names.size());

        const QImage picture = window.grab().toImage();
        QVERIFY(picture.save(QCoreApplication::applicationDirPath() + QStringLiteral("/iconpreview.png")));
        const Theme theme = Theme::daziduvEdiv();
        QCOMPARE(picture.pixelColor(2, 2).rgb(), theme.background.rgb());
        QVERIFY(picture.pixelColor(2, 2).lightness() < 60);
    }

private:
    TestDir home;
    TestDir dir;
};

QTEST_MAIN(TestIconPreview)
#include "tst_iconpreview.moc"
