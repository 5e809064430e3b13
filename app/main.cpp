// Tallowmere: a two-pane file manager. The only argument is a folder (a path or a file URL,
// as the desktop entry hands it over) to show in the left pane.

#include "contentview.h"
#include "tallowmereapp.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tallowmere"));
    QApplication::setApplicationName(QStringLiteral("Tallowmere"));
    QApplication::setDesktopFileName(QStringLiteral("tallowmere"));
    QApplication::setApplicationVersion(QStringLiteral(TALLOWMERE_VERSION));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tallowmere"), QIcon(QStringLiteral(":/tallowmere.svg"))));
    TallowmereApp::prepareApplication();

    TallowmereApp tallowmere;
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        tallowmere.openArgument(arguments.at(1));
    tallowmere.window()->restoreWindowState();
    tallowmere.window()->show();
    return app.exec();
}
