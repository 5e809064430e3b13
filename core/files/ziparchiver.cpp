#include "ziparchiver.h"

#include "dirstream.h"
#include "fileerror.h"
#include "filenames.h"
#include "posixfs.h"
#include "progressmeter.h"
#include "temporaryname.h"
#include "uniquefd.h"
#include "urls.h"
#include "utf8localescope.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct ArchiveFree
{
    void operator()(archive *a) const { archive_write_free(a); }
};
struct EntryFree
{
    void operator()(archive_entry *e) const { archive_entry_free(e); }
};
FileError writeError(const QString &path, ErrorNote note)
{
    return FileError(FileError::Operation::Compress, FileError::WriteUnknown, path, std::move(note));
}

FileError writeError(const QString &path, int err)
{
    return writeError(path, ErrorNote::systemReason(err));
}

// The system's reason when writing the archive failed, else libarchive's own words.
FileError writeError(const QString &path, archive *zip)
{
    if (archive_errno(zip) > 0)
        return writeError(path, archive_errno(zip));
    const char *text = archive_error_string(zip);
    return writeError(path, ErrorNote::libraryText(text ? QString::fromLocal8Bit(text) : QString()));
}

// libarchive crashes on a name that isn't UTF-8 and stores such a link target as empty.
void requireUtf8(const QByteArray &text, const QString &path, ErrorNote::Kind what)
{
    if (FileNames::hasRawBytes(FileNames::decode(text)))
        throw writeError(path, ErrorNote(what));
}

// Streams a tree of items into an open ZIP writer.
class TreeWriter
{
public:
    TreeWriter(archive *zip, const struct stat &archiveFile, const QString &archivePath, ProgressMeter &meter)
        : m_zip(zip), m_archiveFile(archiveFile), m_archivePath(archivePath), m_meter(meter)
    {
    }

