// Bulk rename planning.

#include "bulkrename.h"

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

QString planned(const FileItem &item, const BulkRename::Mode &mode, int index)
{
    if (mode.kind == BulkRename::Mode::Kind::findReplace) {
        if (mode.find.isEmpty())
            return item.name;
        return QString(item.name).replace(mode.find, mode.replace, Qt::CaseSensitive);
    }
    if (mode.base.isEmpty())
        return item.name;
    QString name = mode.base + QLatin1Char(' ') + numbered(mode.start + index, mode.padding);
    const QString ext = BulkRename::pathExtension(item.name);
    if (!ext.isEmpty())
        name += QLatin1Char('.') + ext;
    return name;
}

qsizetype extensionDot(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 && dot < name.size() - 1 ? dot : -1;
}

} // namespace

QList<RenameEntry> BulkRename::plan(const QList<FileItem> &items, const Mode &mode)
{
    QList<RenameEntry> entries;
    entries.reserve(items.size());
    for (qsizetype i = 0; i < items.size(); ++i)
        entries.append({items[i].url, items[i].name, planned(items[i], mode, int(i))});
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

QString BulkRename::pathExtension(const QString &name)
{
    const qsizetype dot = extensionDot(name);
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString BulkRename::deletingPathExtension(const QString &name)
{
    const qsizetype dot = extensionDot(name);
    return dot < 0 ? name : name.left(dot);
}
