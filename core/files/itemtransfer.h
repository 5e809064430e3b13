#pragma once
// Creating, renaming, copying, moving and duplicating single items, and the transfers that
// settle a taken destination name by replacing, keeping both or skipping.
//
// Nothing here ever replaces an item in place: renames and moves use a no-replace rename, copies
// appear under their name only once complete, and `replace` sends the occupant to the Trash
// first (and back, should the transfer be cancelled). A folder is never copied or moved into
// itself, and `replace` never trashes the source or a folder that holds it.

#include "copycontrol.h"
#include "filepath.h"
#include "transferoutcome.h"

#include <QString>

class ItemTransfer
{
public:
    static FilePath createDirectory(const QString &name, const FilePath &parent);
    static FilePath createFile(const QString &name, const FilePath &parent);
    static FilePath rename(const FilePath &url, const QString &newName);
    static FilePath move(const FilePath &url, const FilePath &directory, const CopyControl &control = {});
    static FilePath copy(const FilePath &url, const FilePath &directory, const CopyControl &control = {});
    static TransferOutcome copy(const FilePath &url, const FilePath &directory, ConflictResolution resolution,
                                const CopyControl &control = {});
    static TransferOutcome move(const FilePath &url, const FilePath &directory, ConflictResolution resolution,
                                const CopyControl &control = {});
    static FilePath duplicate(const FilePath &url, const CopyControl &control = {});
};
