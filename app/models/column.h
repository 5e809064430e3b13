#pragma once
// One column of the column browser: a folder, its entries in listing order, and the selection
// made in it. A plain value; the model replaces columns as a whole.

#include "fileitem.h"

#include <QList>
#include <QSet>
#include "filepath.h"

#include <optional>

struct Column
{
    FilePath id;  // the folder's URL when the column was made
    FilePath url; // the folder shown
    QList<FileItem> items;
    QSet<FilePath> selection;
    std::optional<FilePath> anchorID; // where a Shift selection extends from
    bool isLoading = false;

    static Column forFolder(const FilePath &url) { return Column{url, url, {}, {}, std::nullopt, true}; }

    friend bool operator==(const Column &, const Column &) = default;
};
