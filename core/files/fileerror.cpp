#include "fileerror.h"

#include "filenames.h"
#include "urls.h"

#include <cstring>

namespace {

QString verbFor(FileError::Operation operation)
{
    switch (operation) {
    case FileError::Operation::Read: return QStringLiteral("read");
    case FileError::Operation::List: return QStringLiteral("listed");
    case FileError::Operation::Create: return QStringLiteral("created");
    case FileError::Operation::Rename: return QStringLiteral("renamed");
    case FileError::Operation::Move: return QStringLiteral("moved");
    case FileError::Operation::Copy: return QStringLiteral("copied");
    case FileError::Operation::Trash: return QStringLiteral("moved to the Trash");
    case FileError::Operation::Restore: return QStringLiteral("put back from the Trash");
    case FileError::Operation::Delete: return QStringLiteral("deleted");
    case FileError::Operation::Compress: return QStringLiteral("compressed");
    case FileError::Operation::Extract: return QStringLiteral("extracted");
    case FileError::Operation::Inspect: return QStringLiteral("examined");
    case FileError::Operation::Open: return QStringLiteral("opened");
    }
    return QStringLiteral("used");
}

QString reasonFor(int code)
{
    switch (code) {
    case FileError::ReadCorruptFile: return QStringLiteral("The file isn't a readable archive");
    case FileError::WriteUnknown: return QStringLiteral("The item couldn't be written");
    case FileError::WriteFileExists: return QStringLiteral("An item with that name already exists");
    case FileError::OpenNoApplication: return QStringLiteral("No application is set to open this kind of item");
    case FileError::OpenNoOpener: return QStringLiteral("xdg-open, which opens items, isn't installed");
    case FileError::OpenFailed: return QStringLiteral("The application set to open it couldn't be started");
    case FileError::OpenNoTerminal: return QStringLiteral("No terminal program was found");
    default: return FileError::errnoText(code);
    }
}

} // namespace

FileError::FileError(Operation operation, int code, QString path, QList<ErrorNote> notes)
    : m_operation(operation), m_code(code), m_path(std::move(path)), m_notes(std::move(notes))
{
    m_what = message().toUtf8();
}

FileError::FileError(Operation operation, int code, QString path, ErrorNote note)
    : FileError(operation, code, std::move(path), QList<ErrorNote>{std::move(note)})
{
}

QString FileError::detail() const
{
    QStringList texts;
    for (const ErrorNote &note : m_notes)
        texts.append(note.english());
    return texts.join(QStringLiteral("; "));
}

FileError FileError::withNote(const ErrorNote &note) const
{
    return FileError(m_operation, m_code, m_path, m_notes + QList<ErrorNote>{note});
}

FileError FileError::fromErrno(Operation operation, int err, const QString &path)
{
    return FileError(operation, err, path);
}

QString FileError::errnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

QString FileError::message() const
{
    const QString fileName = FileNames::displayName(Urls::fileName(m_path));
    const QString name = fileName.isEmpty() ? FileNames::displayName(m_path) : fileName;
    QString text = QStringLiteral("“%1” couldn't be %2: %3").arg(name, verbFor(m_operation), reasonFor(m_code));
    if (!m_notes.isEmpty())
        text += QStringLiteral(" (") + detail() + QLatin1Char(')');
    return text;
}

const char *FileError::what() const noexcept
{
    return m_what.constData();
}
