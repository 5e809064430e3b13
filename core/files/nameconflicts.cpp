#include "nameconflicts.h"

#include "filenames.h"
#include "graphemes.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>

QList<FilePath> NameConflicts::collisions(const QList<FilePath> &urls, const FilePath &directory)
{
    QList<FilePath> taken;
    struct stat st;
    for (const FilePath &url : urls)
        if (::lstat(directory.pathAppended(url.fileNameBytes()).c_str(), &st) == 0)
            taken.append(url);
    return taken;
}

bool NameConflicts::isPlainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

void NameConflicts::requirePlainName(const QString &name, FileError::Operation operation, const QString &path)
{
    if (!isPlainName(name))
        throw FileError(operation, EINVAL, path, ErrorNote(ErrorNote::Kind::invalidName, {name}));
}

namespace {

// `base` + `tail`, with as many whole user-perceived characters cut from the end of `base` as
// the file system's limit of NAME_MAX bytes requires; empty unless some of `base` fits.
QString fitted(const QString &base, const QString &tail)
{
    if (FileNames::encode(base + tail).size() <= NAME_MAX)
        return base + tail;
    const QList<qsizetype> ends = Graphemes::ends(base);
    for (qsizetype kept = ends.size() - 1; kept > 0; --kept) {
        const QString candidate = base.left(ends.at(kept - 1)) + tail;
        if (FileNames::encode(candidate).size() <= NAME_MAX)
            return candidate;
    }
    return QString();
}

} // namespace

QString NameConflicts::uniqueDestinationName(const QString &name, const FilePath &directory)
{
    // lstat, not stat: a dangling link takes its name as surely as a file, since creating the
    // copy there would follow it or fail.
    const auto isFree = [&](const QString &candidate) {
        struct stat st;
        return ::lstat(directory.pathAppended(candidate).c_str(), &st) != 0;
    };
    if (isFree(name))
        return name;
    const auto [base, extension] = FileNames::splitExtension(name);
    // The extension stays whole and only the base is shortened. Should the extension alone
    // leave no room, the whole name is shortened as if it had none.
    const auto candidate = [&](const QString &suffix) -> QString {
        if (!extension.isEmpty()) {
            if (const QString kept = fitted(base, suffix + QLatin1Char('.') + extension); !kept.isEmpty())
                return kept;
        }
        const QString whole = fitted(name, suffix);
        return whole.isEmpty() ? suffix.trimmed() : whole; // not one character of the name fits
    };
    QString next = candidate(QStringLiteral(" copy"));
    for (qint64 k = 2; !isFree(next); ++k)
        next = candidate(QStringLiteral(" copy ") + QString::number(k));
    return next;
}
