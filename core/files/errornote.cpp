#include "errornote.h"

#include "bytecount.h"
#include "fileerror.h"

#include <QLocale>

#include <algorithm>

namespace {

using Kind = ErrorNote::Kind;

QString format(Kind kind)
{
    switch (kind) {
    case Kind::noRoomIn: return QStringLiteral("there is no room left in “%1”");
    case Kind::notWritable: return QStringLiteral("the folder “%1” can't be written to");
    case Kind::needsMoreRoom: return QStringLiteral("it needs %1, but only %2 are free in “%3”");
    case Kind::folderAboveMoved: return QStringLiteral("a folder above it was moved meanwhile");
    case Kind::specialFile: return QStringLiteral("pipes, sockets and device files can't be copied");
    case Kind::intoItself: return QStringLiteral("a folder can't be put inside itself");
    case Kind::cantBeEmptied: return QStringLiteral("the items in it can't be deleted, so nothing was moved");
    case Kind::copiedButNotDeleted:
        return QStringLiteral("it was copied in full to “%1”, but the original could not be deleted completely "
                              "(“%2”); both copies exist and nothing is lost");
    case Kind::copiedButSomeLeft:
        return QStringLiteral("it was copied to “%1”, but these were written to or appeared during the move and "
                              "were left where they were: %2");
    case Kind::holdsReplacement: return QStringLiteral("it holds the item that was to replace it");
    case Kind::replacedIsInTrash: return QStringLiteral("the item it was to replace is in the Trash at “%1”");
    case Kind::nowNamed: return QStringLiteral("it is now named “%1”");
    case Kind::keptAs: return QStringLiteral("it could not be given its name back and is kept as “%1”");
    case Kind::leftUnderNewName: return QStringLiteral("“%1” is left under its new name “%2”");
    case Kind::leftUnderHiddenName: return QStringLiteral("“%1” is left under the hidden name “%2”");
    case Kind::invalidName: return QStringLiteral("“%1” is not a valid name");
    case Kind::nameNotUtf8: return QStringLiteral("its name isn't valid UTF-8");
    case Kind::linkTargetNotUtf8: return QStringLiteral("its link target isn't valid UTF-8");
    case Kind::changedWhileCompressed: return QStringLiteral("the file changed while it was being compressed");
    case Kind::entryTwice: return QStringLiteral("the entry “%1” appears twice");
    case Kind::entryOutside: return QStringLiteral("the entry “%1” would lie outside the folder");
    case Kind::linkOutside: return QStringLiteral("the link “%1” points outside the folder");
    case Kind::noVolumeTrash: return QStringLiteral("no Trash folder can be made on its volume");
    case Kind::trashNotMade: return QStringLiteral("the Trash folder can't be made");
    case Kind::trashNotUsable: return QStringLiteral("the Trash folder can't be used");
    case Kind::outsideVolume: return QStringLiteral("its original place lies outside its volume");
    case Kind::noOriginalPlace: return QStringLiteral("its Trash record has no usable original place");
    case Kind::notInTrash: return QStringLiteral("it isn't in a Trash folder");
    case Kind::recordUnreadable: return QStringLiteral("its Trash record can't be read");
    case Kind::staysInTrash: return QStringLiteral("it stays in the Trash");
    case Kind::inTheWay: return QStringLiteral("“%1” is in the way of its original folder");
    case Kind::folderNotRecreated: return QStringLiteral("its original folder can't be recreated");
    case Kind::mountPoint: return QStringLiteral("another volume is mounted there, and nothing on it was deleted");
    case Kind::systemReason:
    case Kind::libraryText: break;
    }
    return QStringLiteral("%1");
}

// The items a listing note names: the first ones after its leading argument.
constexpr qsizetype listedAtMost = 20;

} // namespace

ErrorNote::ErrorNote(Kind kind, QStringList args) : m_kind(kind), m_args(std::move(args)) {}

ErrorNote ErrorNote::systemReason(int err)
{
    return ErrorNote(Kind::systemReason, {QString::number(err)});
}

ErrorNote ErrorNote::libraryText(const QString &text)
{
    return ErrorNote(Kind::libraryText, {text});
}

QStringList ErrorNote::listedItems() const
{
    return m_args.mid(1, listedAtMost);
}

qsizetype ErrorNote::unlistedItems() const
{
    return std::max<qsizetype>(0, m_args.size() - 1 - listedAtMost);
}

QString ErrorNote::english() const
{
    switch (m_kind) {
    case Kind::systemReason: return FileError::errnoText(errorCode());
    case Kind::libraryText: return m_args.value(0).isEmpty() ? QStringLiteral("unknown error") : m_args.value(0);
    case Kind::needsMoreRoom:
        return format(m_kind).arg(ByteCount::text(m_args.value(0).toLongLong(), QLocale::c()),
                                  ByteCount::text(m_args.value(1).toLongLong(), QLocale::c()), m_args.value(2));
    case Kind::copiedButSomeLeft: {
        QString list = listedItems().join(QStringLiteral(", "));
        if (unlistedItems() > 0)
            list += QStringLiteral(" and %1 more").arg(unlistedItems());
        return format(m_kind).arg(m_args.value(0), list);
    }
    default: break;
    }
    // All at once, so a name holding "%2" isn't taken for a placeholder.
    switch (m_args.size()) {
    case 0: return format(m_kind);
    case 1: return format(m_kind).arg(m_args[0]);
    default: return format(m_kind).arg(m_args[0], m_args[1]);
    }
}
