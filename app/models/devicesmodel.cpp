#include "devicesmodel.h"

#include "dirstream.h"
#include "filenames.h"
#include "filesystemservice.h"
#include "localization.h"
#include "bytecount.h"

#include <QDBusConnection>
#include <QHash>
#include <QSocketNotifier>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Free space drifts as files are written; it is measured again this often.
constexpr int remeasureMilliseconds = 60'000;

QString lastComponent(const QByteArray &path)
{
    return FileNames::decode(path.mid(path.lastIndexOf('/') + 1));
}

// "nas:/export/photos" or "//nas/photos" names the server a share comes from.
QString serverOf(const QByteArray &source)
{
    if (source.startsWith("//"))
        return QString::fromUtf8(source.mid(2, source.indexOf('/', 2) - 2));
    const qsizetype colon = source.indexOf(':');
    return colon > 0 ? QString::fromUtf8(source.left(colon)) : QString();
}

// Runs off the main thread: the desktop's network folder may hang.
QList<DevicesModel::Volume> networkPlacesIn(const QByteArray &runtimeDir)
{
    QList<DevicesModel::Volume> places;
    const QByteArray gvfs = runtimeDir + "/gvfs";
    int err = 0;
    const DirStream folder = runtimeDir.isEmpty() ? DirStream() : DirStream::open(gvfs.constData());
    const QList<QByteArray> names = folder.isOpen() ? DirStream::namesIn(folder.fd(), err) : QList<QByteArray>();
    for (const QByteArray &name : names) {
        DevicesModel::Volume place;
        place.mountPoint = gvfs + '/' + name;
        place.id = FileNames::decode(place.mountPoint);
        place.kind = MountTable::Kind::network;
        std::tie(place.label, place.host) = DevicesModel::networkPlace(name);
        places.append(place);
    }
    return places;
}

// Runs off the main thread: a network share may take long to answer, or never.
std::optional<qint64> freeBytesAt(const QByteArray &mountPoint)
{
    return FileSystemService().volumeAvailableCapacity(FilePath::fromNative(mountPoint));
}

} // namespace

FilePath DevicesModel::Volume::url() const
{
    return isMounted() ? FilePath::fromNative(mountPoint) : FilePath();
}

DevicesModel::DevicesModel(UDisksClient *disks, QByteArray mountInfo, QByteArray runtimeDir, QObject *parent)
    : QObject(parent), m_disks(disks), m_mountInfo(std::move(mountInfo)), m_runtimeDir(std::move(runtimeDir))
{
    // The kernel marks its mount table as changed with an exceptional condition on the open file.
    m_tableFd = ::open(m_mountInfo.constData(), O_RDONLY | O_CLOEXEC);
    if (m_tableFd >= 0 && m_mountInfo.startsWith("/proc/")) {
        m_tableWatch = new QSocketNotifier(m_tableFd, QSocketNotifier::Exception, this);
        connect(m_tableWatch, &QSocketNotifier::activated, this, &DevicesModel::reload);
    }
    connect(m_disks, &UDisksClient::fileSystemsChanged, this, &DevicesModel::rebuild);
    connect(m_disks, &UDisksClient::finished, this, [this](const UDisksClient::Outcome &outcome) {
        const auto asked = std::find_if(m_volumes.begin(), m_volumes.end(),
                                        [&](const Volume &v) { return v.diskObject == outcome.object; });
        const QString id = asked != m_volumes.end() ? asked->id : outcome.object;
        const bool open = m_requested.removeOne(id) && outcome.request == UDisksClient::Request::mount;
        if (!outcome.succeeded())
            Q_EMIT failed(outcome, asked != m_volumes.end() ? *asked : Volume{.id = id, .label = id});
        else if (open && !outcome.mountPoint.isEmpty())
            Q_EMIT mounted(FilePath::fromNative(outcome.mountPoint));
    });
    auto *timer = new QTimer(this);
    timer->setInterval(remeasureMilliseconds);
    connect(timer, &QTimer::timeout, this, &DevicesModel::measure);
    timer->start();
    reload();
}

std::unique_ptr<DevicesModel> DevicesModel::forSystem(QObject *parent)
{
    auto *disks = new UDisksClient(QDBusConnection::systemBus());
    auto model = std::make_unique<DevicesModel>(disks, QByteArrayLiteral("/proc/self/mountinfo"),
                                                qgetenv("XDG_RUNTIME_DIR"), parent);
    disks->setParent(model.get());
    return model;
}

