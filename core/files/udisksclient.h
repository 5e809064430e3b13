#pragma once
// The disks the system's disk service (UDisks2, on the system bus) knows: every file system on
// a drive, mounted or not, with the drive's removable and ejectable facts; and the requests a
// user may make of it: mount, unmount, eject. Requests are asynchronous; each ends with one
// `finished` carrying the service's error when it refused or failed.
//
// The list is fetched again whenever the service reports a change (a disk added or removed, a
// file system mounted or unmounted), so it always matches the service's own view.

#include <QByteArray>
#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QDBusPendingCall;

class UDisksClient : public QObject
{
    Q_OBJECT

public:
    enum class Request { mount, unmount, eject };
    Q_ENUM(Request)

    struct FileSystem
    {
        QString object;         // the block device's object path
        QByteArray device;      // "/dev/sdb1"
        QString label;          // may be empty
        qint64 size = 0;
        QList<QByteArray> mountPoints;
        QString drive;          // the drive's object path, "/" for none
        QString driveModel;
        bool removable = false; // on a drive whose media can be taken out, or a USB or card drive
        bool ejectable = false;
        bool hidden = false;    // the service's hint: a system partition, or not for users
        friend bool operator==(const FileSystem &, const FileSystem &) = default;
    };

    struct Outcome
    {
        Request request = Request::mount;
        QString object;
        QByteArray mountPoint; // where a mount went
        QString errorName;     // empty on success
        QString errorMessage;
        bool succeeded() const { return errorName.isEmpty(); }
    };

    explicit UDisksClient(const QDBusConnection &bus, QObject *parent = nullptr);

    const QList<FileSystem> &fileSystems() const { return m_fileSystems; }
    bool isAvailable() const { return m_available; }

    void mount(const QString &object);
    void unmount(const QString &object);
    // Unmounts every file system of the drive holding `object`, then ejects the drive.
    void eject(const QString &object);

Q_SIGNALS:
    void fileSystemsChanged();
    void finished(const UDisksClient::Outcome &outcome);

private Q_SLOTS:
    // Named by the bus's string-based signal connections.
    void scheduleRefresh();

private:
    void refresh();
    void callFileSystem(Request request, const QString &object, const QString &method);
    void unmountThenEject(QList<QString> mounted, const QString &drive, const QString &object);
    void whenDone(const QDBusPendingCall &call, std::function<void(const QDBusPendingCall &)> done);

    QDBusConnection m_bus;
    QList<FileSystem> m_fileSystems;
    bool m_available = false;
    bool m_refreshPending = false;
};

Q_DECLARE_METATYPE(UDisksClient::Outcome)
