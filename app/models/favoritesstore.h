#pragma once
// The user's bookmarks in sidebar order, kept in the program's settings file under "favorites"
// as JSON, and written back on every change. Each change starts from what the file holds, so
// windows of the program sharing it don't undo each other's. Used on the main thread only.
//
// A stored value that doesn't decode (edited by hand, written by something else) gives an empty
// list, but it is not thrown away: the first write copies it under "favorites.unreadable" (or
// the next free "favorites.unreadable.N") before replacing it, so one bad read never destroys
// the user's bookmarks.

#include "favorite.h"

#include <QList>
#include <QObject>
#include "filepath.h"
#include <QUuid>

#include <memory>

class QSettings;

class FavoritesStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QList<Favorite> items READ items NOTIFY itemsChanged)

public:
    static inline const QString key = QStringLiteral("favorites");

    // Reads the bookmarks from the INI file at `storePath` (the program's settings file when
    // empty); writes nothing.
    explicit FavoritesStore(const QString &storePath = {}, QObject *parent = nullptr);
    ~FavoritesStore() override;

    const QList<Favorite> &items() const { return m_items; }

    // Appends a bookmark for the folder, named after its last component ("/" for the root);
    // a folder whose path text is already bookmarked is not added twice.
    void add(const FilePath &folder);
    // Removes every bookmark with that id.
    void remove(QUuid id);
    // Moves the bookmarks at `offsets` so that they land, in their order, before the one that
    // was at `destination` (or at the end). Offsets outside the list are ignored, and nothing
    // moves when another window changed the list since (the offsets would name other rows).
    void move(const QList<int> &offsets, int destination);

    // The encoded form, and the list a stored value decodes to (none when it doesn't).
    [[nodiscard]] static QByteArray encode(const QList<Favorite> &items);
    [[nodiscard]] static std::optional<QList<Favorite>> decode(const QByteArray &data);

Q_SIGNALS:
    void itemsChanged();

private:
    void load();
    bool refresh();
    void setItems(QList<Favorite> items);
    void keepUnreadableAside();
    void persist();

    std::unique_ptr<QSettings> m_defaults;
    QList<Favorite> m_items;
    QByteArray m_unreadable; // what was stored but didn't decode, until it is kept aside
};
