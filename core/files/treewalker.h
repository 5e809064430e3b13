#pragma once
// A deep, preorder walk of a folder tree for the fuzzy finder: names and folder flags only,
// handed out in batches, bounded by an item limit, cancellable between entries.
//
// The walk reads directories with openat/readdir and trusts d_type, so it costs about what
// `find` costs: no stat per entry (except on file systems that leave d_type unknown), no Qt
// directory classes. Symbolic links are reported as non-folders and never followed. Each batch
// sequence ends with exactly one call whose flag says whether the walk was cut short; the
// calls before it always carry false.

#include "fileitem.h"
#include "filepath.h"

#include <QList>
#include <QSet>
#include <QString>

#include <functional>

class TreeWalker
{
public:
    using ShouldContinue = std::function<bool()>;
    using OnBatch = std::function<void(const QList<FileItem> &batch, bool truncated)>;

    // Everything below `root` (not the root itself), each folder before its contents. Hidden
    // entries (leading ".") are neither reported nor entered unless `showHidden`. A folder whose
    // name is in `ignoredDirectoryNames` is neither reported nor entered. Unreadable folders are
    // passed over silently; a root that can't be read gives one onBatch({}, false).
    static void walk(const FilePath &root, bool showHidden, int limit, int batchSize,
                     const QSet<QString> &ignoredDirectoryNames, const ShouldContinue &shouldContinue,
                     const OnBatch &onBatch);
};
