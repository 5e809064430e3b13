#include "pathcomponentsbuilder.h"

#include "urls.h"

QList<PathComponentItem> PathComponentsBuilder::components(const QUrl &url)
{
    const QString root = QStringLiteral("/");
    QUrl running = QUrl::fromLocalFile(root);
    QList<PathComponentItem> items{{root, running}};
    const QString path = Urls::path(Urls::standardized(url));
    for (const QString &piece : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        running = Urls::appending(running, piece);
        items.append({piece, running});
    }
    return items;
}
