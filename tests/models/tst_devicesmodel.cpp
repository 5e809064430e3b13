// The Devices section's model: which mounts of a mount table are volumes, network places found
// off the main thread, and a drive on a stand-in disk service: what it offers once mounted,
// refusals as messages in the user's language, and panes inside a volume that goes away moving
// home. The sidebar's clicks and menus are tst_sidebarview's.

#include "devicesmodel.h"
#include "localization.h"
#include "panemodel.h"
#include "tabmodel.h"
#include "testdir.h"
#include "udisksmock.h"
#include "filepath.h"
#include "workspacemodel.h"

#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(MountTable::Kind)

namespace {

// A mount table holding the root file system only, so the volumes listed come from the disk service.
const QByteArray rootOnly = "22 1 0:21 / / rw,relatime shared:1 - ext4 /dev/vda1 rw\n";

} // namespace

class TestDevicesModel : public QObject
{
    Q_OBJECT

    TestDir home;

    const DevicesModel::Volume *find(const DevicesModel &model, const QString &label)
    {
        for (const DevicesModel::Volume &volume : model.volumes())
            if (volume.label == label)
                return &volume;
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase() { home.isolateHome(); }

    void mountTable_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("shownAt"); // empty: not a volume
        QTest::addColumn<MountTable::Kind>("kind");
        const auto row = [](const char *name, const char *line, const char *shownAt, MountTable::Kind kind = MountTable::Kind::internal) {
            QTest::newRow(name) << QByteArray(line) << QByteArray(shownAt) << kind;
        };
        using K = MountTable::Kind;
        row("home partition", "31 29 8:3 / /home rw shared:2 - ext4 /dev/sda3 rw", "/home");
        row("space, tab, newline, backslash", "81 29 8:18 / /run/media/me/My\\040a\\011b\\012c\\134d rw - exfat /dev/sdb2 rw",
            "/run/media/me/My a\tb\nc\\d", K::removable);
        row("name not UTF-8", "82 29 8:19 / /media/me/caf\\351 rw - vfat /dev/sdb3 rw", "/media/me/caf\xe9", K::removable);
        row("optional fields", "83 29 8:20 / /mnt/data rw shared:7 master:3 propagate_from:2 - xfs /dev/sdc1 rw",
            "/mnt/data", K::removable);
        row("folder bound elsewhere", "90 29 8:3 /me/shared /srv/shared rw - ext4 /dev/sda3 rw", "");
        row("same device twice", "91 29 8:2 / /mnt/again rw - ext4 /dev/sda2 rw", "");
        row("ntfs through FUSE", "92 29 0:50 / /media/me/Windows rw - fuseblk /dev/sdd1 rw,user_id=0", "/media/me/Windows",
            K::removable);
        row("sshfs in home", "93 29 0:51 / /home/me/remote rw - fuse.sshfs me@server:/data rw", "/home/me/remote", K::network);
        row("nfs", "94 29 0:52 / /mnt/nas rw - nfs4 nas:/export rw,vers=4.2", "/mnt/nas", K::network);
        row("desktop's network folder", "96 29 0:54 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw", "");
        row("boot partition", "98 29 8:1 / /boot/efi rw - vfat /dev/sda1 rw", "");
        row("kernel file system", "99 29 0:5 / /proc rw - proc proc rw", "");
    }
    void mountTable()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, shownAt);
        QFETCH(MountTable::Kind, kind);
        // The root comes first, so that "same device twice" has a device already shown.
        const QByteArray table = "29 1 8:2 / / rw shared:1 - ext4 /dev/sda2 rw\n" + line + "\n";
        const QList<MountTable::Entry> volumes = MountTable::volumes(MountTable::parse(table), "/run/user/1000");
        QCOMPARE(volumes.size(), shownAt.isEmpty() ? 1 : 2);
        QCOMPARE(volumes.first().mountPoint, QByteArray("/"));
        if (!shownAt.isEmpty()) {
            QCOMPARE(volumes.last().mountPoint, shownAt);
            QCOMPARE(MountTable::kind(volumes.last()), kind);
        }
    }

    void networkPlacesAndFreeSpaceAreFoundOffTheMainThread()
    {
        TestDir runtime;
        runtime.dir(QStringLiteral("gvfs/smb-share:server=nas,share=music"));
        const QString table = runtime.file(QStringLiteral("mountinfo"), rootOnly);
        UDisksClient noService{QDBusConnection(QString())};
        DevicesModel model(&noService, QFile::encodeName(table), QFile::encodeName(runtime.path()));
        QTRY_VERIFY(find(model, QStringLiteral("music")) && find(model, QStringLiteral("music"))->freeBytes);
        const DevicesModel::Volume *music = find(model, QStringLiteral("music"));
        QCOMPARE(music->kind, MountTable::Kind::network);
        QCOMPARE(music->url(), FilePath::fromString(runtime.path(QStringLiteral("gvfs/smb-share:server=nas,share=music"))));
        QVERIFY(model.volumes().first().isRoot());
        QVERIFY(!music->canUnmount() && !music->canEject());
    }

    // Only the panes inside the volume move home, not one in a folder whose name begins alike.
    void aMountedDriveOffersUnmountAndTheFolderInsideIsLeft()
    {
        UDisksMock service(QFINDTESTDATA("common/udisks2template.py"));
        if (!service.isRunning())
            QSKIP("dbus-daemon or python3-dbusmock is missing");
        TestDir dir;
        const QString folder = dir.dir(QStringLiteral("media/Holiday Stick"));
        UDisksClient disks(service.bus());
        DevicesModel model(&disks, QFile::encodeName(dir.file(QStringLiteral("mountinfo"), rootOnly)), QByteArray());
        WorkspaceModel workspace(false);
        connect(&model, &DevicesModel::volumeGone, &workspace, &WorkspaceModel::leaveFolder);
        const QString object = service.addDrive(QStringLiteral("sdx"), QStringLiteral("HOLIDAY"), folder);
        QTRY_VERIFY(find(model, QStringLiteral("HOLIDAY")));
        QCOMPARE(find(model, QStringLiteral("HOLIDAY"))->kind, MountTable::Kind::removable);
        model.mount(object);
        QTRY_VERIFY(find(model, QStringLiteral("HOLIDAY"))->isMounted());
        const DevicesModel::Volume *stick = find(model, QStringLiteral("HOLIDAY"));
        QVERIFY(stick->canUnmount() && stick->canEject() && !stick->canMount());

        const QString beside = dir.dir(QStringLiteral("media/Holiday Stick 2"));
        workspace.leftPane()->activeTab()->navigate(FilePath::fromString(dir.dir("media/Holiday Stick/2025")));
        workspace.rightPane()->activeTab()->navigate(FilePath::fromString(beside));
        model.unmount(object);
        QTRY_VERIFY(!find(model, QStringLiteral("HOLIDAY"))->isMounted());
        QCOMPARE(workspace.leftPane()->activeTab()->history().current(), FilePath::fromString(QDir::homePath()));
        QCOMPARE(workspace.rightPane()->activeTab()->history().current(), FilePath::fromString(beside));
    }

    void refusalsComeBackAsMessages_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("japanese");
        // An unmount refused while the volume is busy is tst_sidebarview's, through its menu.
        QTest::newRow("mount not allowed") << "mount" << "org.freedesktop.UDisks2.Error.NotAuthorizedCanObtain"
                                           << "“STICK” couldn't be mounted: You aren't allowed to do this"
                                           << "「STICK」をマウントできませんでした: この操作は許可されていません";
        QTest::newRow("eject fails") << "eject" << "org.freedesktop.UDisks2.Error.Failed"
                                     << "“STICK” couldn't be ejected: the drive said no"
                                     << "「STICK」を取り出せませんでした: the drive said no";
    }
    void refusalsComeBackAsMessages()
    {
        QFETCH(QString, request);
        QFETCH(QString, error);
        QFETCH(QString, english);
        QFETCH(QString, japanese);
        UDisksMock service(QFINDTESTDATA("common/udisks2template.py"));
        if (!service.isRunning())
            QSKIP("dbus-daemon or python3-dbusmock is missing");
        TestDir dir;
        UDisksClient disks(service.bus());
        DevicesModel model(&disks, QFile::encodeName(dir.file(QStringLiteral("mountinfo"), rootOnly)), QByteArray());
        QSignalSpy failed(&model, &DevicesModel::failed);
        const QString object = service.addDrive(QStringLiteral("sdy"), QStringLiteral("STICK"), dir.dir(QStringLiteral("stick")));
        QTRY_VERIFY(find(model, QStringLiteral("STICK")));
        if (request == QLatin1String("eject")) {
            model.mount(object);
            QTRY_VERIFY(find(model, QStringLiteral("STICK"))->isMounted());
        }
        // Eject is refused by the drive, the others by the file system.
        const QString refusing = request == QLatin1String("eject") ? disks.fileSystems().first().drive : object;
        service.refuse(refusing, error, QStringLiteral("the drive said no"));
        request == QLatin1String("mount") ? model.mount(object) : model.eject(object);
        QTRY_COMPARE(failed.size(), 1);
        const auto outcome = failed.first().at(0).value<UDisksClient::Outcome>();
        const auto volume = failed.first().at(1).value<DevicesModel::Volume>();
        QCOMPARE(outcome.errorName, error);
        QCOMPARE(DevicesModel::failureMessage(outcome, DevicesModel::displayName(volume, Localization::english()),
                                              Localization::english()), english);
        QCOMPARE(DevicesModel::failureMessage(outcome, DevicesModel::displayName(volume, Localization::japanese()),
                                              Localization::japanese()), japanese);
        // A refused eject has unmounted already and leaves the drive listed, ready to mount again.
        QVERIFY(find(model, QStringLiteral("STICK")));
        QTRY_VERIFY(!find(model, QStringLiteral("STICK"))->isMounted());
    }

    void aMissingDiskServiceIsSaidSo()
    {
        UDisksClient::Outcome outcome{UDisksClient::Request::mount, QStringLiteral("/x"), {},
                                      QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"), QStringLiteral("no")};
        QCOMPARE(DevicesModel::failureMessage(outcome, QStringLiteral("Disk"), Localization::english()),
                 QStringLiteral("“Disk” couldn't be mounted: The disk service (UDisks2) isn't answering"));
    }
};

QTEST_GUILESS_MAIN(TestDevicesModel)
#include "tst_devicesmodel.moc"
