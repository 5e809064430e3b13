#pragma once
// One bookmark of the sidebar: a folder by its absolute path, under a name. Stored as a JSON
// object {"id", "name", "path"}, the id as an upper-case UUID.

#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

struct Favorite
{
    QUuid id;
    QString name;
    QString path;

    [[nodiscard]] QJsonObject toJson() const;
    // None unless all three keys are there, as texts, and the id is a UUID.
    [[nodiscard]] static std::optional<Favorite> fromJson(const QJsonObject &object);

    bool operator==(const Favorite &) const = default;
};

size_t qHash(const Favorite &favorite, size_t seed = 0);
