#pragma once
// The disk service stood in for by python3-dbusmock (udisks2template.py beside this file) on a
// session bus of the test's own. isRunning() is false where dbus-daemon or python3-dbusmock
// is missing; tests skip then.

#include "fakeprograms.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

class UDisksMock
{
public:
    explicit UDisksMock(const QString &templatePath)
    {
        if (m_bus.address().isEmpty() || !QFileInfo::exists(QStringLiteral("/usr/bin/python3")))
            return;
        m_connection = QDBusConnection::connectToBus(m_bus.address(), QStringLiteral("udisks-mock"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address());
        m_service.setProcessEnvironment(environment);
        m_service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The system's own Python: that is where the python3-dbusmock package lives.
        m_service.start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"), templatePath});
        for (int tries = 0; tries < 100 && m_service.state() != QProcess::NotRunning; ++tries) {
            if (m_connection.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.UDisks2")))
                return;
            QTest::qWait(50);
        }
        m_connection = QDBusConnection(QString());
    }
    ~UDisksMock()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("udisks-mock"));
        m_service.kill();
        m_service.waitForFinished();
    }

    bool isRunning() const { return m_connection.isConnected(); }
    QDBusConnection bus() const { return m_connection; }

    // A drive holding one file system labelled `label` that mounts at `folder`; gives the file
    // system's object path.
    QString addDrive(const QString &name, const QString &label, const QString &folder, bool ejectable = true)
    {
        return call(QStringLiteral("AddDrive"), {name, label, folder, ejectable}).value(0).toString();
    }
    // The next request made of `object` fails with this D-Bus error.
    void refuse(const QString &object, const QString &errorName, const QString &message)
    {
        call(QStringLiteral("Refuse"), {object, errorName, message});
    }

private:
    QVariantList call(const QString &method, const QVariantList &arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.UDisks2"),
                                                              QStringLiteral("/org/freedesktop/UDisks2"),
                                                              QStringLiteral("org.freedesktop.DBus.Mock"), method);
        message.setArguments(arguments);
        return m_connection.call(message).arguments();
    }

    PrivateBus m_bus;
    QDBusConnection m_connection{QString()};
    QProcess m_service;
};
