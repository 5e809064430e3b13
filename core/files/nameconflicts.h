#pragma once
// Which names are already taken in a destination folder, and the free name kept beside a
// taken one: "report.pdf" → "report copy.pdf" → "report copy 2.pdf" …

#include "fileerror.h"

#include <QList>
#include <QString>
#include "filepath.h"

class NameConflicts
{
public:
    // The sources, in input order, whose own names are taken in `directory`.
    static QList<FilePath> collisions(const QList<FilePath> &urls, const FilePath &directory);
    // `name` when free in `directory`, else the first free " copy" / " copy N" name, its base
    // shortened where needed to stay within the length a name may have.
    static QString uniqueDestinationName(const QString &name, const FilePath &directory);

    // True for a name that stays inside its folder: not empty, no "/", no NUL, not "." or "..".
    static bool isPlainName(const QString &name);
    // Throws FileError (EINVAL) naming `path` unless `name` is a plain name.
    static void requirePlainName(const QString &name, FileError::Operation operation, const QString &path);
};
