#pragma once
// The colours every view draws with. There is one palette, daziduvEdiv, a dark one; the
// application also turns it into a QPalette so that stock widgets (menus, dialogs, scroll bars)
// match the views that draw with the colours directly.

#include <QColor>
#include <QFont>
#include <QPalette>

struct Theme
{
    QColor background;
    QColor secondaryBackground;
    QColor foreground;
    QColor secondaryForeground;
    QColor accent;
    QColor divider;
    QColor activePaneTint;
    QColor selection;

    static Theme daziduvEdiv();

    // A complete palette for the Fusion style, every role opaque (translucent highlights read
    // badly over alternating rows, so the selection colour is flattened onto the background).
    [[nodiscard]] QPalette palette() const;
    // The smaller font of counts, paths and hints under or beside the main text.
    [[nodiscard]] static QFont captionFont(QFont base);

    bool operator==(const Theme &) const = default;
};
