#include "errortext.h"

#include "bytecount.h"
#include "filenames.h"
#include "urls.h"

#include <initializer_list>
#include <cstring>
#include <locale.h>

namespace {

const QString &formatFor(FileError::Operation operation, ErrorText::Subject subject, const Localization &texts)
{
    using Op = FileError::Operation;
    switch (operation) {
    case Op::Read: return texts.readFailedFormat;
    case Op::List: return texts.listFailedFormat;
    case Op::Create:
        switch (subject) {
        case ErrorText::Subject::folder: return texts.createFolderFailedFormat;
        case ErrorText::Subject::file: return texts.createFileFailedFormat;
        case ErrorText::Subject::item: break;
        }
        return texts.createFailedFormat;
    case Op::Rename: return texts.renameFailedFormat;
    case Op::Move: return texts.moveFailedFormat;
    case Op::Copy: return texts.copyFailedFormat;
    case Op::Trash: return texts.trashFailedFormat;
    case Op::Restore: return texts.restoreFailedFormat;
    case Op::Delete: return texts.deleteFailedFormat;
    case Op::Compress: return texts.compressFailedFormat;
    case Op::Extract: return texts.extractFailedFormat;
    case Op::Inspect: return texts.inspectFailedFormat;
    case Op::Open: return texts.openFailedFormat;
    }
    return texts.readFailedFormat;
}

// The first of the named C library locales that the system has, or null. Made once and kept
// for the run (static locals, so also safe from background work).
locale_t firstLocale(std::initializer_list<const char *> names)
{
    for (const char *name : names)
        if (const locale_t locale = ::newlocale(LC_ALL_MASK, name, locale_t(nullptr)))
            return locale;
    return nullptr;
}

// UTF-8 locales only, so the texts arrive in the encoding we decode. English is the C
// library's untranslated text.
locale_t messagesLocale(const QString &languageCode)
{
    static const locale_t japanese = firstLocale({"ja_JP.UTF-8", "ja_JP.utf8"});
    static const locale_t english = firstLocale({"C.UTF-8", "C"});
    return languageCode == QLatin1String("ja") && japanese ? japanese : english;
}

using NoteText = QString Localization::*;

NoteText noteText(ErrorNote::Kind kind)
{
    using K = ErrorNote::Kind;
    using L = Localization;
    switch (kind) {
    case K::noRoomIn: return &L::noteNoRoomInFormat;
    case K::notWritable: return &L::noteNotWritableFormat;
    case K::needsMoreRoom: return &L::noteNeedsMoreRoomFormat;
    case K::folderAboveMoved: return &L::noteFolderAboveMoved;
    case K::specialFile: return &L::noteSpecialFile;
    case K::intoItself: return &L::noteIntoItself;
    case K::cantBeEmptied: return &L::noteCantBeEmptied;
    case K::copiedButNotDeleted: return &L::noteCopiedButNotDeletedFormat;
    case K::copiedButSomeLeft: return &L::noteCopiedButSomeLeftFormat;
    case K::holdsReplacement: return &L::noteHoldsReplacement;
    case K::replacedIsInTrash: return &L::noteReplacedIsInTrashFormat;
    case K::nowNamed: return &L::noteNowNamedFormat;
    case K::keptAs: return &L::noteKeptAsFormat;
    case K::leftUnderNewName: return &L::noteLeftUnderNewNameFormat;
    case K::leftUnderHiddenName: return &L::noteLeftUnderHiddenNameFormat;
    case K::invalidName: return &L::noteInvalidNameFormat;
    case K::nameNotUtf8: return &L::noteNameNotUtf8;
    case K::linkTargetNotUtf8: return &L::noteLinkTargetNotUtf8;
    case K::changedWhileCompressed: return &L::noteChangedWhileCompressed;
    case K::entryTwice: return &L::noteEntryTwiceFormat;
    case K::entryOutside: return &L::noteEntryOutsideFormat;
    case K::linkOutside: return &L::noteLinkOutsideFormat;
    case K::noVolumeTrash: return &L::noteNoVolumeTrash;
    case K::trashNotMade: return &L::noteTrashNotMade;
    case K::trashNotUsable: return &L::noteTrashNotUsable;
    case K::outsideVolume: return &L::noteOutsideVolume;
    case K::noOriginalPlace: return &L::noteNoOriginalPlace;
    case K::notInTrash: return &L::noteNotInTrash;
    case K::recordUnreadable: return &L::noteRecordUnreadable;
    case K::staysInTrash: return &L::noteStaysInTrash;
    case K::inTheWay: return &L::noteInTheWayFormat;
    case K::folderNotRecreated: return &L::noteFolderNotRecreated;
    case K::mountPoint: return &L::noteMountPoint;
    case K::systemReason:
    case K::libraryText: break;
    }
    return nullptr;
}

// Names and paths as people read them; the items a note lists, the first few of them.
QStringList noteValues(const ErrorNote &note, const Localization &texts)
{
    QStringList values;
    for (const QString &arg : note.args())
        values.append(FileNames::displayName(arg));
    if (note.kind() == ErrorNote::Kind::needsMoreRoom && values.size() == 3) {
        const QLocale locale = texts.formattingLocale();
        values[0] = ByteCount::text(note.args().value(0).toLongLong(), locale);
        values[1] = ByteCount::text(note.args().value(1).toLongLong(), locale);
    } else if (note.kind() == ErrorNote::Kind::copiedButSomeLeft) {
        QStringList items;
        for (const QString &item : note.listedItems())
            items.append(FileNames::displayName(item));
        QString list = items.join(texts.listSeparator);
        if (note.unlistedItems() > 0)
            list += Localization::fill(texts.moreItemsFormat, {QString::number(note.unlistedItems())});
        values = QStringList{values.value(0), list};
    }
    return values;
}

} // namespace

