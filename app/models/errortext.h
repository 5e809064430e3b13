#pragma once
// The message a user sees when a file operation fails, in the interface language. Built from
// the fields of the core's FileError (what was done, to which item, and why) rather than from
// its English message(). System error reasons come from the C library's own translations where
// the system has them for that language, and are English otherwise.

#include "fileerror.h"
#include "localization.h"

#include <QString>

class ErrorText
{
public:
    // What a failed creation made, when the caller knows (the core has only one Create).
    enum class Subject { item, folder, file };

    [[nodiscard]] static QString message(const FileError &error, const Localization &texts,
                                         Subject subject = Subject::item);
    // A note's fact in the texts' language; a library's own words stay as they are.
    [[nodiscard]] static QString note(const ErrorNote &note, const Localization &texts);
    // Why it failed: the program's own codes in the table's words, errno values as the system
    // words them in the texts' language.
    [[nodiscard]] static QString reason(int code, const Localization &texts);
    // strerror in the given language ("en", "ja"); English when the system lacks that language.
    [[nodiscard]] static QString systemReason(int err, const QString &languageCode);
};
