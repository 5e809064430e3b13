#pragma once
// The one error type the core throws. It carries what was being done, to which item, and why:
// either an errno value or one of the program's own codes below. The command layer shows
// message(); the application may build its own localised wording from operation() and code().

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

    enum class Operation {
        Read, List, Create, Rename, Move, Copy, Trash, Restore, Delete, Compress, Extract, Inspect, Open
    };

    FileError(Operation operation, int code, QString path, QString detail = {});

    // An error from the errno value of a failed system call.
    static FileError fromErrno(Operation operation, int err, const QString &path);
    // The system's wording for an errno value, for details.
    static QString errnoText(int err);

    Operation operation() const { return m_operation; }
    int code() const { return m_code; }
    bool isErrno() const { return m_code > 0 && m_code < ReadCorruptFile; }
    QString path() const { return m_path; }
    QString detail() const { return m_detail; }

    // Plain words, e.g. “a.txt” couldn't be moved: Permission denied
    QString message() const;
    const char *what() const noexcept override;

private:
    Operation m_operation;
    int m_code;
    QString m_path;
    QString m_detail;
    QByteArray m_what;
};
