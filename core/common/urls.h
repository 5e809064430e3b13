#pragma once
// Arithmetic on absolute local paths held as lossless text (see FileNames), for the file
// operations that walk trees by text; everything else passes FilePath around.

#include <QString>

namespace Urls {

// The folder holding `path`; "/" for an item at the top and for the root itself.
[[nodiscard]] QString parentPath(const QString &path);
// The text after the last "/" (empty for the root).
[[nodiscard]] QString fileName(const QString &path);
// `name` inside `folder`.
[[nodiscard]] QString childPath(const QString &folder, const QString &name);
// True when `path` is `folder` or lies anywhere below it.
[[nodiscard]] bool isSameOrInside(const QString &path, const QString &folder);

} // namespace Urls
