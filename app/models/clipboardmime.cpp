#include "clipboardmime.h"

#include "filenames.h"

#include <QMimeData>
#include <QString>

namespace {

const QString UriList = QStringLiteral("text/uri-list");
const QString GnomeCopiedFiles = QStringLiteral("x-special/gnome-copied-files");
const QString KdeCutSelection = QStringLiteral("application/x-kde-cutselection");

// The lines of a clipboard format, line breaks (CRLF in uri-lists, LF elsewhere) removed;
// empty lines and uri-list comments skipped.
QList<QByteArray> linesOf(const QByteArray &data)
{
    QList<QByteArray> lines;
    for (QByteArray line : data.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty() && !line.startsWith('#'))
            lines.append(line);
    }
    return lines;
}

std::optional<QList<FilePath>> urlsFrom(const QList<QByteArray> &uris)
{
    QList<FilePath> urls;
    for (const QByteArray &uri : uris) {
        const FilePath url = ClipboardMime::urlFromUri(uri);
        if (url.isEmpty())
            return std::nullopt;
        urls.append(url);
    }
    if (urls.isEmpty())
        return std::nullopt;
    return urls;
}

} // namespace

QMimeData *ClipboardMime::encode(const QList<FilePath> &urls, ClipboardOperation operation)
{
    QByteArray uriList;
    QByteArray gnome = operation == ClipboardOperation::move ? "cut" : "copy";
    for (const FilePath &url : urls) {
        const QByteArray line = uri(url);
        uriList += line + "\r\n";
        gnome += '\n' + line;
    }
    auto *data = new QMimeData;
    data->setData(UriList, uriList);
    data->setData(GnomeCopiedFiles, gnome);
    data->setData(KdeCutSelection, operation == ClipboardOperation::move ? "1" : "0");
    return data;
}

std::optional<FileClipboard> ClipboardMime::decode(const QMimeData *data)
{
    if (!data)
        return std::nullopt;
    // The GNOME form says copy or cut on its first line; the plain list may carry KDE's marker.
    if (data->hasFormat(GnomeCopiedFiles)) {
        QList<QByteArray> lines = linesOf(data->data(GnomeCopiedFiles));
        const QByteArray verb = lines.isEmpty() ? QByteArray() : lines.takeFirst();
        if (verb == "copy" || verb == "cut") {
            if (const auto urls = urlsFrom(lines))
                return FileClipboard{*urls, verb == "cut" ? ClipboardOperation::move : ClipboardOperation::copy};
        }
    }
    if (!data->hasFormat(UriList))
        return std::nullopt;
    const auto urls = urlsFrom(linesOf(data->data(UriList)));
    if (!urls)
        return std::nullopt;
    const bool cut = data->data(KdeCutSelection).trimmed() == "1";
    return FileClipboard{*urls, cut ? ClipboardOperation::move : ClipboardOperation::copy};
}

QList<FilePath> ClipboardMime::droppedFiles(const QMimeData *data)
{
    QList<FilePath> files;
    if (!data)
        return files;
    for (const QByteArray &line : linesOf(data->data(UriList)))
        if (const FilePath file = urlFromUri(line); !file.isEmpty())
            files.append(file);
    return files;
}

QByteArray ClipboardMime::uri(const FilePath &url)
{
    return "file://" + url.nativePath().toPercentEncoding("/!$&'()*+,;=:@~");
}

FilePath ClipboardMime::urlFromUri(QByteArrayView uri)
{
    const QByteArray text = uri.trimmed().toByteArray();
    if (!text.startsWith("file:"))
        return {};
    QByteArray rest = text.mid(5);
    // file:///path, file://localhost/path, or the short file:/path.
    if (rest.startsWith("//")) {
        rest = rest.mid(2);
        const qsizetype slash = rest.indexOf('/');
        if (slash < 0)
            return {};
        const QByteArray host = rest.left(slash);
        if (!host.isEmpty() && host != "localhost")
            return {};
        rest = rest.mid(slash);
    }
    if (!rest.startsWith('/'))
        return {};
    return FilePath::fromNative(QByteArray::fromPercentEncoding(rest));
}