DevicesModel::~DevicesModel()
{
    if (m_tableFd >= 0)
        ::close(m_tableFd);
}

void DevicesModel::reload()
{
    // The kernel's own table: a read that never waits on a device.
    QByteArray text;
    if (m_tableFd >= 0) {
        char buffer[16384];
        ssize_t got;
        ::lseek(m_tableFd, 0, SEEK_SET);
        while ((got = ::read(m_tableFd, buffer, sizeof buffer)) > 0)
            text.append(buffer, got);
    }
    m_table = MountTable::parse(text);
    rebuild();
}

void DevicesModel::rebuild()
{
    QList<Volume> volumes;
    QList<QString> claimed;
    const QList<UDisksClient::FileSystem> &disks = m_disks->fileSystems();
    const auto diskAt = [&](const QByteArray &mountPoint) {
        return std::find_if(disks.begin(), disks.end(),
                            [&](const UDisksClient::FileSystem &fs) { return fs.mountPoints.contains(mountPoint); });
    };
    const auto fromDisk = [&](Volume &volume, const UDisksClient::FileSystem &fs) {
        volume.id = fs.object;
        volume.diskObject = fs.object;
        volume.size = fs.size;
        volume.ejectable = fs.ejectable;
        if (!fs.label.isEmpty())
            volume.label = fs.label;
        if (fs.removable)
            volume.kind = MountTable::Kind::removable;
        claimed.append(fs.object);
    };
    for (const MountTable::Entry &entry : MountTable::volumes(m_table, m_runtimeDir)) {
        Volume volume;
        volume.id = FileNames::decode(entry.mountPoint);
        volume.mountPoint = entry.mountPoint;
        volume.kind = MountTable::kind(entry);
        volume.label = volume.isRoot() ? QString() : lastComponent(entry.mountPoint);
        if (volume.kind == MountTable::Kind::network)
            volume.host = serverOf(entry.source);
        if (const auto disk = diskAt(entry.mountPoint); disk != disks.end())
            fromDisk(volume, *disk);
        volumes.append(volume);
    }
    // Disks the service knows that the table doesn't show: not mounted yet, or mounted where
    // this process can't see.
    for (const UDisksClient::FileSystem &fs : disks) {
        if (fs.hidden || claimed.contains(fs.object))
            continue;
        Volume volume;
        volume.mountPoint = fs.mountPoints.value(0);
        volume.label = volume.isMounted() ? lastComponent(volume.mountPoint) : QString();
        fromDisk(volume, fs);
        volumes.append(volume);
    }
    volumes.append(m_networkPlaces);
    for (Volume &volume : volumes)
        if (const auto free = m_freeBytes.constFind(volume.mountPoint); free != m_freeBytes.cend())
            volume.freeBytes = *free;
    setVolumes(volumes);
}

void DevicesModel::setVolumes(QList<Volume> volumes)
{
    if (volumes == m_volumes)
        return;
    const auto roots = [](const QList<Volume> &list) {
        QList<QByteArray> mounted;
        for (const Volume &volume : list)
            if (volume.isMounted())
                mounted.append(volume.mountPoint);
        return mounted;
    };
    const QList<QByteArray> before = roots(m_volumes);
    const QList<QByteArray> after = roots(volumes);
    m_volumes = std::move(volumes);
    Q_EMIT volumesChanged();
    for (const QByteArray &root : before)
        if (!after.contains(root))
            Q_EMIT volumeGone(FilePath::fromNative(root));
    // A volume came or went: measure again (network places are not in the table's roots).
    if (before != after)
        measure();
}

// Each volume is measured on its own, so one that stopped answering leaves the others their
// free space. One measurement per volume at a time, and one listing of the network places: a
// mount that never answers holds one pool thread, not a new one at every tick.
void DevicesModel::measure()
{
    listNetworkPlaces();
    for (const Volume &volume : std::as_const(m_volumes))
        if (volume.isMounted())
            measureFreeSpace(volume.mountPoint);
}

