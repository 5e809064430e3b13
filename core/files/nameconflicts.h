#pragma once
// Which names are already taken in a destination folder, and the free name kept beside a
// taken one: "report.pdf" → "report copy.pdf" → "report copy 2.pdf" …

#include "fileerror.h"

#include <QList>
#include <QString>
#include <QUrl>

class NameConflicts
{
public:
    // The sources, in input order, whose own names are taken in `directory`.
    static QList<QUrl> collisions(const QList<QUrl> &urls, const QUrl &directory);
    // `name` when free in `directory`, else the first free " copy" / " copy N" name, its base
    // shortened where needed to stay within the length a name may have.
    static QString uniqueDestinationName(const QString &name, const QUrl &directory);
    // Base and extension: only the last extension is kept apart; a name that begins with its
    // only full stop (".bashrc") or ends with one ("notes.") has no extension.
    static std::pair<QString, QString> splitExtension(const QString &name);

    // True for a name that stays inside its folder: not empty, no "/", no NUL, not "." or "..".
    static bool isPlainName(const QString &name);
    // Throws FileError (EINVAL) naming `path` unless `name` is a plain name.
    static void requirePlainName(const QString &name, FileError::Operation operation, const QString &path);
};
