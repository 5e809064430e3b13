#pragma once
// The quick filter: the entries whose names contain the query, ignoring case and accents
// ("resume" finds "Résumé.pdf", "REP" finds "report.txt").

#include "fileitem.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace ItemFilter {

// Spaces and tabs around the query don't count; a blank query keeps every entry. The entries
// that match keep their given order.
[[nodiscard]] QList<FileItem> apply(const QList<FileItem> &items, const QString &query);

// The form names and queries are compared in: case-folded, canonically decomposed, combining
// marks dropped.
[[nodiscard]] QString folded(const QString &text);
// The same in UTF-8, in which a folded needle's bytes lie within a folded name's bytes exactly
// when its text lies within the name's text.
[[nodiscard]] QByteArray foldedUtf8(const QString &text);
// What a name's folded form must contain for `query`; empty when every name matches.
[[nodiscard]] QString needle(const QString &query);

} // namespace ItemFilter
