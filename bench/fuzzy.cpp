// Times fuzzy ranking the way the finder uses it: items prepared once into an index, then ranked
// for short queries on one thread, many times, reporting the median.
//
//   fuzzy --generate N                  write N reproducible, realistic relative paths to stdout
//   fuzzy [--paths FILE] [--runs R] [QUERY...]
//                                       rank the paths (default: 20,000 generated) for each query;
//                                       prints a line of wall and processor milliseconds each,
//                                       and the wall time once narrowed by the query less its last
//                                       character
//   fuzzy --filter QUERY --paths FILE   one end-to-end pass like a command-line filter: read,
//                                       prepare, rank everything, print the matches best first

#include "fuzzyindex.h"
#include "fuzzyranking.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

const QString root = QStringLiteral("/home/user/work");

QString pick(QRandomGenerator &random, const QStringList &words)
{
    return words.at(random.bounded(int(words.size())));
}

QString fileName(QRandomGenerator &random)
{
    static const QStringList words{
        u"main"_qs, u"index"_qs, u"utils"_qs, u"config"_qs, u"parser"_qs, u"server"_qs, u"client"_qs,
        u"model"_qs, u"view"_qs, u"controller"_qs, u"helper"_qs, u"test"_qs, u"api"_qs, u"router"_qs,
        u"store"_qs, u"cache"_qs, u"logger"_qs, u"button"_qs, u"dialog"_qs, u"window"_qs, u"file"_qs,
        u"manager"_qs, u"service"_qs, u"reader"_qs, u"writer"_qs, u"buffer"_qs, u"stream"_qs,
        u"readme"_qs, u"changelog"_qs, u"license"_qs, u"photo"_qs, u"invoice"_qs, u"report"_qs};
    static const QStringList extensions{u".cpp"_qs, u".h"_qs, u".js"_qs, u".ts"_qs, u".py"_qs, u".md"_qs,
                                        u".json"_qs, u".png"_qs, u".txt"_qs, u".go"_qs, u".rs"_qs, u".yml"_qs};
    static const QStringList unusual{u"caf\u00e9"_qs, u"\u00dcbersicht"_qs, u"Stra\u00dfe"_qs,
                                     u"\u65e5\u672c\u8a9e"_qs, u"r\u00e9sum\u00e9"_qs, u"\u0130stanbul"_qs};
    QString first = random.bounded(50) == 0 ? pick(random, unusual) : pick(random, words);
    QString second = pick(random, words);
    switch (random.bounded(4)) {
    case 0: // camelCase
        second[0] = second[0].toUpper();
        first += second;
        break;
    case 1: first += u'_' + second; break;
    case 2: first += u'-' + second; break;
    default: break;
    }
    if (random.bounded(5) == 0)
        first += QString::number(random.bounded(100));
    return first + pick(random, extensions);
}

QStringList generate(int count)
{
    static const QStringList folders{
        u"src"_qs, u"lib"_qs, u"include"_qs, u"tests"_qs, u"docs"_qs, u"assets"_qs, u"components"_qs,
        u"utils"_qs, u"core"_qs, u"app"_qs, u"models"_qs, u"views"_qs, u"scripts"_qs, u"build"_qs,
        u"vendor"_qs, u"public"_qs, u"images"_qs, u"Documents"_qs, u"Photos"_qs, u"projects"_qs,
        u"internal"_qs, u"platform"_qs, u"widgets"_qs, u"server"_qs, u"client"_qs, u"shared"_qs};
    QRandomGenerator random(42);
    QStringList paths;
    paths.reserve(count);
    QString folder;
    while (paths.size() < count) {
        if (random.bounded(8) == 0 || folder.isEmpty()) {
            // A new folder, one to six levels deep, listed before its files.
            folder.clear();
            const int depth = 1 + random.bounded(6);
            for (int level = 0; level < depth; ++level)
                folder += (level ? u"/"_qs : QString()) + pick(random, folders);
            paths << folder;
        } else {
            paths << folder + u'/' + fileName(random);
        }
    }
    return paths;
}

