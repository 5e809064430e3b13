#include "columnchain.h"

bool ColumnChain::shouldExpand(const FileItem &item)
{
    return item.isDirectory;
}
