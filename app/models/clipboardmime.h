#pragma once
// Files on the system clipboard, in the forms Linux file managers exchange them:
// text/uri-list for everybody, and the two markers that tell a cut from a copy
// (x-special/gnome-copied-files and application/x-kde-cutselection).
//
// URIs are made from the names' bytes and read back into the same bytes, so a name that isn't
// valid UTF-8 survives the round trip instead of turning into U+FFFD.

#include "fileclipboard.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include "filepath.h"

#include <optional>

class QMimeData;

class ClipboardMime
{
public:
    // A new QMimeData holding `urls` in every form; the caller takes it.
    [[nodiscard]] static QMimeData *encode(const QList<FilePath> &urls, ClipboardOperation operation);
    // The files on the clipboard, as a move when their writer marked them as cut. None when the
    // clipboard holds no files, or anything that isn't a local file among them.
    [[nodiscard]] static std::optional<FileClipboard> decode(const QMimeData *data);
    // The local files among dropped items, read from the URI list's own bytes; anything that
    // isn't a local file is left out.
    [[nodiscard]] static QList<FilePath> droppedFiles(const QMimeData *data);

    // file:///path with every byte outside the URI's safe set percent-encoded.
    [[nodiscard]] static QByteArray uri(const FilePath &url);
    // The file URL a URI names; empty when it isn't a file URI of this machine.
    [[nodiscard]] static FilePath urlFromUri(QByteArrayView uri);
};