QString ErrorText::systemReason(int err, const QString &languageCode)
{
    const locale_t locale = messagesLocale(languageCode);
    return QString::fromUtf8(locale ? ::strerror_l(err, locale) : std::strerror(err));
}

QString ErrorText::reason(int code, const Localization &texts)
{
    switch (code) {
    case FileError::ReadCorruptFile: return texts.reasonNotAnArchive;
    case FileError::WriteUnknown: return texts.reasonNotWritten;
    case FileError::WriteFileExists: return texts.reasonNameTaken;
    case FileError::OpenNoApplication: return texts.reasonNoApplication;
    case FileError::OpenNoOpener: return texts.reasonNoOpener;
    case FileError::OpenFailed: return texts.reasonOpenerFailed;
    case FileError::OpenNoTerminal: return texts.reasonNoTerminal;
    default: return systemReason(code, texts.languageCode);
    }
}

QString ErrorText::message(const FileError &error, const Localization &texts, Subject subject)
{
    const QString fileName = Urls::fileName(error.path());
    const QString name = FileNames::displayName(fileName.isEmpty() ? error.path() : fileName);
    const QString text =
        Localization::fill(formatFor(error.operation(), subject, texts), {name, reason(error.code(), texts)});
    QStringList notes;
    for (const ErrorNote &note : error.notes()) {
        if (const QString words = ErrorText::note(note, texts); !words.isEmpty())
            notes.append(words);
    }
    if (notes.isEmpty())
        return text;
    return Localization::fill(texts.errorWithNotesFormat, {text, notes.join(texts.noteSeparator)});
}

QString ErrorText::note(const ErrorNote &note, const Localization &texts)
{
    switch (note.kind()) {
    case ErrorNote::Kind::systemReason: return systemReason(note.errorCode(), texts.languageCode);
    case ErrorNote::Kind::libraryText: return note.args().value(0);
    default: return Localization::fill(texts.*noteText(note.kind()), noteValues(note, texts));
    }
}
