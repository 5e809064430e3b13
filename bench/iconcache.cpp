// Measures the icon cache on one large folder: `iconcache [COUNT]` fills a temporary folder with
// COUNT (100,000) empty files under mixed names (a few without an extension, so their contents
// are read), asks the cache for every icon, and prints the wall time until the last one arrived,
// the distinct icons made, the live heap the cache keeps per path (the program's own list of
// paths is counted before the cache starts), and resident memory, which also holds the peak of
// 100,000 fetches queued at once.

#include "iconcache.h"
#include "iconprovider.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

#include <malloc.h>

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Bytes the allocator has handed out and not had back: live data, whatever the fragmentation.
size_t heapInUse()
{
    return ::mallinfo2().uordblks;
}

QStringList makeFolder(const QString &root, int count)
{
    const QStringList extensions = {QStringLiteral(".txt"), QStringLiteral(".jpg"), QStringLiteral(".pdf"),
                                    QStringLiteral(".zip"), QStringLiteral(".cpp"), QStringLiteral(".png"),
                                    QStringLiteral(".tar.gz"), QStringLiteral(".md"), QStringLiteral(".svg"),
                                    QStringLiteral(".mp3"), QStringLiteral(".json"), QStringLiteral(".html"),
                                    QStringLiteral(".xls"), QStringLiteral(".py"), QStringLiteral(".mkv"),
                                    QStringLiteral(".odt"), QStringLiteral(".iso"), QStringLiteral(".h"),
                                    QStringLiteral(".sh"), QStringLiteral("")};
    QStringList paths;
    paths.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString path = root + QStringLiteral("/file-%1%2").arg(i, 6, 10, QLatin1Char('0')).arg(extensions.at(i % extensions.size()));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        paths << path;
    }
    return paths;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QStringList paths = makeFolder(dir.path(), count);
    if (paths.size() != count) {
        std::fprintf(stderr, "could not create %d files under %s\n", count, qPrintable(dir.path()));
        return 1;
    }
    IconProvider::setUpTheme();

    IconCache cache;
    const long before = residentKiB();
    const size_t heapBefore = heapInUse();
    int arrived = 0;
    QObject::connect(&cache, &IconCache::iconReady, &app, [&] {
        if (++arrived == count)
            app.quit();
    });
    QElapsedTimer clock;
    clock.start();
    for (const QString &path : paths)
        (void)cache.icon(FilePath::fromString(path));
    app.exec();
    const qint64 millis = clock.elapsed();
    const long peak = residentKiB();
    // The 100,000 queued fetches are gone now; hand their memory back so what remains is the
    // cache's own.
    QCoreApplication::processEvents();
    ::malloc_trim(0);
    const long after = residentKiB();
    const size_t heapAfter = heapInUse();

    std::printf("paths %lld, distinct icons %lld, all arrived in %lld ms\n", static_cast<long long>(cache.count()),
                static_cast<long long>(cache.distinctIcons()), static_cast<long long>(millis));
    std::printf("live heap grew by %.1f MiB: %.0f bytes per cached path\n", (heapAfter - heapBefore) / 1048576.0,
                double(heapAfter - heapBefore) / count);
    std::printf("resident memory %ld KiB before, %ld KiB with every fetch queued, %ld KiB after\n", before, peak,
                after);
    return 0;
}
