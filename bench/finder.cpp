// Times opening the finder as the palette does: a model over ROOT (hidden entries shown) with
// the query already typed, from its creation until the ranking that follows the finished walk
// is published. That is the walk, preparing every path for ranking and the rankings on the way.
//   finder ROOT QUERY RUNS     prints the results shown and the median wall-clock milliseconds

#include "benchclock.h"
#include "fuzzyfindermodel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: finder ROOT QUERY RUNS\n");
        return 2;
    }
    const FilePath root = FilePath::fromString(args[1]);
    std::vector<double> wall;
    qsizetype shown = 0;
    for (int run = 0; run < qMax(1, args[3].toInt()); ++run) {
        QElapsedTimer clock;
        clock.start();
        FuzzyFinderModel model(root, true, std::chrono::milliseconds(0));
        model.setQuery(args[2]);
        QEventLoop loop;
        QObject::connect(&model, &FuzzyFinderModel::rankingPublished, &loop, [&] {
            if (!model.isScanning())
                loop.quit();
        });
        model.start();
        loop.exec();
        wall.push_back(clock.nsecsElapsed() / 1e6);
        shown = model.results().size();
    }
    std::printf("%lld %.3f\n", static_cast<long long>(shown), median(wall));
    return 0;
}
