// Start-up time: from the start of the process to the first painted window with both panes
// listed, as the program itself starts (same objects, same order). Prints milliseconds.
// `startup [FOLDER]`; run it several times (startup.sh) under offscreen or a real X server.

#include "contentview.h"
#include "panemodel.h"
#include "tabmodel.h"
#include "tallowmereapp.h"
#include "workspacemodel.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

// Milliseconds since the kernel started this process.
double sinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Field 22 (start time, in clock ticks since boot) counts from after the command name,
    // which is in parentheses and may hold spaces.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble();
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tallowmere"));
    QApplication::setApplicationName(QStringLiteral("Tallowmere"));
    TallowmereApp::prepareApplication();
    TallowmereApp tallowmere;
    // The folder asked for is looked up in the background: until that answers, the left pane
    // lists home, which is not the listing being timed.
    bool argumentAnswered = argc <= 1;
    if (argc > 1) {
        TabModel *left = tallowmere.environment().workspace->panes().first()->activeTab();
        QObject::connect(left, &TabModel::typedPathAnswered, &app, [&] { argumentAnswered = true; });
        tallowmere.openArgument(QByteArray(argv[1]));
    }
    tallowmere.window()->restoreWindowState();
    tallowmere.window()->show();
    const double shown = sinceProcessStart();

    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (!argumentAnswered)
            return;
        for (PaneModel *pane : tallowmere.environment().workspace->panes()) {
            if (pane->activeTab()->isLoading())
                return;
        }
        poll.stop();
        tallowmere.window()->repaint();
        std::printf("shown %.0f ms, listed and painted %.0f ms\n", shown, sinceProcessStart());
        QApplication::quit();
    });
    poll.start();
    return app.exec();
}
