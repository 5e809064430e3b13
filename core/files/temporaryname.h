#pragma once
// Hidden names that work in progress lives under until it is complete: a dot, the program's
// name, what the work is, and a random UUID, so names never collide and a leftover is
// recognisably ours.

#include <QLatin1String>
#include <QString>

class TemporaryName
{
public:
    static constexpr QLatin1String copyPrefix{".tallowmere-copy-"};
    static constexpr QLatin1String renamePrefix{".tallowmere-rename-"};
    static constexpr QLatin1String removePrefix{".tallowmere-remove-"};
    // Other programs and scripts may look for the names a bulk rename passes through.
    static constexpr QLatin1String bulkRenamePrefix{".kvrename-"};
    static constexpr QLatin1String zipPrefix{".tallowmere-zip-"};
    static constexpr QLatin1String unzipPrefix{".tallowmere-unzip-"};

    // A fresh name: `prefix` and a UUID in upper-case hexadecimal.
    static QString make(QLatin1String prefix);
    // The path of a fresh name starting with `prefix` in `folder`.
    static QString inFolder(const QString &folder, QLatin1String prefix);
};