void DevicesModel::listNetworkPlaces()
{
    if (!m_listing.isFinished()) {
        m_listAgain = true;
        return;
    }
    m_listAgain = false;
    const QFuture<QList<Volume>> work = QtConcurrent::run(FutureOwner::pool(), networkPlacesIn, m_runtimeDir);
    m_listing = work;
    m_tasks.watch(work, [this](const QList<Volume> &places) {
        m_networkPlaces = places;
        rebuild();
        if (m_listAgain)
            listNetworkPlaces();
    });
}

void DevicesModel::measureFreeSpace(const QByteArray &mountPoint)
{
    if (m_measuring.contains(mountPoint))
        return;
    m_measuring.insert(mountPoint);
    m_tasks.watch(QtConcurrent::run(FutureOwner::pool(), freeBytesAt, mountPoint),
                  [this, mountPoint](const std::optional<qint64> &free) {
                      m_measuring.remove(mountPoint);
                      const bool stillThere = std::any_of(m_volumes.cbegin(), m_volumes.cend(), [&](const Volume &v) {
                          return v.mountPoint == mountPoint;
                      });
                      if (free && stillThere)
                          m_freeBytes.insert(mountPoint, *free);
                      else
                          m_freeBytes.remove(mountPoint);
                      rebuild();
                  });
}

std::optional<DevicesModel::Volume> DevicesModel::volume(const QString &id) const
{
    for (const Volume &volume : m_volumes)
        if (volume.id == id)
            return volume;
    return std::nullopt;
}

void DevicesModel::mount(const QString &id)
{
    const std::optional<Volume> target = volume(id);
    if (!target || !target->canMount())
        return;
    m_requested.append(id);
    m_disks->mount(target->diskObject);
}

void DevicesModel::unmount(const QString &id)
{
    if (const std::optional<Volume> target = volume(id); target && target->canUnmount())
        m_disks->unmount(target->diskObject);
}

void DevicesModel::eject(const QString &id)
{
    if (const std::optional<Volume> target = volume(id); target && target->canEject())
        m_disks->eject(target->diskObject);
}

QString DevicesModel::displayName(const Volume &volume, const Localization &loc)
{
    if (volume.isRoot())
        return loc.fileSystemRoot;
    if (!volume.label.isEmpty() && !volume.host.isEmpty() && volume.label != volume.host)
        return Localization::fill(loc.networkShareFormat, {volume.label, volume.host});
    if (!volume.label.isEmpty())
        return volume.label;
    return Localization::fill(loc.volumeSizeFormat, {ByteCount::text(volume.size)});
}

QString DevicesModel::failureMessage(const UDisksClient::Outcome &outcome, const QString &name, const Localization &loc)
{
    const QString &format = outcome.request == UDisksClient::Request::mount     ? loc.mountFailedFormat
                            : outcome.request == UDisksClient::Request::unmount ? loc.unmountFailedFormat
                                                                                : loc.ejectFailedFormat;
    const QString &error = outcome.errorName;
    QString reason = outcome.errorMessage.isEmpty() ? error : outcome.errorMessage;
    if (error.endsWith(QLatin1String(".DeviceBusy")))
        reason = loc.reasonVolumeBusy;
    else if (error.contains(QLatin1String(".NotAuthorized")))
        reason = loc.reasonNotAuthorized;
    else if (error.startsWith(QLatin1String("org.freedesktop.DBus.Error.")))
        reason = loc.reasonNoDiskService;
    return Localization::fill(format, {name, reason});
}

std::pair<QString, QString> DevicesModel::networkPlace(const QByteArray &folderName)
{
    // "<scheme>:key=value,key=value", values percent-encoded.
    const qsizetype colon = folderName.indexOf(':');
    QHash<QByteArray, QString> values;
    for (const QByteArray &pair : folderName.mid(colon + 1).split(',')) {
        const qsizetype equals = pair.indexOf('=');
        if (equals > 0)
            values.insert(pair.left(equals), FileNames::decode(QByteArray::fromPercentEncoding(pair.mid(equals + 1))));
    }
    const QString host = values.value("server", values.value("host"));
    const QString share = values.value("share", values.value("prefix").section(QLatin1Char('/'), -1));
    if (colon < 0 || (host.isEmpty() && share.isEmpty()))
        return {FileNames::decode(folderName), QString()};
    return {share.isEmpty() ? host : share, host};
}
