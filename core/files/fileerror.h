#pragma once
// The one error type the core throws. It carries what was being done, to which item, and why:
// either an errno value or one of the program's own codes below, with notes that add facts
// (where the room ran out, what was left where). message() is English, for logs; the
// application words its own message from operation(), code() and notes().

#include "errornote.h"

#include <QList>
#include <QString>
#include <exception>

class FileError : public std::exception
{
public:
    // The program's own codes, chosen outside the range of errno values.
    static constexpr int ReadCorruptFile = 259; // an archive could not be extracted
    static constexpr int WriteUnknown = 512;    // a new item was not created, or compressing failed
    static constexpr int WriteFileExists = 516; // a new file over a taken name
    static constexpr int OpenNoApplication = 517; // no application is set to open the item
    static constexpr int OpenNoOpener = 518;      // xdg-open, which opens items, isn't installed
    static constexpr int OpenFailed = 519;        // the application to open it with failed to start
    static constexpr int OpenNoTerminal = 520;    // no terminal program is installed

    enum class Operation {
        Read, List, Create, Rename, Move, Copy, Trash, Restore, Delete, Compress, Extract, Inspect, Open
    };

    FileError(Operation operation, int code, QString path, QList<ErrorNote> notes = {});
    FileError(Operation operation, int code, QString path, ErrorNote note);

    // An error from the errno value of a failed system call.
    static FileError fromErrno(Operation operation, int err, const QString &path);
    // The system's wording for an errno value, for details.
    static QString errnoText(int err);

    Operation operation() const { return m_operation; }
    int code() const { return m_code; }
    bool isErrno() const { return m_code > 0 && m_code < ReadCorruptFile; }
    QString path() const { return m_path; }
    const QList<ErrorNote> &notes() const { return m_notes; }
    // The notes in English, joined.
    QString detail() const;
    // The same error with one more note.
    [[nodiscard]] FileError withNote(const ErrorNote &note) const;

    // Plain words, e.g. “a.txt” couldn't be moved: Permission denied
    QString message() const;
    const char *what() const noexcept override;

private:
    Operation m_operation;
    int m_code;
    QString m_path;
    QList<ErrorNote> m_notes;
    QByteArray m_what;
};
