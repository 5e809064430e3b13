// Tallowmere: a two-pane file manager. The only argument is a folder (a path or a file URL,
// as the desktop entry hands it over) to show in the left pane.

#include "contentview.h"
#include "futureowner.h"
#include "iconcache.h"
#include "tallowmereapp.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>

using namespace std::chrono_literals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tallowmere"));
    QApplication::setApplicationName(QStringLiteral("Tallowmere"));
    QApplication::setDesktopFileName(QStringLiteral("tallowmere"));
    QApplication::setApplicationVersion(QStringLiteral(TALLOWMERE_VERSION));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tallowmere"), QIcon(QStringLiteral(":/tallowmere.svg"))));
    TallowmereApp::prepareApplication();

    int code = 0;
    {
        TallowmereApp tallowmere;
        // argv, not arguments(): Qt's decoding would lose the bytes of a name that isn't UTF-8.
        // QApplication has taken its own options out of it.
        if (argc > 1)
            tallowmere.openArgument(QByteArray(argv[1]));
        tallowmere.window()->restoreWindowState();
        tallowmere.window()->show();
        code = app.exec();
    }
    // Settings are saved and file jobs were seen to their end as the window closed. What may be
    // left are reads (a listing, an icon, a folder's size) stuck on a hung file system; they
    // hold only copies, and the program doesn't linger for them.
    if (!FutureOwner::pool()->waitForDone(1000) || !IconCache::shared().settle(200ms))
        std::_Exit(code);
    return code;
}
