#include "bulkrenamer.h"

#include "fileerror.h"
#include "nameconflicts.h"
#include "posixfs.h"
#include "temporaryname.h"


#include <cerrno>

namespace {

struct Move
{
    QString original;
    QString temporary;
    QString final;
};

// The moves to make, in input order. Checks every name before anything on disk changes.
QList<Move> planMoves(const QList<RenamePair> &pairs)
{
    QList<Move> moves;
    for (const RenamePair &pair : pairs) {
        if (pair.newName.isEmpty() || pair.newName == pair.url.fileName())
            continue;
        NameConflicts::requirePlainName(pair.newName, FileError::Operation::Rename, pair.url.path());
        const FilePath folder = pair.url.parentDir();
        const QString temporary = TemporaryName::make(BulkRenamer::temporaryPrefix);
        moves.append({pair.url.path(), folder.pathAppended(temporary).path(), folder.pathAppended(pair.newName).path()});
    }
    return moves;
}

bool tryMove(const BulkRenamer::Mover &move, const QString &from, const QString &to)
{
    try {
        move(from, to, from);
        return true;
    } catch (const FileError &) {
        return false;
    }
}

// Undoes the moves made so far, newest first, so a name freed by a later move is free again
// when an earlier item wants it back. Returns a line for every item that could not go back.
QList<ErrorNote> putBack(const QList<Move> &moves, qsizetype staged, qsizetype placed, const BulkRenamer::Mover &move)
{
    QList<ErrorNote> stranded;
    QList<bool> atTemporary(staged, true);
    for (qsizetype i = placed - 1; i >= 0; --i) {
        if (tryMove(move, moves[i].final, moves[i].temporary))
            continue;
        atTemporary[i] = false;
        stranded << ErrorNote(ErrorNote::Kind::leftUnderNewName, {moves[i].original, moves[i].final});
    }
    for (qsizetype i = staged - 1; i >= 0; --i) {
        if (atTemporary[i] && !tryMove(move, moves[i].temporary, moves[i].original))
            stranded << ErrorNote(ErrorNote::Kind::leftUnderHiddenName, {moves[i].original, moves[i].temporary});
    }
    return stranded;
}

} // namespace

void BulkRenamer::apply(const QList<RenamePair> &pairs)
{
    apply(pairs, [](const QString &from, const QString &to, const QString &errorPath) {
        PosixFs::renameNoReplace(from, to, FileError::Operation::Rename, errorPath);
    });
}

void BulkRenamer::apply(const QList<RenamePair> &pairs, const Mover &move)
{
    const QList<Move> moves = planMoves(pairs);
    qsizetype staged = 0;
    qsizetype placed = 0;
    try {
        for (; staged < moves.size(); ++staged)
            move(moves[staged].original, moves[staged].temporary, moves[staged].original);
        for (; placed < moves.size(); ++placed)
            move(moves[placed].temporary, moves[placed].final, moves[placed].original);
    } catch (const FileError &error) {
        const QList<ErrorNote> stranded = putBack(moves, staged, placed, move);
        if (stranded.isEmpty())
            throw;
        throw FileError(error.operation(), error.code(), error.path(), error.notes() + stranded);
    }
}
