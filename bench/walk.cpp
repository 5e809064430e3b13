// Times the finder's deep walk. `walk make DIR` lays out a reproducible tree of 20,000 entries
// (1,000 folders in three levels, 19,000 files spread over them); `walk time DIR RUNS` walks it
// RUNS times with everything shown and nothing ignored, the way `find DIR -mindepth 1` sees it,
// and prints the entry count, the median wall-clock time and the median CPU time of the walking
// thread, in milliseconds. CPU time stays meaningful on a busy machine where wall time doesn't.

#include "benchclock.h"
#include "filesystemservice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: walk make DIR | walk time DIR RUNS\n");
    return 2;
}

bool makeTree(const QString &root)
{
    QStringList folders;
    for (int a = 0; a < 10; ++a) {
        const QString top = root + QStringLiteral("/Project%1").arg(a);
        folders << top;
        for (int b = 0; b < 9; ++b) {
            const QString mid = top + QStringLiteral("/module_%1").arg(b);
            folders << mid;
            for (int c = 0; c < 10; ++c)
                folders << mid + QStringLiteral("/Src%1").arg(c);
        }
    }
    for (const QString &folder : std::as_const(folders))
        if (!QDir().mkpath(folder))
            return false;
    // A fixed linear congruential sequence spreads the files unevenly but the same every time.
    quint32 state = 12345;
    for (int i = 0; i < 20000 - folders.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        const QString &folder = folders[(state >> 8) % folders.size()];
        QFile file(folder + QStringLiteral("/File_%1.%2").arg(i, 5, 10, QLatin1Char('0'))
                                .arg(i % 3 ? QStringLiteral("txt") : QStringLiteral("CPP")));
        if (!file.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

int timeWalk(const QString &root, int runs)
{
    const FileSystemService fs;
    std::vector<double> wall;
    std::vector<double> cpu;
    qsizetype count = 0;
    for (int run = 0; run < runs; ++run) {
        count = 0;
        QElapsedTimer timer;
        timer.start();
        const double cpuBefore = threadCpuMillis();
        fs.enumerateRecursively(FilePath::fromString(root), true, 10'000'000, 1000, {}, [] { return true; },
                                [&count](const QList<FileItem> &batch, bool) { count += batch.size(); });
        cpu.push_back(threadCpuMillis() - cpuBefore);
        wall.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("%lld %.3f %.3f\n", static_cast<long long>(count), median(wall), median(cpu));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("make"))
        return makeTree(args[2]) ? 0 : 1;
    if (args.size() == 4 && args[1] == QLatin1String("time"))
        return timeWalk(args[2], qMax(1, args[3].toInt()));
    return usage();
}
