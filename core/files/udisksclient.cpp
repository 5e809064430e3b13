#include "udisksclient.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QMap>
#include <QTimer>
#include <QVariantMap>

#include <functional>

namespace {

const QString service = QStringLiteral("org.freedesktop.UDisks2");
const QString rootObject = QStringLiteral("/org/freedesktop/UDisks2");
const QString blockInterface = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString fileSystemInterface = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString driveInterface = QStringLiteral("org.freedesktop.UDisks2.Drive");

using Interfaces = QMap<QString, QVariantMap>;

// The service hands paths as NUL-terminated byte strings.
QByteArray withoutNul(QByteArray bytes)
{
    while (bytes.endsWith('\0'))
        bytes.chop(1);
    return bytes;
}

QList<QByteArray> byteStrings(const QVariant &value)
{
    QList<QByteArray> result;
    if (!value.canConvert<QDBusArgument>())
        return result;
    const QDBusArgument argument = value.value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd()) {
        QByteArray bytes;
        argument >> bytes;
        result.append(withoutNul(bytes));
    }
    argument.endArray();
    return result;
}

// The answer of GetManagedObjects: a{oa{sa{sv}}}.
QMap<QString, Interfaces> managedObjects(const QDBusArgument &argument)
{
    QMap<QString, Interfaces> objects;
    argument.beginMap();
    while (!argument.atEnd()) {
        QDBusObjectPath path;
        Interfaces interfaces;
        argument.beginMapEntry();
        argument >> path;
        argument.beginMap();
        while (!argument.atEnd()) {
            QString name;
            QVariantMap properties;
            argument.beginMapEntry();
            argument >> name >> properties;
            argument.endMapEntry();
            interfaces.insert(name, properties);
        }
        argument.endMap();
        argument.endMapEntry();
        objects.insert(path.path(), interfaces);
    }
    argument.endMap();
    return objects;
}

UDisksClient::FileSystem fileSystem(const QString &object, const Interfaces &interfaces,
                                    const QMap<QString, Interfaces> &objects)
{
    const QVariantMap block = interfaces.value(blockInterface);
    UDisksClient::FileSystem fs;
    fs.object = object;
    fs.device = withoutNul(block.value(QStringLiteral("PreferredDevice")).toByteArray());
    if (fs.device.isEmpty())
        fs.device = withoutNul(block.value(QStringLiteral("Device")).toByteArray());
    fs.label = block.value(QStringLiteral("IdLabel")).toString();
    fs.size = block.value(QStringLiteral("Size")).toLongLong();
    fs.mountPoints = byteStrings(interfaces.value(fileSystemInterface).value(QStringLiteral("MountPoints")));
    fs.drive = block.value(QStringLiteral("Drive")).value<QDBusObjectPath>().path();
    fs.hidden = block.value(QStringLiteral("HintIgnore")).toBool() || block.value(QStringLiteral("HintSystem")).toBool();
    const QVariantMap drive = objects.value(fs.drive).value(driveInterface);
    fs.driveModel = drive.value(QStringLiteral("Model")).toString();
    fs.ejectable = drive.value(QStringLiteral("Ejectable")).toBool();
    fs.removable = drive.value(QStringLiteral("Removable")).toBool() || drive.value(QStringLiteral("MediaRemovable")).toBool()
                   || fs.ejectable;
    return fs;
}

} // namespace

UDisksClient::UDisksClient(const QDBusConnection &bus, QObject *parent) : QObject(parent), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    // Any change the service announces is followed by one fresh look at all of it.
    m_bus.connect(service, rootObject, QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                  QStringLiteral("InterfacesAdded"), this, SLOT(scheduleRefresh()));
    m_bus.connect(service, rootObject, QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                  QStringLiteral("InterfacesRemoved"), this, SLOT(scheduleRefresh()));
    m_bus.connect(service, QString(), QStringLiteral("org.freedesktop.DBus.Properties"),
                  QStringLiteral("PropertiesChanged"), this, SLOT(scheduleRefresh()));
    auto *watcher = new QDBusServiceWatcher(service, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &UDisksClient::scheduleRefresh);
    refresh();
}