QStringList readLines(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("cannot read %s", qPrintable(file));
    return QString::fromUtf8(in.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QList<FileItem> itemsFor(const QStringList &relativePaths)
{
    QList<FileItem> items;
    items.reserve(relativePaths.size());
    for (const QString &relative : relativePaths) {
        FileItem item;
        item.url = FilePath::fromString(root + u'/' + relative);
        item.name = relative.mid(relative.lastIndexOf(u'/') + 1);
        items.append(item);
    }
    return items;
}

// Processor time of all threads: on a busy machine, what the work itself cost.
double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double medianMs(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void timeQueries(const QList<FileItem> &items, const QStringList &queries, int runs)
{
    QElapsedTimer timer;
    timer.start();
    FuzzyIndex index{FilePath::fromString(root)};
    for (qsizetype start = 0; start < items.size(); start += 1000)
        index.append(items.mid(start, 1000));
    std::printf("items %lld  prepare_ms %.2f\n", static_cast<long long>(items.size()),
                double(timer.nsecsElapsed()) / 1e6);
    for (const QString &query : queries) {
        std::vector<double> samples;
        std::vector<double> cpuSamples;
        qsizetype found = 0;
        for (int run = 0; run < runs; ++run) {
            const double cpuBefore = processCpuMs();
            timer.restart();
            found = FuzzyRanking::rank(index, query, 100).size();
            samples.push_back(double(timer.nsecsElapsed()) / 1e6);
            cpuSamples.push_back(processCpuMs() - cpuBefore);
        }
        // The keystroke that completed the query, narrowed by the matches of the one before.
        const FuzzyRanking::Matches typedSoFar = FuzzyRanking::rank(index, query.chopped(1), 100, {}).matches;
        std::vector<double> narrowedSamples;
        for (int run = 0; run < runs; ++run) {
            timer.restart();
            (void)FuzzyRanking::rank(index, query, 100, typedSoFar);
            narrowedSamples.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        const double median = medianMs(samples);
        std::printf("query %-6s median_ms %8.3f  items_per_s %12.0f  results %lld  cpu_ms %8.3f  narrowed_ms %8.3f\n",
                    qPrintable(query), median, double(items.size()) / (median / 1000),
                    static_cast<long long>(found), medianMs(cpuSamples), medianMs(narrowedSamples));
    }
}

// Like a command-line filter: every match, best first, one path a line.
void filter(const QStringList &relativePaths, const QString &query)
{
    const QList<FileItem> items = itemsFor(relativePaths);
    const QList<FileItem> ranked = FuzzyRanking::rank(items, query, FilePath::fromString(root), items.size());
    QTextStream out(stdout);
    for (const FileItem &item : ranked)
        out << item.url.path().mid(root.size() + 1) << u'\n';
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const auto option = [&args](const QString &name) {
        const qsizetype at = args.indexOf(name);
        if (at < 0 || at + 1 >= args.size())
            return QString();
        const QString value = args.at(at + 1);
        args.remove(at, 2);
        return value;
    };

    if (const QString count = option(u"--generate"_qs); !count.isEmpty()) {
        QTextStream out(stdout);
        for (const QString &path : generate(count.toInt()))
            out << path << u'\n';
        return 0;
    }
    const QString pathsFile = option(u"--paths"_qs);
    const QStringList paths = pathsFile.isEmpty() ? generate(20000) : readLines(pathsFile);
    if (const QString query = option(u"--filter"_qs); !query.isEmpty()) {
        filter(paths, query);
        return 0;
    }
    const QString runs = option(u"--runs"_qs);
    const QStringList queries = args.isEmpty() ? QStringList{u"m"_qs, u"cf"_qs, u"srv"_qs, u"rdme"_qs} : args;
    timeQueries(itemsFor(paths), queries, runs.isEmpty() ? 201 : runs.toInt());
    return 0;
}
