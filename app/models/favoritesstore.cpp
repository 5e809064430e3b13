#include "favoritesstore.h"

#include "appsettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>

#include <algorithm>

FavoritesStore::FavoritesStore(const QString &storePath, QObject *parent)
    : QObject(parent),
      m_defaults(std::make_unique<QSettings>(storePath.isEmpty() ? AppSettings::standardStorePath() : storePath,
                                             QSettings::IniFormat))
{
    load();
}

FavoritesStore::~FavoritesStore() = default;

QByteArray FavoritesStore::encode(const QList<Favorite> &items)
{
    QJsonArray array;
    for (const Favorite &favorite : items)
        array.append(favorite.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QList<Favorite>> FavoritesStore::decode(const QByteArray &data)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<Favorite> items;
    for (const QJsonValue &element : document.array()) {
        const std::optional<Favorite> favorite = Favorite::fromJson(element.toObject());
        if (!favorite)
            return std::nullopt;
        items.append(*favorite);
    }
    return items;
}

namespace {

// Written by us the value is a byte array; a hand-edited file may hold plain text, which the
// INI reader splits into a list at unquoted commas.
QByteArray storedBytes(const QVariant &stored)
{
    switch (stored.typeId()) {
    case QMetaType::QString: return stored.toString().toUtf8();
    case QMetaType::QStringList: return stored.toStringList().join(QLatin1Char(',')).toUtf8();
    default: return stored.toByteArray();
    }
}

} // namespace

void FavoritesStore::load()
{
    const QByteArray data = storedBytes(m_defaults->value(key));
    if (data.isEmpty())
        return;
    if (const std::optional<QList<Favorite>> items = decode(data))
        m_items = *items;
    else
        m_unreadable = data;
}

// Another window of the program may have changed the bookmarks since this one read them: a
// change starts from what the file holds now, so it doesn't put back what that window did.
// True when the list is as it was.
bool FavoritesStore::refresh()
{
    m_defaults->sync();
    const QList<Favorite> before = m_items;
    load();
    if (m_items == before)
        return true;
    Q_EMIT itemsChanged();
    return false;
}

void FavoritesStore::add(const FilePath &folder)
{
    refresh();
    const QString path = folder.path();
    const bool known = std::any_of(m_items.cbegin(), m_items.cend(), [&](const Favorite &f) { return f.path == path; });
    if (known)
        return;
    const QString name = folder.fileName();
    QList<Favorite> items = m_items;
    items.append({QUuid::createUuid(), name.isEmpty() ? QStringLiteral("/") : name, path});
    setItems(std::move(items));
}

// By value: a caller's id is often a bookmark's own, which the refresh frees.
void FavoritesStore::remove(QUuid id)
{
    refresh();
    QList<Favorite> items = m_items;
    items.removeIf([&](const Favorite &favorite) { return favorite.id == id; });
    setItems(std::move(items));
}

void FavoritesStore::move(const QList<int> &offsets, int destination)
{
    // The offsets count in the list the user saw; once it has changed they name other rows.
    if (!refresh())
        return;
    QList<int> moving;
    for (int offset : offsets)
        if (offset >= 0 && offset < m_items.size() && !moving.contains(offset))
            moving.append(offset);
    std::sort(moving.begin(), moving.end());
    destination = std::clamp<int>(destination, 0, m_items.size());

    QList<Favorite> moved;
    QList<Favorite> rest;
    int insertAt = destination;
    for (int i = 0; i < m_items.size(); ++i) {
        if (moving.contains(i)) {
            moved.append(m_items.at(i));
            if (i < destination)
                --insertAt;
        } else {
            rest.append(m_items.at(i));
        }
    }
    for (int i = 0; i < moved.size(); ++i)
        rest.insert(insertAt + i, moved.at(i));
    setItems(std::move(rest));
}

// Every call writes, even when nothing changed; observers hear only changes.
void FavoritesStore::setItems(QList<Favorite> items)
{
    const bool differs = items != m_items;
    m_items = std::move(items);
    persist();
    if (differs)
        Q_EMIT itemsChanged();
}

void FavoritesStore::keepUnreadableAside()
{
    if (m_unreadable.isEmpty())
        return;
    QString aside = key + QStringLiteral(".unreadable");
    for (int n = 1; m_defaults->contains(aside); ++n)
        aside = key + QStringLiteral(".unreadable.") + QString::number(n);
    m_defaults->setValue(aside, m_unreadable);
    m_unreadable.clear();
}

void FavoritesStore::persist()
{
    keepUnreadableAside();
    m_defaults->setValue(key, encode(m_items));
    m_defaults->sync();
}
