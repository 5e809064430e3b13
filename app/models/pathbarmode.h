#pragma once
// How a tab shows its folder's path: clickable segments, or a text field to type a path into.

#include <QMetaType>

enum class PathBarMode { breadcrumb, text };

Q_DECLARE_METATYPE(PathBarMode)
