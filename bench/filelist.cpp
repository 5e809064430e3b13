// Times the file list over large folders, offscreen: two panes (two FileListViews) each show a
// folder of COUNT (100,000) empty files, a folder of its own. Prints, in milliseconds: the listing, load-to-first-
// paint (the tab's entries arrive on the main thread, the rows are built and the first screen
// is painted), a full scroll page by page with a paint per page, Ctrl+A, a plain arrow key that
// replaces that selection, finding the entry then selected (as the status bar does), a re-sort
// by size from the header; then the icons asked of the icon
// cache and the resident memory of the process: with both panes at their folders, first when
// the second has painted, then once it has been scrolled through too.
//   filelist [COUNT]

#include "appsettings.h"
#include "benchclock.h"
#include "filelistview.h"
#include "filetablemodel.h"
#include "filetableview.h"
#include "iconcache.h"
#include "paneactions.h"
#include "workspacemodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

bool makeFolder(const QString &root, int count)
{
    for (int i = 0; i < count; ++i) {
        const QByteArray path = QFile::encodeName(root + QStringLiteral("/file-%1.txt").arg(i, 6, 10, QLatin1Char('0')));
        const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        ::close(fd);
    }
    return true;
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Wall-clock and main-thread CPU milliseconds of `work`; on a busy machine the CPU time is the
// steadier of the two.
struct Timing
{
    double wall = 0;
    double cpu = 0;
};

Timing timed(const std::function<void()> &work)
{
    QElapsedTimer clock;
    const double cpu = threadCpuMillis();
    clock.start();
    work();
    return {clock.nsecsElapsed() / 1e6, threadCpuMillis() - cpu};
}

void waitFor(TabModel *tab)
{
    while (tab->isLoading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Lets background icon fetches come back, so the cache's count says what was asked for.
void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void press(QWidget *target, int key, Qt::KeyboardModifiers modifiers = {})
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &event);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir scratch;
    const QString home = scratch.path() + QStringLiteral("/home");
    const QString big = scratch.path() + QStringLiteral("/big");
    const QString big2 = scratch.path() + QStringLiteral("/big2");
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/.local/share")));
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    if (!QDir().mkpath(home + QStringLiteral("/Documents")) || !QDir().mkpath(big) || !makeFolder(big, count)
        || !QDir().mkpath(big2) || !makeFolder(big2, count)) {
        std::fprintf(stderr, "filelist: cannot fill %s\n", qPrintable(big));
        return 1;
    }

    AppSettings settings(scratch.path() + QStringLiteral("/settings.ini"));
    WorkspaceModel workspace(false);
    IconCache icons;
    const ViewEnvironment env{&workspace, &settings, nullptr, &icons};
    PaneActions leftActions(&workspace, workspace.leftPane(), &settings);
    PaneActions rightActions(&workspace, workspace.rightPane(), &settings);
    QWidget window;
    auto *left = new FileListView(env, workspace.leftPane(), &leftActions);
    auto *right = new FileListView(env, workspace.rightPane(), &rightActions);
    auto *layout = new QHBoxLayout(&window);
    layout->addWidget(left);
    layout->addWidget(right);
    left->setTab(workspace.leftPane()->activeTab());
    right->setTab(workspace.rightPane()->activeTab());
    window.resize(1400, 800);
    window.show();
    waitFor(workspace.leftPane()->activeTab());
    waitFor(workspace.rightPane()->activeTab());
    QCoreApplication::processEvents();
    const long baseKiB = residentKiB();

    TabModel *tab = workspace.leftPane()->activeTab();
    FileTableView *table = left->table();
    QElapsedTimer clock;
    double arrived = 0, firstPaint = 0, arrivedCpu = 0, firstPaintCpu = 0;
    QObject::connect(tab, &TabModel::itemsChanged, tab, [&] {
        arrived = clock.nsecsElapsed() / 1e6;
        arrivedCpu = threadCpuMillis();
    });
    QObject::connect(tab, &TabModel::loadFinished, tab, [&] {
        table->viewport()->repaint();
        firstPaint = clock.nsecsElapsed() / 1e6;
        firstPaintCpu = threadCpuMillis();
    });
    clock.start();
    tab->navigate(QUrl::fromLocalFile(big));
    waitFor(tab);
    settle(500);
    const qsizetype iconsAfterFirstPaint = icons.fetches();

    const auto scrollThrough = [](FileTableView *view) {
        int pages = 0;
        QScrollBar *bar = view->verticalScrollBar();
        for (int at = 0; at <= (std::getenv("FILELIST_ONE_PAGE") ? 0 : bar->maximum()); at += bar->pageStep(), ++pages) {
            bar->setValue(at);
            view->viewport()->repaint();
            QCoreApplication::processEvents(); // as between two steps of a real scroll
        }
        return pages;
    };
    int pages = 0;
    const Timing scroll = timed([&] { pages = scrollThrough(table); });
    settle(500);
    const qsizetype iconsAfterScroll = icons.fetches();
    table->scrollToTop();
    table->setFocus();
    const Timing selectAll = timed([&] { press(table, Qt::Key_A, Qt::ControlModifier); });
    const qsizetype selected = tab->selection().size();
    const Timing arrow = timed([&] { press(table, Qt::Key_Down); });
    // What the status bar and the title line ask for after each such key press.
    qsizetype found = 0;
    const Timing selectedEntries = timed([&] { found = tab->selectedItems().size(); });
    const Timing resort = timed([&] {
        QHeaderView *header = table->header();
        Q_EMIT header->sectionClicked(FileTableModel::SizeColumn);
        table->viewport()->repaint();
    });

    workspace.rightPane()->activeTab()->navigate(QUrl::fromLocalFile(big2));
    waitFor(workspace.rightPane()->activeTab());
    right->table()->viewport()->repaint();
    QCoreApplication::processEvents();
    const long bothKiB = residentKiB();
    scrollThrough(right->table());
    settle(500);
    const long bothScrolledKiB = residentKiB();

    std::printf("entries                 %d\n", count);
    std::printf("                        wall ms   main-thread CPU ms\n");
    std::printf("listing                 %8.1f\n", arrived);
    std::printf("load to first paint     %8.1f   %8.1f\n", firstPaint - arrived, firstPaintCpu - arrivedCpu);
    std::printf("full scroll, %4d pages %8.1f   %8.1f\n", pages, scroll.wall, scroll.cpu);
    std::printf("  a page                %8.2f   %8.2f\n", pages ? scroll.wall / pages : 0.0, pages ? scroll.cpu / pages : 0.0);
    std::printf("Ctrl+A (%6lld chosen)  %8.1f   %8.1f\n", qlonglong(selected), selectAll.wall, selectAll.cpu);
    std::printf("Down after Ctrl+A       %8.1f   %8.1f\n", arrow.wall, arrow.cpu);
    std::printf("its selected entry (%lld)  %8.2f   %8.2f\n", qlonglong(found), selectedEntries.wall, selectedEntries.cpu);
    std::printf("sort by size            %8.1f   %8.1f\n", resort.wall, resort.cpu);
    std::printf("icons asked, 1st screen %lld\n", qlonglong(iconsAfterFirstPaint));
    std::printf("icons asked, all pages  %lld\n", qlonglong(iconsAfterScroll));
    std::printf("memory, panes empty     %.1f MB\n", baseKiB / 1024.0);
    std::printf("memory, both at %d %.1f MB\n", count, bothKiB / 1024.0);
    std::printf("  both scrolled through %.1f MB\n", bothScrolledKiB / 1024.0);
    return 0;
}
