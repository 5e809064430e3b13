#pragma once
// The two ways a tab shows its folder, with the raw texts under which they are stored.

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

enum class ViewMode { list, column };

inline constexpr std::array<ViewMode, 2> allViewModes{ViewMode::list, ViewMode::column};

// "list" or "column".
[[nodiscard]] QString rawValue(ViewMode mode);
// Only the two exact raw texts (case matters); anything else gives none.
[[nodiscard]] std::optional<ViewMode> viewModeFromRawValue(QStringView raw);
