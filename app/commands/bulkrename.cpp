// Bulk rename planning.

#include "bulkrename.h"

#include "filenames.h"

namespace {

QString numbered(int number, int padding)
{
    const int digits = padding >= 2 ? padding : 1;
    // ASCII digits, no grouping, never cut: QString::number ignores the locale.
    QString text = QString::number(qAbs(qint64(number)));
    if (text.size() < digits - (number < 0 ? 1 : 0))
        text = text.rightJustified(digits - (number < 0 ? 1 : 0), QLatin1Char('0'));
    return number < 0 ? QLatin1Char('-') + text : text;
}

// `name` is the lossless name, so bytes that aren't text stay as they were where the rule
// doesn't touch them.
QString planned(const QString &name, const BulkRename::Mode &mode, int index)
{
    if (mode.kind == BulkRename::Mode::Kind::findReplace) {
        if (mode.find.isEmpty())
            return name;
        return QString(name).replace(mode.find, mode.replace, Qt::CaseSensitive);
    }
    if (mode.base.isEmpty())
        return name;
    QString numberedName = mode.base + QLatin1Char(' ') + numbered(mode.start + index, mode.padding);
    const QString ext = FileNames::splitExtension(name).second;
    if (!ext.isEmpty())
        numberedName += QLatin1Char('.') + ext;
    return numberedName;
}

} // namespace

QList<RenameEntry> BulkRename::plan(const QList<FileItem> &items, const Mode &mode)
{
    QList<RenameEntry> entries;
    entries.reserve(items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString name = items[i].url.fileName();
        entries.append({items[i].url, name, planned(name, mode, int(i))});
    }
    return entries;
}

QList<RenamePair> BulkRename::changes(const QList<RenameEntry> &entries)
{
    QList<RenamePair> pairs;
    for (const RenameEntry &entry : entries) {
        if (entry.changesName())
            pairs.append({entry.url, entry.newName});
    }
    return pairs;
}
