#pragma once
// The order a file browser shows names in: case-insensitive, digit runs by value (file2 before
// file10), following the user's locale; en_US where the locale is C/POSIX, because the collator
// ignores numeric ordering under the C locale. One instance per thread; it is not shared.

#include <QList>
#include <QLocale>
#include <QString>

#include <vector>

struct UCollator;

class NameCollator
{
public:
    NameCollator();
    ~NameCollator();
    NameCollator(const NameCollator &) = delete;
    NameCollator &operator=(const NameCollator &) = delete;

    // The order of a list of names: `byName` holds their positions in ascending order, names
    // that compare equal in their given order; `ranks` holds, for each name, its place among
    // the distinct names in that order, so comparing two ranks compares the two names.
    struct Order
    {
        std::vector<quint32> byName;
        std::vector<quint32> ranks;
    };
    [[nodiscard]] Order order(const QList<QString> &names) const;

    static QLocale collationLocale();

private:
    UCollator *m_collator = nullptr;
};
