#pragma once
// Turns a folder's URL into its path bar segments, root first. No segment gets a friendlier
// label here (home, volumes): that is the path bar's business.

#include "pathcomponentitem.h"

#include <QList>
#include "filepath.h"

class PathComponentsBuilder
{
public:
    // The URL is standardised first ("." removed, ".." resolved, doubled slashes dropped), so
    // every segment's URL is a clean prefix of it. Never empty: the root segment always leads.
    [[nodiscard]] static QList<PathComponentItem> components(const FilePath &url);
};
