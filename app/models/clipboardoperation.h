#pragma once
// Whether items on the program's clipboard were copied or cut (a cut pastes as a move).

#include <QMetaType>

enum class ClipboardOperation { copy, move };

Q_DECLARE_METATYPE(ClipboardOperation)
