#pragma once
// The fixed places of the sidebar, in the order it lists them.

#include "localization.h"

#include <QString>

enum class SidebarLabel { home, desktop, documents, downloads, applications };

// The place's name in the interface language.
[[nodiscard]] const QString &sidebarText(SidebarLabel label, const Localization &texts);
