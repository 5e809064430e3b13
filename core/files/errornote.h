#pragma once
// A fact a failed file operation adds to its reason: where the room ran out, what was left
// where, which name is in the way. It is kept as a kind with the names and figures it needs, so
// the interface can word it in its own language; english() words it for logs and what().

#include <QString>
#include <QStringList>

class ErrorNote
{
public:
    enum class Kind {
        noRoomIn,             // folder
        notWritable,          // folder
        needsMoreRoom,        // bytes needed, bytes free, folder
        folderAboveMoved,
        specialFile,
        intoItself,
        cantBeEmptied,
        copiedButNotDeleted,  // the copy, the item that stayed
        copiedButSomeLeft,    // the copy, then every item left behind
        holdsReplacement,
        replacedIsInTrash,    // where in the Trash
        nowNamed,             // the temporary path
        keptAs,               // the hidden path
        leftUnderNewName,     // original, new name
        leftUnderHiddenName,  // original, hidden name
        invalidName,          // name
        nameNotUtf8,
        linkTargetNotUtf8,
        changedWhileCompressed,
        entryTwice,           // entry name
        entryOutside,         // entry name
        linkOutside,          // link name
        noVolumeTrash,
        trashNotMade,
        trashNotUsable,
        outsideVolume,
        noOriginalPlace,
        notInTrash,
        recordUnreadable,
        staysInTrash,
        inTheWay,             // the path that is in the way
        folderNotRecreated,
        mountPoint,
        systemReason,         // an errno value
        libraryText,          // words from a library, shown as they are (none: nothing to add)
    };

    explicit ErrorNote(Kind kind, QStringList args = {});
    static ErrorNote systemReason(int err);
    static ErrorNote libraryText(const QString &text);

    Kind kind() const { return m_kind; }
    const QStringList &args() const { return m_args; }
    // The errno value of a systemReason note.
    int errorCode() const { return m_args.value(0).toInt(); }

    [[nodiscard]] QString english() const;

    // A note that lists items (copiedButSomeLeft) names the first few and counts the rest.
    QStringList listedItems() const;
    qsizetype unlistedItems() const;

    bool operator==(const ErrorNote &) const = default;

private:
    Kind m_kind;
    QStringList m_args;
};
