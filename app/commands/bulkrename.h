#pragma once
// Planning of a bulk rename: turns items and one rule into the names they would get. Pure; the
// renames themselves are done by the core (FileSystemService::applyBulkRename).

#include "fileitem.h"
#include "renamepair.h"

#include <QHash>
#include <QList>
#include <QString>

// One planned rename. The new name may equal the old one, or be empty; such entries are dropped
// before anything is applied. Both names are lossless text (see FileNames): show them through
// FileNames::displayName.
struct RenameEntry
{
    FilePath url;
    QString oldName;
    QString newName;

    const FilePath &id() const { return url; }
    // A change worth applying: a new, non-empty name.
    bool changesName() const { return !newName.isEmpty() && newName != oldName; }

    friend bool operator==(const RenameEntry &, const RenameEntry &) = default;
};

inline size_t qHash(const RenameEntry &entry, size_t seed = 0)
{
    return qHashMulti(seed, entry.url, entry.oldName, entry.newName);
}

class BulkRename
{
public:
    BulkRename() = delete;

    // The rule: replace a piece of text, or number the items under a common base name.
    struct Mode
    {
        enum class Kind { findReplace, sequence };

        static Mode findReplace(QString find, QString replace)
        {
            return Mode{Kind::findReplace, std::move(find), std::move(replace), {}, 1, 2};
        }
        static Mode sequence(QString base, int start, int padding)
        {
            return Mode{Kind::sequence, {}, {}, std::move(base), start, padding};
        }

        Kind kind = Kind::findReplace;
        QString find;
        QString replace;
        QString base;
        int start = 1;
        int padding = 2;

        friend bool operator==(const Mode &, const Mode &) = default;
    };

    // One entry per item, in the order given.
    [[nodiscard]] static QList<RenameEntry> plan(const QList<FileItem> &items, const Mode &mode);
    // The entries that change a name, in order, as the pairs the core applies.
    [[nodiscard]] static QList<RenamePair> changes(const QList<RenameEntry> &entries);
};