void UDisksClient::scheduleRefresh()
{
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QTimer::singleShot(0, this, &UDisksClient::refresh);
}

void UDisksClient::refresh()
{
    m_refreshPending = false;
    const QDBusMessage call = QDBusMessage::createMethodCall(service, rootObject, QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                                                             QStringLiteral("GetManagedObjects"));
    whenDone(m_bus.asyncCall(call), [this](const QDBusPendingCall &reply) {
        QList<FileSystem> found;
        const bool available = !reply.isError();
        if (available) {
            const QMap<QString, Interfaces> objects = managedObjects(reply.reply().arguments().value(0).value<QDBusArgument>());
            for (auto it = objects.begin(); it != objects.end(); ++it)
                if (it->contains(fileSystemInterface) && it->contains(blockInterface))
                    found.append(fileSystem(it.key(), *it, objects));
        }
        if (found == m_fileSystems && available == m_available)
            return;
        m_fileSystems = found;
        m_available = available;
        Q_EMIT fileSystemsChanged();
    });
}

void UDisksClient::whenDone(const QDBusPendingCall &call, std::function<void(const QDBusPendingCall &)> done)
{
    auto *watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [done = std::move(done)](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        done(*w);
    });
}

void UDisksClient::callFileSystem(Request request, const QString &object, const QString &method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, object, fileSystemInterface, method);
    call << QVariantMap();
    whenDone(m_bus.asyncCall(call), [this, request, object](const QDBusPendingCall &reply) {
        Outcome outcome{request, object, {}, reply.error().name(), reply.error().message()};
        if (request == Request::mount && outcome.succeeded())
            outcome.mountPoint = reply.reply().arguments().value(0).toString().toUtf8();
        Q_EMIT finished(outcome);
    });
}

void UDisksClient::mount(const QString &object)
{
    callFileSystem(Request::mount, object, QStringLiteral("Mount"));
}

void UDisksClient::unmount(const QString &object)
{
    callFileSystem(Request::unmount, object, QStringLiteral("Unmount"));
}

void UDisksClient::eject(const QString &object)
{
    const auto it = std::find_if(m_fileSystems.begin(), m_fileSystems.end(), [&](const FileSystem &fs) { return fs.object == object; });
    if (it == m_fileSystems.end() || it->drive.isEmpty() || it->drive == QLatin1String("/")) {
        Q_EMIT finished({Request::eject, object, {}, QStringLiteral("org.freedesktop.UDisks2.Error.NotSupported"), QString()});
        return;
    }
    QList<QString> mounted;
    for (const FileSystem &fs : std::as_const(m_fileSystems))
        if (fs.drive == it->drive && !fs.mountPoints.isEmpty())
            mounted.append(fs.object);
    unmountThenEject(mounted, it->drive, object);
}

// One file system at a time: the first refusal stops the eject with that refusal's reason.
void UDisksClient::unmountThenEject(QList<QString> mounted, const QString &drive, const QString &object)
{
    QDBusMessage call = mounted.isEmpty()
                            ? QDBusMessage::createMethodCall(service, drive, driveInterface, QStringLiteral("Eject"))
                            : QDBusMessage::createMethodCall(service, mounted.takeFirst(), fileSystemInterface,
                                                             QStringLiteral("Unmount"));
    call << QVariantMap();
    const bool last = call.interface() == driveInterface;
    whenDone(m_bus.asyncCall(call), [this, mounted, drive, object, last](const QDBusPendingCall &reply) {
        if (reply.isError() || last)
            Q_EMIT finished({Request::eject, object, {}, reply.error().name(), reply.error().message()});
        else
            unmountThenEject(mounted, drive, object);
    });
}
