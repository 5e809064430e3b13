#include "favorite.h"

#include <QHashFunctions>

QJsonObject Favorite::toJson() const
{
    return QJsonObject{
        {QStringLiteral("id"), id.toString(QUuid::WithoutBraces).toUpper()},
        {QStringLiteral("name"), name},
        {QStringLiteral("path"), path},
    };
}

std::optional<Favorite> Favorite::fromJson(const QJsonObject &object)
{
    const QJsonValue id = object.value(QStringLiteral("id"));
    const QJsonValue name = object.value(QStringLiteral("name"));
    const QJsonValue path = object.value(QStringLiteral("path"));
    if (!id.isString() || !name.isString() || !path.isString())
        return std::nullopt;
    // Only the plain 8-4-4-4-12 form: braces or other spellings are not what we write. The nil
    // UUID is a UUID too, though QUuid answers it as it answers text that is none.
    const QString idText = id.toString();
    const QUuid uuid = QUuid::fromString(idText);
    static const QString nil = QUuid().toString(QUuid::WithoutBraces);
    if (idText.size() != 36 || (uuid.isNull() && idText != nil))
        return std::nullopt;
    return Favorite{uuid, name.toString(), path.toString()};
}

size_t qHash(const Favorite &favorite, size_t seed)
{
    return qHashMulti(seed, favorite.id, favorite.name, favorite.path);
}