    // `name` is opened relative to `parentFd`; `entryName` is its name inside the archive and
    // `path` its path for error messages.
    void add(int parentFd, const QByteArray &name, const QByteArray &entryName, const QString &path)
    {
        m_meter.check(path);
        struct stat st;
        if (::fstatat(parentFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            throw writeError(path, errno);
        if (st.st_dev == m_archiveFile.st_dev && st.st_ino == m_archiveFile.st_ino)
            return; // the archive being written, when it lies inside a folder being stored
        requireUtf8(entryName, path, ErrorNote::Kind::nameNotUtf8);
        if (S_ISDIR(st.st_mode))
            addFolder(parentFd, name, entryName, path, st);
        else if (S_ISREG(st.st_mode))
            addFile(parentFd, name, entryName, path, st);
        else if (S_ISLNK(st.st_mode))
            addLink(parentFd, name, entryName, path, st);
        // Fifos, sockets and devices have no place in a ZIP archive (and reading a fifo would block).
    }

private:
    std::unique_ptr<archive_entry, EntryFree> entryFor(const QByteArray &entryName, const struct stat &st)
    {
        std::unique_ptr<archive_entry, EntryFree> entry(archive_entry_new());
        archive_entry_copy_stat(entry.get(), &st);
        archive_entry_set_pathname_utf8(entry.get(), entryName.constData());
        if (!S_ISREG(st.st_mode))
            archive_entry_set_size(entry.get(), 0);
        return entry;
    }

    void writeHeader(archive_entry *entry, const QString &path)
    {
        if (archive_write_header(m_zip, entry) != ARCHIVE_OK)
            throw writingFailed(path);
    }

    // A system error while writing is the archive's (a full or failing destination); without
    // one, libarchive has refused the entry.
    FileError writingFailed(const QString &entryPath) const
    {
        return writeError(archive_errno(m_zip) > 0 ? m_archivePath : entryPath, m_zip);
    }

    void addFolder(int parentFd, const QByteArray &name, const QByteArray &entryName, const QString &path,
                   const struct stat &st)
    {
        DirStream dir = DirStream::openAt(parentFd, name.constData());
        if (!dir.isOpen())
            throw writeError(path, dir.error());
        const QByteArray folderName = entryName + '/';
        writeHeader(entryFor(folderName, st).get(), path);
        for (const QByteArray &child : sortedNames(dir, path))
            add(dir.fd(), child, folderName + child, Urls::childPath(path, FileNames::decode(child)));
    }

    static QList<QByteArray> sortedNames(DirStream &dir, const QString &path)
    {
        QList<QByteArray> names = dir.names();
        if (dir.error() != 0)
            throw writeError(path, dir.error());
        std::sort(names.begin(), names.end());
        return names;
    }

    void addFile(int parentFd, const QByteArray &name, const QByteArray &entryName, const QString &path,
                 const struct stat &st)
    {
        // Non-blocking and checked again once open: a file swapped for a pipe since it was
        // examined must not stall the compression forever.
        const UniqueFd file(::openat(parentFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!file.valid())
            throw writeError(path, errno);
        struct stat opened;
        if (::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_ino != st.st_ino)
            throw writeError(path, ErrorNote(ErrorNote::Kind::changedWhileCompressed));
        writeHeader(entryFor(entryName, st).get(), path);
        static constexpr qsizetype chunk = 256 * 1024;
        QByteArray buffer(chunk, Qt::Uninitialized);
        qint64 written = 0;
        for (;;) {
            m_meter.checkMidFile(path, written);
            const ssize_t got = ::read(file.get(), buffer.data(), chunk);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                throw writeError(path, errno);
            if (got == 0)
                break;
            if (archive_write_data(m_zip, buffer.constData(), size_t(got)) != got)
                throw writingFailed(path);
            written += got;
            m_meter.add(got);
        }
        if (written != st.st_size)
            throw writeError(path, ErrorNote(ErrorNote::Kind::changedWhileCompressed));
    }

    void addLink(int parentFd, const QByteArray &name, const QByteArray &entryName, const QString &path,
                 const struct stat &st)
    {
        QByteArray target(qsizetype(st.st_size) + 1, '\0');
        const ssize_t length = ::readlinkat(parentFd, name.constData(), target.data(), size_t(target.size()));
        if (length < 0)
            throw writeError(path, errno);
        if (length >= target.size()) // the link grew since it was examined
            throw writeError(path, ErrorNote(ErrorNote::Kind::changedWhileCompressed));
        target.truncate(length);
        requireUtf8(target, path, ErrorNote::Kind::linkTargetNotUtf8);
        auto entry = entryFor(entryName, st);
        archive_entry_set_symlink_utf8(entry.get(), target.constData());
        writeHeader(entry.get(), path);
    }

    archive *m_zip;
    struct stat m_archiveFile;
    const QString &m_archivePath;
    ProgressMeter &m_meter;
};

// Writes the whole archive into the open, empty file `fd`.
void writeArchive(int fd, const QList<FilePath> &items, const QString &archivePath, ProgressMeter &meter,
                  const CopyControl::OnItemDone &onItemDone)
{
    struct stat self;
    if (::fstat(fd, &self) != 0)
        throw writeError(archivePath, errno);
    std::unique_ptr<archive, ArchiveFree> zip(archive_write_new());
    // Names are marked as UTF-8 whatever the locale, so other programs read them right.
    if (archive_write_set_format_zip(zip.get()) != ARCHIVE_OK
        || archive_write_set_format_option(zip.get(), "zip", "hdrcharset", "UTF-8") != ARCHIVE_OK
        || archive_write_open_fd(zip.get(), fd) != ARCHIVE_OK)
        throw writeError(archivePath, zip.get());
    TreeWriter writer(zip.get(), self, archivePath, meter);
    for (qsizetype i = 0; i < items.size(); ++i) {
        writer.add(AT_FDCWD, items[i].nativePath(), items[i].fileNameBytes().toByteArray(), items[i].path());
        if (onItemDone)
            onItemDone(int(i + 1));
    }
    if (archive_write_close(zip.get()) != ARCHIVE_OK)
        throw writeError(archivePath, zip.get());
}

} // namespace

void ZipArchiver::compress(const QList<FilePath> &items, const FilePath &archive, const CopyControl &control)
{
    if (items.isEmpty())
        return;
    const Utf8LocaleScope utf8Names;
    const QString archivePath = archive.path();
    const QString partPath = TemporaryName::inFolder(archive.parentDir().path(), TemporaryName::zipPrefix);
    UniqueFd part(::open(FileNames::encode(partPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!part.valid())
        throw writeError(archivePath, errno);
    try {
        ProgressMeter meter(control, FileError::Operation::Compress);
        if (meter.wantsProgress()) {
            for (const FilePath &item : items)
                meter.measure(item.c_str(), item.path());
        }
        writeArchive(part.get(), items, archivePath, meter, control.onItemDone);
        if (::fsync(part.get()) != 0 || part.close() != 0)
            throw writeError(archivePath, errno);
        PosixFs::renameNoReplace(partPath, archivePath, FileError::Operation::Compress, archivePath);
        meter.finish();
    } catch (const FileError &error) {
        ::unlink(FileNames::encode(partPath).constData());
        if (error.code() == FileError::WriteUnknown || error.code() == ECANCELED)
            throw;
        throw writeError(error.path(), error.code());
    }
}
