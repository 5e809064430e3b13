#pragma once
// Carries out a planned bulk rename on disk. Every item first leaves its old name for a hidden
// temporary name in its own folder, then takes its final name, so swaps and rotations need no
// ordering. A failed move puts every item back under its old name before the error is thrown.

#include "renamepair.h"
#include "temporaryname.h"

#include <QList>
#include <QString>

#include <functional>

class BulkRenamer
{
public:
    // Pairs whose new name is empty or equal to the current name are left alone. Throws
    // FileError (EINVAL) before anything moves when a new name is not a single plain name, and
    // the error of the first failing move otherwise; when putting items back fails as well, the
    // error's detail names every item left under a temporary or new name.
    static void apply(const QList<RenamePair> &pairs);

    // One rename that never replaces; throws FileError naming `errorPath`. Tests pass their own
    // to make chosen moves fail.
    using Mover = std::function<void(const QString &from, const QString &to, const QString &errorPath)>;
    static void apply(const QList<RenamePair> &pairs, const Mover &move);

    static constexpr QLatin1String temporaryPrefix = TemporaryName::bulkRenamePrefix;
};
