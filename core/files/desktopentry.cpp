#include "desktopentry.h"

#include "filenames.h"

#include <QFile>
#include <QHash>

namespace {

// A value's own escapes: \s \n \t \r \\ (and "\;" kept for lists).
QString unescapeValue(QStringView value)
{
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            result.append(value[i]);
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case 's': result.append(u' '); break;
        case 'n': result.append(u'\n'); break;
        case 't': result.append(u'\t'); break;
        case 'r': result.append(u'\r'); break;
        case '\\': result.append(u'\\'); break;
        default: result.append(u'\\').append(next); break;
        }
    }
    return result;
}

// The keys of the "Desktop Entry" group, localised keys kept as "Name[ja]".
QHash<QString, QString> mainGroup(const QByteArray &text)
{
    QHash<QString, QString> keys;
    bool inGroup = false;
    for (const QByteArray &rawLine : text.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inGroup && equals > 0) {
            const QString key = line.left(equals).trimmed();
            if (!keys.contains(key))
                keys.insert(key, unescapeValue(QStringView(line).mid(equals + 1).trimmed()));
        }
    }
    return keys;
}

QString localized(const QHash<QString, QString> &keys, const QString &key, const QStringList &languages)
{
    for (const QString &language : languages) {
        // "ja_JP.UTF-8" → "ja_JP", then "ja".
        const QString tag = language.section(u'.', 0, 0).section(u'@', 0, 0).replace(u'-', u'_');
        for (const QString &candidate : {tag, tag.section(u'_', 0, 0)}) {
            const auto found = keys.constFind(key + u'[' + candidate + u']');
            if (!candidate.isEmpty() && found != keys.cend())
                return *found;
        }
    }
    return keys.value(key);
}

bool isTrue(const QString &value)
{
    return value == QLatin1String("true");
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::parse(const QByteArray &text, const QString &id, const QStringList &languages)
{
    const QHash<QString, QString> keys = mainGroup(text);
    if (keys.value(QStringLiteral("Type")) != QLatin1String("Application") || isTrue(keys.value(QStringLiteral("Hidden")))
        || keys.value(QStringLiteral("Exec")).isEmpty())
        return std::nullopt;
    DesktopEntry entry;
    entry.id = id;
    entry.name = localized(keys, QStringLiteral("Name"), languages);
    entry.icon = keys.value(QStringLiteral("Icon"));
    entry.exec = keys.value(QStringLiteral("Exec"));
    entry.workingDirectory = keys.value(QStringLiteral("Path"));
    entry.mimeTypes = keys.value(QStringLiteral("MimeType")).split(u';', Qt::SkipEmptyParts);
    entry.noDisplay = isTrue(keys.value(QStringLiteral("NoDisplay")));
    if (entry.name.isEmpty())
        entry.name = id.chopped(id.endsWith(QLatin1String(".desktop")) ? 8 : 0);
    return entry;
}

std::optional<DesktopEntry> DesktopEntry::load(const QString &path, const QString &id, const QStringList &languages)
{
    // A program's own file in an applications folder, not a user's document.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<DesktopEntry> entry = parse(file.readAll(), id, languages);
    if (entry)
        entry->filePath = path;
    return entry;
}

std::optional<QStringList> DesktopEntry::splitExec(const QString &exec)
{
    // Outside quotes a space ends an argument; inside, a backslash keeps the next character
    // ( " ` $ \ ) as it is.
    QStringList arguments;
    QString current;
    bool quoted = false;
    bool started = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'\\' && i + 1 < exec.size())
                current.append(exec[++i]);
            else if (c == u'"')
                quoted = false;
            else
                current.append(c);
        } else if (c == u'"') {
            quoted = started = true;
        } else if (c == u' ' || c == u'\t') {
            if (started)
                arguments.append(current);
            current.clear();
            started = false;
        } else {
            current.append(c);
            started = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (started)
        arguments.append(current);
    return arguments;
}

QList<Launcher::Command> DesktopEntry::commands(const QStringList &files) const
{
    const std::optional<QStringList> words = splitExec(exec);
    if (!words || words->isEmpty())
        return {};
    bool takesList = false;
    bool takesOne = false;
    for (const QString &word : *words) {
        takesList = takesList || word.contains(QLatin1String("%F")) || word.contains(QLatin1String("%U"));
        takesOne = takesOne || word.contains(QLatin1String("%f")) || word.contains(QLatin1String("%u"));
    }
    // Each command gets the files its run is for.
    const auto expand = [&](const QStringList &forFiles) {
        QStringList arguments;
        for (const QString &word : *words) {
            if (word == QLatin1String("%F") || word == QLatin1String("%U")) {
                arguments += forFiles;
            } else if (word == QLatin1String("%i")) {
                if (!icon.isEmpty())
                    arguments << QStringLiteral("--icon") << icon;
            } else {
                QString expanded;
                for (qsizetype i = 0; i < word.size(); ++i) {
                    if (word[i] != u'%' || i + 1 == word.size()) {
                        expanded.append(word[i]);
                        continue;
                    }
                    switch (word[++i].unicode()) {
                    case '%': expanded.append(u'%'); break;
                    case 'f':
                    case 'u': expanded.append(forFiles.value(0)); break;
                    case 'c': expanded.append(name); break;
                    case 'k': expanded.append(filePath); break;
                    default: break; // deprecated or unknown codes are dropped
                    }
                }
                // A word made of codes that gave nothing is left out, not passed empty; a
                // quoted empty word ("") stays.
                if (!expanded.isEmpty() || word.isEmpty())
                    arguments.append(expanded);
            }
        }
        if (arguments.isEmpty())
            return Launcher::Command{};
        const QString program = arguments.takeFirst();
        return Launcher::Command{program, arguments, workingDirectory};
    };
    if (takesList || files.isEmpty() || !takesOne)
        return {expand(files)};
    QList<Launcher::Command> commands;
    for (const QString &file : files)
        commands.append(expand({file}));
    return commands;
}
