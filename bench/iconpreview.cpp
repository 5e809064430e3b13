// Draws a small file list offscreen as the window shows it (the dark palette, the Fusion style,
// the themed icons of a folder, a text file, a picture and an archive under Japanese names)
// and saves it as a PNG: `iconpreview [FILE]`, iconpreview.png by default. For checking by eye
// that icons and Japanese text come out right where no desktop sets a theme.

#include "iconcache.h"
#include "iconprovider.h"
#include "localization.h"
#include "theme.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("iconpreview.png");
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(Theme::daziduvEdiv().palette());
    IconProvider::setUpTheme();

    QTemporaryDir dir;
    const QStringList names{QStringLiteral("書類"), QStringLiteral("メモ.txt"), QStringLiteral("写真.png"),
                            QStringLiteral("アーカイブ.zip")};
    QDir(dir.path()).mkdir(names.at(0));
    for (const QString &name : names.mid(1)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
    }

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(Localization::japanese().sidebarFavorites));
    auto *list = new QListWidget;
    list->setIconSize(QSize(32, 32));
    layout->addWidget(list);
    window.resize(320, 240);
    window.show();

    IconCache cache;
    QObject::connect(&cache, &IconCache::iconReady, list, [&](const FilePath &path, const QIcon &icon) {
        list->addItem(new QListWidgetItem(icon, path.displayName()));
        if (list->count() == names.size())
            app.quit();
    });
    for (const QString &name : names)
        (void)cache.icon(FilePath::fromString(dir.filePath(name)));
    app.exec();
    list->setCurrentRow(1);

    if (!window.grab().save(output)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s: %s theme, %lld distinct icons\n", qPrintable(output), qPrintable(QIcon::themeName()),
                static_cast<long long>(cache.distinctIcons()));
    return 0;
}
