#pragma once
// File URL arithmetic shared by the core: paths in and out, last component, append, parent,
// standardise (".", "..") and resolve links. URLs here are file URLs with absolute paths.

#include <QString>
#include <QUrl>

namespace Urls {

// A file URL for an absolute (or, relative to the working folder, made absolute) path.
// Leading doubled slashes name the root on Linux, not a network host as QUrl would read them.
[[nodiscard]] QUrl fromPath(const QString &path);
// The same, with a relative path taken relative to `baseDirectory` instead of the working folder.
[[nodiscard]] QUrl fromPath(const QString &path, const QUrl &baseDirectory);
// The URL written in `text` when it is a file URL of this machine (no host, or "localhost"):
// "file:///tmp/a%20b" gives /tmp/a b. Anything else gives an empty URL.
[[nodiscard]] QUrl fromFileUrlText(const QString &text);
// The local path of a file URL; a trailing "/" is dropped except for the root.
[[nodiscard]] QString path(const QUrl &url);
// The last path component; "/" for the root.
[[nodiscard]] QString lastPathComponent(const QUrl &url);
// The URL with one more path component.
[[nodiscard]] QUrl appending(const QUrl &url, const QString &component);
// The parent folder's URL; the root stays the root.
[[nodiscard]] QUrl deletingLastPathComponent(const QUrl &url);
// "." removed and ".." resolved, without touching the disk.
[[nodiscard]] QUrl standardized(const QUrl &url);
// Every symbolic link in the path resolved, as far as it exists; the input when nothing resolves.
[[nodiscard]] QUrl resolvingSymlinks(const QUrl &url);

// Local 8-bit encoding of a path for system calls.
[[nodiscard]] QByteArray encodedPath(const QUrl &url);

// The same arithmetic on absolute local paths without a trailing "/".
// The folder holding `path`; "/" for an item at the top and for the root itself.
[[nodiscard]] QString parentPath(const QString &path);
// The text after the last "/" (empty for the root).
[[nodiscard]] QString fileName(const QString &path);
// `name` inside `folder`.
[[nodiscard]] QString childPath(const QString &folder, const QString &name);
// True when `path` is `folder` or lies anywhere below it.
[[nodiscard]] bool isSameOrInside(const QString &path, const QString &folder);

} // namespace Urls
