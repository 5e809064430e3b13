#include "pathcomponentsbuilder.h"

QList<PathComponentItem> PathComponentsBuilder::components(const FilePath &url)
{
    FilePath running = FilePath::fromNative("/");
    QList<PathComponentItem> items{{QStringLiteral("/"), running}};
    const FilePath clean = url.cleanPath();
    for (const QByteArray &piece : clean.nativePath().split('/')) {
        if (piece.isEmpty())
            continue;
        running = running.pathAppended(QByteArrayView(piece));
        items.append({running.displayName(), running});
    }
    return items;
}
