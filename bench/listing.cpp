// Times listing one large folder. `listing make DIR [COUNT]` fills DIR with COUNT (100,000)
// empty files under reproducible names that mix case, digit runs and a few accented letters;
// `listing time DIR RUNS` lists it RUNS times through FileSystemService::listDirectory (read,
// stat, sort for display) and prints the entry count, the median wall-clock time and median CPU
// time (of all its threads) of the whole listing, and the median of putting the names in
// order alone, in milliseconds.

#include "benchclock.h"
#include "filesystemservice.h"
#include "namecollator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: listing make DIR [COUNT] | listing time DIR RUNS\n");
    return 2;
}

bool makeFolder(const QString &root, int count)
{
    const QStringList stems = {QStringLiteral("IMG_"),   QStringLiteral("img-"),   QStringLiteral("Report "),
                               QStringLiteral("report_"), QStringLiteral("Notes"),  QStringLiteral("DATA"),
                               QStringLiteral("Ärger "), QStringLiteral("élan"),   QStringLiteral("zeta"),
                               QStringLiteral("Backup.") };
    const QStringList extensions = {QStringLiteral(".txt"), QStringLiteral(".JPG"), QStringLiteral(".pdf"),
                                    QStringLiteral(""),     QStringLiteral(".tar.gz")};
    if (!QDir().mkpath(root))
        return false;
    quint32 state = 4711; // fixed linear congruential sequence: the same names every time
    for (int i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        const QString name = stems[(state >> 8) % stems.size()] + QString::number(i)
                           + extensions[(state >> 16) % extensions.size()];
        const int fd = ::open(QFile::encodeName(root + QLatin1Char('/') + name).constData(),
                              O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        ::close(fd);
    }
    return true;
}

int timeListing(const QString &root, int runs)
{
    const FileSystemService fs;
    const FilePath url = FilePath::fromString(root);
    std::vector<double> whole;
    std::vector<double> cpu;
    std::vector<double> sortOnly;
    qsizetype count = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const double cpuBefore = processCpuMillis();
        QList<FileItem> items = fs.listDirectory(url, false);
        cpu.push_back(processCpuMillis() - cpuBefore);
        whole.push_back(timer.nsecsElapsed() / 1e6);
        count = items.size();
        QList<QString> names;
        names.reserve(items.size());
        for (auto item = items.crbegin(); item != items.crend(); ++item)
            names.append(item->name);
        timer.start();
        const NameCollator::Order order = NameCollator().order(names);
        sortOnly.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("%lld %.3f %.3f %.3f\n", static_cast<long long>(count), median(whole), median(cpu),
                median(sortOnly));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if ((args.size() == 3 || args.size() == 4) && args[1] == QLatin1String("make"))
        return makeFolder(args[2], args.size() == 4 ? args[3].toInt() : 100000) ? 0 : 1;
    if (args.size() == 4 && args[1] == QLatin1String("time"))
        return timeListing(args[2], qMax(1, args[3].toInt()));
    return usage();
}
