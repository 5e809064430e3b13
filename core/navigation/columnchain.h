#pragma once
// The column browser's chain: which selections open a further column, and how the chain is cut
// back when the user selects in an earlier column.

#include "fileitem.h"

#include <QList>

class ColumnChain
{
public:
    // Only folders open a column (links to folders count as folders; files never do).
    [[nodiscard]] static bool shouldExpand(const FileItem &item);

    // Everything up to and including `index`; an index outside the list cuts nothing.
    template <typename T>
    [[nodiscard]] static QList<T> truncated(const QList<T> &list, qsizetype index)
    {
        if (index < 0 || index >= list.size())
            return list;
        return list.first(index + 1);
    }
};
