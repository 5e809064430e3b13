// Times a tab over one large folder (make it with `listing make DIR`). `tabload DIR RUNS` prints
// medians in milliseconds of: a new tab's first load (wall time, and the main thread's CPU time
// in it: listing and sorting run in the background, only publishing on the main thread); one
// read of visibleItems; re-sorting by size and filtering on the main thread; and a reload that
// finds the same entries.

#include "benchclock.h"
#include "tabmodel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include "filepath.h"

#include <cstdio>
#include <memory>

namespace {

struct Timing
{
    double wall = 0;
    double mainCpu = 0;
};

// Runs the event loop until `tab` has published its most recent load.
template<typename Start>
Timing timeLoad(TabModel &tab, Start start)
{
    QEventLoop loop;
    QObject::connect(&tab, &TabModel::loadFinished, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    const double cpu = threadCpuMillis();
    wall.start();
    start();
    loop.exec();
    return {double(wall.nsecsElapsed()) / 1e6, threadCpuMillis() - cpu};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tabload DIR RUNS\n");
        return 2;
    }
    const FilePath url = FilePath::fromString(QString::fromLocal8Bit(argv[1]));
    const int runs = std::max(1, atoi(argv[2]));
    std::vector<double> firstWall, firstCpu, read, resort, filter, reloadWall, reloadCpu;
    qsizetype count = 0;
    for (int run = 0; run < runs; ++run) {
        std::unique_ptr<TabModel> tab;
        QEventLoop loop;
        QElapsedTimer wall;
        const double cpu = threadCpuMillis();
        wall.start();
        tab = std::make_unique<TabModel>(url, false);
        QObject::connect(tab.get(), &TabModel::loadFinished, &loop, &QEventLoop::quit);
        loop.exec();
        firstWall.push_back(double(wall.nsecsElapsed()) / 1e6);
        firstCpu.push_back(threadCpuMillis() - cpu);
        count = tab->visibleItems().size();

        QElapsedTimer reads;
        reads.start();
        constexpr int Reads = 1000;
        qsizetype sum = 0;
        for (int i = 0; i < Reads; ++i)
            sum += tab->visibleItems().size();
        read.push_back(double(reads.nsecsElapsed()) / Reads + (sum < 0 ? 1 : 0));

        const double before = threadCpuMillis();
        tab->setSortOrder({SortKey{SortProperty::size, SortDirection::reverse}, SortKey{}});
        resort.push_back(threadCpuMillis() - before);
        const double beforeFilter = threadCpuMillis();
        tab->setFilterQuery(QStringLiteral("report"));
        filter.push_back(threadCpuMillis() - beforeFilter);
        tab->setFilterQuery(QString());

        const Timing reload = timeLoad(*tab, [&] { tab->reload(); });
        reloadWall.push_back(reload.wall);
        reloadCpu.push_back(reload.mainCpu);
    }
    std::printf("entries %lld\n", qlonglong(count));
    std::printf("first load: wall %.1f ms, main thread CPU %.1f ms\n", median(firstWall), median(firstCpu));
    std::printf("visibleItems read: %.0f ns\n", median(read));
    std::printf("re-sort by size on the main thread: %.1f ms\n", median(resort));
    std::printf("filter \"report\" on the main thread: %.1f ms\n", median(filter));
    std::printf("reload, same entries: wall %.1f ms, main thread CPU %.1f ms\n", median(reloadWall), median(reloadCpu));
    return 0;
}
