#pragma once
// Dates as the user's locale writes them: year, abbreviated month and day, with or without hour
// and minute, each field ordered and spelt by the locale of QLocale() (ICU skeletons "yMMMd" and
// "yMMMdjmm"). The file list, the information dialog and the title line all go through here, so
// one date reads the same everywhere.

#include <QDateTime>
#include <QString>

class DateText
{
public:
    // "Dec 7, 2026" in US English, "2026年12月7日" in Japanese.
    [[nodiscard]] static QString date(const QDateTime &date);
    // "Dec 7, 2026, 4:37 PM" in US English, "2026年12月7日 16:37" in Japanese.
    [[nodiscard]] static QString dateTime(const QDateTime &date);
};
