#pragma once
// Creating, renaming, copying, moving and duplicating single items, and the transfers that
// settle a taken destination name by replacing, keeping both or skipping.
//
// Nothing here ever replaces an item in place: renames and moves use a no-replace rename, copies
// appear under their name only once complete, and `replace` sends the occupant to the Trash
// first. A folder is never copied or moved into itself, and `replace` never trashes the source
// or a folder that holds it.

#include "filesystemservice.h"

#include <QString>
#include <QUrl>

class ItemTransfer
{
public:
    static QUrl createDirectory(const QString &name, const QUrl &parent);
    static QUrl createFile(const QString &name, const QUrl &parent);
    static QUrl rename(const QUrl &url, const QString &newName);
    static QUrl move(const QUrl &url, const QUrl &directory, const CopyControl &control = {});
    static QUrl copy(const QUrl &url, const QUrl &directory, const CopyControl &control = {});
    static TransferOutcome copy(const QUrl &url, const QUrl &directory, ConflictResolution resolution,
                                const CopyControl &control = {});
    static TransferOutcome move(const QUrl &url, const QUrl &directory, ConflictResolution resolution,
                                const CopyControl &control = {});
    static QUrl duplicate(const QUrl &url, const CopyControl &control = {});
};
