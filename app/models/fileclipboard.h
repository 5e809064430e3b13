#pragma once
// What was last copied or cut in this program: the items, in the order of the selection they
// came from, and whether pasting copies or moves them.

#include "clipboardoperation.h"

#include <QList>
#include <QMetaType>
#include "filepath.h"

struct FileClipboard
{
    QList<FilePath> urls;
    ClipboardOperation operation = ClipboardOperation::copy;

    friend bool operator==(const FileClipboard &, const FileClipboard &) = default;
};

Q_DECLARE_METATYPE(FileClipboard)
