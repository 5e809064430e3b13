#pragma once
// The connections a view keeps to a model it may swap for another (the tab it shows, the tabs of
// its pane): collected as they are made, dropped together when the view moves on.

#include <QList>
#include <QMetaObject>
#include <QObject>

class ConnectionGroup
{
public:
    ConnectionGroup() = default;
    ConnectionGroup(const ConnectionGroup &) = delete;
    ConnectionGroup &operator=(const ConnectionGroup &) = delete;

    ConnectionGroup &operator<<(const QMetaObject::Connection &connection)
    {
        m_connections << connection;
        return *this;
    }

    void disconnectAll()
    {
        for (const QMetaObject::Connection &connection : std::as_const(m_connections))
            QObject::disconnect(connection);
        m_connections.clear();
    }

private:
    QList<QMetaObject::Connection> m_connections;
};
