// Pictures of the main window for the README and the AppStream data, made offscreen over a
// made-up home folder so they show the same files on every machine:
//   screenshots <output folder>
// writes main-window.png (English), main-window-ja.png (Japanese) and the sidebar of each.

#include "appsettings.h"
#include "contentview.h"
#include "sidebarview.h"
#include "tallowmereapp.h"
#include "viewenvironment.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

void write(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(contents);
}

void makeHome(const QString &home)
{
    const char *files[] = {
        "Documents/Budget 2026.ods", "Documents/Letters/To the council.odt", "Documents/Notes.md",
        "Documents/Owl survey.pdf", "Documents/Recipes/Bread.txt", "Documents/Taxes/2025.pdf",
        "Documents/Travel plan.txt", "Documents/ナイトバード観察.txt", "Downloads/tallowmere.deb",
        "Desktop/todo.txt", "Music/Dawn chorus.flac", "Pictures/Barn owl.jpg", "Pictures/Tawny owl.png",
        "Projects/tallowmere/README.md", "Projects/tallowmere/main.cpp", "Videos/Night flight.mp4",
        "notes.txt", "report-final.pdf", "photo-archive.zip",
    };
    for (const char *file : files)
        write(home + QLatin1Char('/') + QString::fromUtf8(file), QByteArray(1200 + 97 * qstrlen(file), 'x'));
}

void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/.local/share")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path() + QStringLiteral("/.cache")));
    makeHome(home.path());

    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: screenshots <output folder>\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QApplication::setOrganizationName(QStringLiteral("Tallowmere"));
    QApplication::setApplicationName(QStringLiteral("Tallowmere"));
    TallowmereApp::prepareApplication();
    TallowmereApp tallowmere;
    tallowmere.window()->resize(1320, 780);
    tallowmere.window()->show();
    bool saved = true;
    for (const auto &[language, suffix] : {std::pair{AppLanguage::english, ""}, std::pair{AppLanguage::japanese, "-ja"}}) {
        tallowmere.environment().settings->setLanguage(language);
        settle(1500); // listings, icons and free space arrive from background work
        saved = tallowmere.window()->grab().save(out + QStringLiteral("/main-window%1.png").arg(QLatin1String(suffix))) && saved;
        if (auto *sidebar = tallowmere.window()->findChild<SidebarView *>())
            saved = sidebar->grab().save(out + QStringLiteral("/sidebar%1.png").arg(QLatin1String(suffix))) && saved;
    }
    return saved ? 0 : 1;
}
