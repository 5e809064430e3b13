// The sidebar's Devices section against a stand-in disk service: a drive plugged in shows up,
// a click mounts it and opens it in the active pane, its menu unmounts it, a refusal is shown
// as a message in the user's language, and the texts follow the language setting.

#include "appsettings.h"
#include "devicesmodel.h"
#include "favoritesstore.h"
#include "iconcache.h"
#include "panemodel.h"
#include "sidebarview.h"
#include "tabmodel.h"
#include "testdir.h"
#include "udisksmock.h"
#include "volumerowdelegate.h"
#include "workspacemodel.h"

#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

class TestSidebarView : public QObject
{
    Q_OBJECT

    static int rowOf(QListWidget *list, const QString &text)
    {
        for (int row = 0; row < list->count(); ++row)
            if (list->item(row)->text() == text)
                return row;
        return -1;
    }
    static QAction *menuEntry(QMenu *menu, const QString &text)
    {
        for (QAction *action : menu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }

private Q_SLOTS:
    void aDriveMountsOpensUnmountsAndRefusalsAreShown()
    {
        TestDir dir;
        dir.isolateHome();
        UDisksMock service(QFINDTESTDATA("common/udisks2template.py"));
        if (!service.isRunning())
            QSKIP("dbus-daemon or python3-dbusmock is missing");
        UDisksClient disks(service.bus());
        DevicesModel devices(&disks, QFile::encodeName(dir.file("mountinfo", "22 1 0:21 / / rw - ext4 /dev/vda1 rw\n")), QByteArray());
        AppSettings settings(dir.path("settings.conf"));
        settings.setLanguage(AppLanguage::english);
        FavoritesStore favorites(dir.path("favorites.conf"));
        WorkspaceModel workspace(false);
        workspace.setActivePaneID(workspace.rightPane()->id());
        SidebarView sidebar({&workspace, &settings, &favorites, &IconCache::shared(), &devices});
        sidebar.resize(220, 600);
        sidebar.show();
        QListWidget *list = sidebar.devices();

        const QString folder = dir.dir("media/STICK");
        const QString object = service.addDrive("sdz", "STICK", folder);
        QTRY_VERIFY(rowOf(list, "STICK") >= 0);
        QCOMPARE(list->item(rowOf(list, "STICK"))->data(VolumeRowDelegate::captionRole).toString(), "16.0 GB");
        QCOMPARE(list->item(0)->text(), "File System");

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(rowOf(list, "STICK"))).center());
        QTRY_COMPARE(workspace.rightPane()->activeTab()->history().current(), FilePath::fromString(folder));
        QTRY_VERIFY(list->item(rowOf(list, "STICK"))->data(VolumeRowDelegate::captionRole).toString().endsWith(" free"));

        // Unmount refused: the message names the volume and the reason, in Japanese now.
        settings.setLanguage(AppLanguage::japanese);
        QCOMPARE(list->item(0)->text(), "ファイルシステム");
        service.refuse(object, "org.freedesktop.UDisks2.Error.DeviceBusy", "target is busy");
        std::unique_ptr<QMenu> menu(sidebar.deviceMenu(rowOf(list, "STICK"), &sidebar));
        QVERIFY(!menuEntry(menu.get(), "マウント")->isEnabled());
        menuEntry(menu.get(), "マウント解除")->trigger();
        QTRY_VERIFY(sidebar.findChild<QMessageBox *>("deviceFailure"));
        auto *box = sidebar.findChild<QMessageBox *>("deviceFailure");
        QCOMPARE(box->text(), "「STICK」のマウントを解除できませんでした: プログラムが使用中です。開いているファイルを閉じてから、もう一度お試しください。");
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_VERIFY(!sidebar.findChild<QMessageBox *>("deviceFailure"));
        QCOMPARE(workspace.rightPane()->activeTab()->history().current(), FilePath::fromString(folder));

        // A drive plugged in while the menu is open moves STICK down a row; Open still opens STICK.
        menu.reset(sidebar.deviceMenu(rowOf(list, "STICK"), &sidebar));
        const int stickRow = rowOf(list, "STICK");
        service.addDrive("sdy", "OTHER", dir.dir("media/OTHER"));
        QTRY_COMPARE(rowOf(list, "STICK"), stickRow + 1);
        workspace.rightPane()->activeTab()->navigate(FilePath::fromString(dir.dir("elsewhere")));
        menuEntry(menu.get(), "開く")->trigger();
        QTRY_COMPARE(workspace.rightPane()->activeTab()->history().current(), FilePath::fromString(folder));

        // The second time the service agrees; the menu's Eject then takes the drive away.
        menu.reset(sidebar.deviceMenu(rowOf(list, "STICK"), &sidebar));
        menuEntry(menu.get(), "マウント解除")->trigger();
        QTRY_VERIFY(list->item(rowOf(list, "STICK"))->data(VolumeRowDelegate::captionRole).toString() == "16.0 GB");
        menu.reset(sidebar.deviceMenu(rowOf(list, "STICK"), &sidebar));
        QVERIFY(menuEntry(menu.get(), "マウント")->isEnabled());
        menuEntry(menu.get(), "取り出す")->trigger();
        QTRY_COMPARE(rowOf(list, "STICK"), -1);
    }
};

QTEST_MAIN(TestSidebarView)
#include "tst_sidebarview.moc"
