#pragma once
// The volumes of the sidebar's Devices section: what the kernel has mounted (its mount table)
// joined with what the disk service knows (UDisks2), so a disk plugged in but not mounted is
// listed too, and the desktop's network places (gvfs) one by one. Each mounted volume carries
// its free space, measured off the main thread (a network share may take long to answer).
//
// The list follows the system: the kernel's table is watched, the disk service's changes are
// followed. When a mounted volume goes away, for whatever reason, `volumeGone` names its root
// so the panes showing something inside it can leave.

#include "filepath.h"
#include "futureowner.h"
#include "mounttable.h"
#include "udisksclient.h"

#include <QByteArray>
#include <QFuture>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

class Localization;
class QSocketNotifier;

class DevicesModel : public QObject
{
    Q_OBJECT

public:
    struct Volume
    {
        QString id;          // the disk service's object, else the mount point
        QString label;       // the file system's label, the mount point's name, or a network place's name
        QString host;        // a network place's server, when it has one
        QByteArray mountPoint; // empty while not mounted
        MountTable::Kind kind = MountTable::Kind::internal;
        qint64 size = 0;     // of an unmounted disk, for its name
        std::optional<qint64> freeBytes;
        QString diskObject;  // empty when the disk service doesn't manage it
        bool ejectable = false;

        bool isMounted() const { return !mountPoint.isEmpty(); }
        bool isRoot() const { return mountPoint == "/"; }
        bool canMount() const { return !isMounted() && !diskObject.isEmpty(); }
        bool canUnmount() const { return isMounted() && !diskObject.isEmpty() && !isRoot(); }
        bool canEject() const { return ejectable && !diskObject.isEmpty() && !isRoot(); }
        FilePath url() const;
        friend bool operator==(const Volume &, const Volume &) = default;
    };

private:
    Q_PROPERTY(QList<DevicesModel::Volume> volumes READ volumes NOTIFY volumesChanged)

public:
    // `mountInfo` is the kernel's table to read (and watch, when it is the kernel's);
    // `runtimeDir` the user's runtime folder, whose "gvfs" folder holds the network places.
    DevicesModel(UDisksClient *disks, QByteArray mountInfo, QByteArray runtimeDir, QObject *parent = nullptr);
    // Over the system bus, this process's mount table and $XDG_RUNTIME_DIR.
    static std::unique_ptr<DevicesModel> forSystem(QObject *parent = nullptr);
    ~DevicesModel() override;

    const QList<Volume> &volumes() const { return m_volumes; }
    // None once the volume has gone.
    std::optional<Volume> volume(const QString &id) const;
    UDisksClient *disks() const { return m_disks; }

    void mount(const QString &id);
    void unmount(const QString &id);
    void eject(const QString &id);
    // Reads the mount table again now.
    void reload();

    // What the sidebar shows for a volume, and the message for a request that failed.
    static QString displayName(const Volume &volume, const Localization &loc);
    static QString failureMessage(const UDisksClient::Outcome &outcome, const QString &name, const Localization &loc);
    // A gvfs folder name such as "smb-share:server=nas,share=photos": the share (or the
    // host when there is none) and the host.
    static std::pair<QString, QString> networkPlace(const QByteArray &folderName);

Q_SIGNALS:
    void volumesChanged();
    // A mount the user asked for is ready at `root`.
    void mounted(const FilePath &root);
    void volumeGone(const FilePath &root);
    // A request was refused or failed (see failureMessage).
    void failed(const UDisksClient::Outcome &outcome, const DevicesModel::Volume &volume);

private:
    void rebuild();
    void measure();
    void listNetworkPlaces();
    void measureFreeSpace(const QByteArray &mountPoint);
    void setVolumes(QList<Volume> volumes);

    UDisksClient *m_disks;
    QByteArray m_mountInfo;
    QByteArray m_runtimeDir;
    QSocketNotifier *m_tableWatch = nullptr;
    int m_tableFd = -1;
    QList<MountTable::Entry> m_table;
    QList<Volume> m_volumes;
    // Network places and free space from the last measurement, applied to every rebuild.
    QList<Volume> m_networkPlaces;
    QHash<QByteArray, qint64> m_freeBytes;
    QFuture<void> m_listing;        // the network places' listing under way, if any
    bool m_listAgain = false;       // asked for while one was under way
    QSet<QByteArray> m_measuring;   // the mount points whose free space is being measured
    QList<QString> m_requested; // mounts asked for here, to open when they are ready
    // Last: a measurement still running is dropped before anything else goes. It works on copies
    // only, so one stuck on a mount that stopped answering is left to end on its own.
    FutureOwner m_tasks{FutureOwner::Teardown::letRunOut};
};

Q_DECLARE_METATYPE(DevicesModel::Volume)
