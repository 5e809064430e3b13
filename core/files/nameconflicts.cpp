#include "nameconflicts.h"

#include "filenames.h"
#include "posixfs.h"
#include "urls.h"

#include <QFile>

#include <cerrno>
#include <climits>

QList<QUrl> NameConflicts::collisions(const QList<QUrl> &urls, const QUrl &directory)
{
    QList<QUrl> taken;
    for (const QUrl &url : urls)
        if (PosixFs::occupied(Urls::path(Urls::appending(directory, Urls::lastPathComponent(url)))))
            taken.append(url);
    return taken;
}

std::pair<QString, QString> NameConflicts::splitExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == name.size() - 1)
        return {name, QString()};
    return {name.left(dot), name.mid(dot + 1)};
}

bool NameConflicts::isPlainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

void NameConflicts::requirePlainName(const QString &name, FileError::Operation operation, const QString &path)
{
    if (!isPlainName(name))
        throw FileError(operation, EINVAL, path, QStringLiteral("“%1” is not a valid name").arg(name));
}

namespace {

// `base` + `tail`, with as many whole characters cut from the end of `base` as needed for the
// name to fit the file system's limit of NAME_MAX bytes.
QString fitted(QString base, const QString &tail)
{
    while (!base.isEmpty() && FileNames::encode(base + tail).size() > NAME_MAX)
        base.chop(base.size() >= 2 && base.back().isLowSurrogate() && base[base.size() - 2].isHighSurrogate() ? 2 : 1);
    return base + tail;
}

} // namespace

QString NameConflicts::uniqueDestinationName(const QString &name, const QUrl &directory)
{
    const QString folder = Urls::path(directory);
    const auto isFree = [&](const QString &candidate) {
        return !PosixFs::occupied(folder + QLatin1Char('/') + candidate);
    };
    if (isFree(name))
        return name;
    auto [base, extension] = splitExtension(name);
    if (FileNames::encode(extension).size() > NAME_MAX / 2) { // too long to keep whole: cut it instead
        base = name;
        extension.clear();
    }
    const auto candidate = [&](const QString &suffix) -> QString {
        if (extension.isEmpty())
            return fitted(base, suffix);
        return fitted(base, suffix + QLatin1Char('.') + extension);
    };
    QString next = candidate(QStringLiteral(" copy"));
    for (qint64 k = 2; !isFree(next); ++k)
        next = candidate(QStringLiteral(" copy ") + QString::number(k));
    return next;
}
