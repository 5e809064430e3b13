#pragma once
// Where the icons of files and folders come from: freedesktop icon names for a path, worked out
// from its MIME type, and the icon theme they are drawn from.
//
// iconNamesFor() is the slow half (a stat, sometimes a read) and is safe on any thread; the
// QIcon itself is made on the main thread, once per icon name, by the cache.

#include <QIcon>
#include <QString>
#include <QStringList>

class FilePath;

class IconProvider
{
public:
    // Icon names for the item at `path`, most specific first, e.g. {"image-png",
    // "image-x-generic"}; never empty. The type comes from the name where the name tells it;
    // the file's contents are read only where it doesn't (no extension, or an unknown one).
    [[nodiscard]] static QStringList iconNamesFor(const FilePath &path);

    // The icon for such a list of names, from the theme: the first name the theme has, else a
    // generic file icon. Main thread only.
    [[nodiscard]] static QIcon iconFor(const QStringList &names);

    // Points Qt at the system's icon themes and picks breeze-dark (the window is dark), with
    // Adwaita behind it, so icons also show where no desktop sets a theme (the offscreen
    // platform, bare window managers). Call once at start-up, on the main thread.
    static void setUpTheme();
};
