#pragma once
// The order a file browser shows names in: case-insensitive, digit runs by value (file2 before
// file10), following the user's locale; en_US where the locale is C/POSIX, because ICU ignores
// numeric ordering under the C locale. One instance per thread; it is not shared.

#include <QCollator>
#include <QList>
#include <QString>

class NameCollator
{
public:
    NameCollator();

    int compare(const QString &a, const QString &b) const { return m_collator.compare(a, b); }
    QCollatorSortKey sortKey(const QString &name) const { return m_collator.sortKey(name); }

    // Indices of names in ascending order; stable. Computes one sort key per name, so sorting
    // 100,000 names costs 100,000 key builds rather than a collator call per comparison.
    QList<qsizetype> sortedOrder(const QList<QString> &names) const;

    static QLocale collationLocale();

private:
    QCollator m_collator;
};
