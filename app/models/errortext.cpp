#include "errortext.h"

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
    default: return systemReason(code, texts.languageCode);
    }
}

QString ErrorText::message(const FileError &error, const Localization &texts, Subject subject)
{
    const QString fileName = Urls::fileName(error.path());
    const QString name = FileNames::displayName(fileName.isEmpty() ? error.path() : fileName);
    QString text = Localization::fill(formatFor(error.operation(), subject, texts), {name, reason(error.code(), texts)});
    if (!error.detail().isEmpty())
        text += QStringLiteral(" (") + error.detail() + QLatin1Char(')');
    return text;
}
