#pragma once
// The interface language the user chose, with the raw texts under which it is stored.

#include <QString>
#include <QStringView>

#include <array>

enum class AppLanguage { system, japanese, english };

// In the order the settings view offers them.
inline constexpr std::array<AppLanguage, 3> allAppLanguages{AppLanguage::system, AppLanguage::japanese,
                                                            AppLanguage::english};

// "system", "ja" or "en".
[[nodiscard]] QString rawValue(AppLanguage language);
// The exact raw texts only (case matters); anything else, or nothing, follows the system.
[[nodiscard]] AppLanguage appLanguageFromRawValue(QStringView raw);
