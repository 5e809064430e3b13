#include "zipextractor.h"

#include "dirstream.h"
#include "fileerror.h"
#include "filenames.h"
#include "nameconflicts.h"
#include "posixfs.h"
#include "progressmeter.h"
#include "temporaryname.h"
#include "treeremover.h"
#include "urls.h"
#include "utf8localescope.h"

#include <QFile>
#include <QLocale>
#include <QStringDecoder>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

using Op = FileError::Operation;

struct ReadFree
{
    void operator()(archive *a) const { archive_read_free(a); }
};
struct WriteFree
{
    void operator()(archive *a) const { archive_write_free(a); }
};

// Links checked by isSafeLinkTarget() only ever point inside, and libarchive refuses to write
// through any link, so nothing is written outside even by a crafted archive. Modes are set by
// us (without set-id bits); owners are never restored.
constexpr int diskFlags = ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_NO_OVERWRITE
    | ARCHIVE_EXTRACT_SECURE_SYMLINKS | ARCHIVE_EXTRACT_SECURE_NODOTDOT;

FileError corrupt(const QString &archivePath, ErrorNote note)
{
    return FileError(FileError::Operation::Extract, FileError::ReadCorruptFile, archivePath, std::move(note));
}

ErrorNote archiveText(archive *a)
{
    const char *text = archive_error_string(a);
    return ErrorNote::libraryText(text ? QString::fromLocal8Bit(text) : QString());
}

// The destination couldn't take what was written (full, read-only, out of inodes): its fault,
// not the archive's.
FileError destinationFailure(int err, const QString &archivePath, const QString &destination)
{
    if (err == ENOSPC || err == EDQUOT)
        return FileError(Op::Extract, err, archivePath, ErrorNote(ErrorNote::Kind::noRoomIn, {destination}));
    return FileError(Op::Extract, err, archivePath, ErrorNote(ErrorNote::Kind::notWritable, {destination}));
}

// A failure of the disk writer is the destination's whenever the system said why.
FileError writeFailure(archive *disk, const QString &archivePath, const QString &destination)
{
    const int err = archive_errno(disk);
    if (err > 0 && err < FileError::ReadCorruptFile)
        return destinationFailure(err, archivePath, destination);
    return corrupt(archivePath, archiveText(disk));
}

QStringList components(const QString &path)
{
    QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    parts.removeAll(QStringLiteral("."));
    return parts;
}

// The high half of the old DOS code page, which the format prescribes for names without its
// UTF-8 flag.
constexpr char16_t cp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// A stored name or link target. Names flagged as UTF-8 arrive as UTF-8; unflagged ones are
// taken as UTF-8 when they are valid UTF-8 (as many tools write them), else as the old DOS code
// page the format prescribes.
QString storedText(const char *raw)
{
    if (!raw)
        return {};
    const QByteArray bytes(raw);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QString legacy;
    legacy.reserve(bytes.size());
    for (const char c : bytes)
        legacy.append(QChar(uchar(c) < 0x80 ? char16_t(uchar(c)) : cp437High[uchar(c) - 0x80]));
    return legacy;
}

QString entryName(archive_entry *entry)
{
    return storedText(archive_entry_pathname(entry));
}

QString linkTarget(archive_entry *entry)
{
    return storedText(archive_entry_symlink(entry));
}

QString hardlinkTarget(archive_entry *entry)
{
    return storedText(archive_entry_hardlink(entry));
}

// The hidden folder an archive is unpacked into; removed with whatever is left in it.
class StagingFolder
{
public:
    StagingFolder(const QString &destination, const QString &archivePath)
    {
        const QString path = TemporaryName::inFolder(destination, TemporaryName::unzipPrefix);
        m_path = FileNames::encode(path);
        if (::mkdir(m_path.constData(), 0700) != 0)
            throw destinationFailure(errno, archivePath, destination);
        // libarchive checks every folder of a path for links, ours included: use the real path.
        char real[PATH_MAX];
        m_realPath = ::realpath(m_path.constData(), real) ? FileNames::decode(real) : path;
    }
    // An archive may have given a folder a mode that forbids removing what lies inside.
    ~StagingFolder() { TreeRemover::discard(AT_FDCWD, m_path.constData()); }
    StagingFolder(const StagingFolder &) = delete;
    StagingFolder &operator=(const StagingFolder &) = delete;

    const QString &path() const { return m_realPath; }

private:
    QByteArray m_path;
    QString m_realPath;
};

// The writer would skip an entry whose place is taken and report success, losing its data:
// two entries of one name ("a", "a/./b" after "a/b"). Only a folder may meet a folder there.
void requireFreePlace(archive_entry *entry, const QString &name, const QString &archivePath)
{
    struct stat st;
    if (::lstat(archive_entry_pathname(entry), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode) && archive_entry_filetype(entry) == AE_IFDIR && !archive_entry_hardlink(entry))
        return;
    throw corrupt(archivePath, ErrorNote(ErrorNote::Kind::entryTwice, {name}));
}

// Checks one entry and points it into the staging folder. False: nothing to extract.
bool placeEntry(archive_entry *entry, const QString &staging, const QString &archivePath)
{
    const QString name = entryName(entry);
    if (!ZipExtractor::isSafeEntryName(name))
        throw corrupt(archivePath, ErrorNote(ErrorNote::Kind::entryOutside, {name}));
    const mode_t type = archive_entry_filetype(entry);
    const QString hardlink = hardlinkTarget(entry);
    if (components(name).isEmpty() || (hardlink.isEmpty() && type != AE_IFREG && type != AE_IFDIR && type != AE_IFLNK))
        return false; // devices, fifos and sockets are not made from an archive
    if (type == AE_IFLNK && !ZipExtractor::isSafeLinkTarget(name, linkTarget(entry)))
        throw corrupt(archivePath, ErrorNote(ErrorNote::Kind::linkOutside, {name}));
    if (!hardlink.isEmpty()) {
        if (!ZipExtractor::isSafeEntryName(hardlink) || components(hardlink).isEmpty())
            throw corrupt(archivePath, ErrorNote(ErrorNote::Kind::linkOutside, {name}));
        archive_entry_copy_hardlink(entry, FileNames::encode(staging + QLatin1Char('/') + hardlink).constData());
    }
    if (type == AE_IFLNK)
        archive_entry_copy_symlink(entry, FileNames::encode(linkTarget(entry)).constData());
    archive_entry_copy_pathname(entry, FileNames::encode(staging + QLatin1Char('/') + name).constData());
    archive_entry_set_perm(entry, archive_entry_perm(entry) & 0777);
    requireFreePlace(entry, name, archivePath);
    return true;
}

void copyData(archive *reader, archive *disk, const QString &archivePath, const QString &destination,
              ProgressMeter &meter)
{
    for (qint64 entryDone = 0;;) {
        meter.checkMidFile(archivePath, entryDone);
        const void *block;
        size_t size;
        la_int64_t offset;
        const int r = archive_read_data_block(reader, &block, &size, &offset);
        if (r == ARCHIVE_EOF)
            return;
        // A warning here is a bad checksum, and from the writer a failed or short write.
        if (r != ARCHIVE_OK)
            throw corrupt(archivePath, archiveText(reader));
        if (archive_write_data_block(disk, block, size, offset) != ARCHIVE_OK)
            throw writeFailure(disk, archivePath, destination);
        entryDone += qint64(size);
        meter.add(qint64(size));
    }
}

std::unique_ptr<archive, ReadFree> openArchive(const QString &archivePath)
{
    std::unique_ptr<archive, ReadFree> reader(archive_read_new());
    archive_read_support_format_zip(reader.get());
    if (archive_read_open_filename(reader.get(), FileNames::encode(archivePath).constData(), 64 * 1024) != ARCHIVE_OK)
        throw corrupt(archivePath, archiveText(reader.get()));
    return reader;
}

// What the archive's headers say its files hold, for refusing at once an archive that can't
// fit, rather than after filling the disk. Entries without a size count as empty; a header
// that lies is caught later by the write that fails. Damage is left for unpack() to report.
qint64 declaredSize(const QString &archivePath)
{
    const std::unique_ptr<archive, ReadFree> reader = openArchive(archivePath);
    qint64 total = 0;
    archive_entry *entry;
    while (archive_read_next_header(reader.get(), &entry) == ARCHIVE_OK) {
        if (archive_entry_filetype(entry) == AE_IFREG && archive_entry_size_is_set(entry))
            total += std::max<qint64>(archive_entry_size(entry), 0);
        if (archive_read_data_skip(reader.get()) != ARCHIVE_OK)
            break;
    }
    return total;
}

void requireRoom(qint64 needed, const QString &archivePath, const QString &destination)
{
    struct statvfs vfs;
    if (::statvfs(FileNames::encode(destination).constData(), &vfs) != 0 || vfs.f_blocks == 0)
        return; // nothing known about the space: let the writes tell
    const qint64 available = qint64(vfs.f_bavail) * qint64(vfs.f_frsize);
    if (needed > available)
        throw FileError(FileError::Operation::Extract, ENOSPC, archivePath,
                        ErrorNote(ErrorNote::Kind::needsMoreRoom,
                                  {QString::number(needed), QString::number(available), destination}));
}

void unpack(const QString &archivePath, const QString &staging, const QString &destination, ProgressMeter &meter)
{
    const std::unique_ptr<archive, ReadFree> reader = openArchive(archivePath);
    std::unique_ptr<archive, WriteFree> disk(archive_write_disk_new());
    archive_write_disk_set_options(disk.get(), diskFlags);
    for (;;) {
        meter.check(archivePath);
        archive_entry *entry;
        const int r = archive_read_next_header(reader.get(), &entry);
        if (r == ARCHIVE_EOF)
            break;
        // A warning here is a name that couldn't be converted or headers that disagree.
        if (r != ARCHIVE_OK)
            throw corrupt(archivePath, archiveText(reader.get()));
        if (!placeEntry(entry, staging, archivePath))
            continue;
        if (archive_write_header(disk.get(), entry) != ARCHIVE_OK)
            throw writeFailure(disk.get(), archivePath, destination);
        // The size in a header may be absent; the data is read to its end in any case.
        if (archive_entry_filetype(entry) == AE_IFREG)
            copyData(reader.get(), disk.get(), archivePath, destination, meter);
        // Here and on closing, a warning only tells of a mode or time that couldn't be set: the
        // data is complete by then.
        if (archive_write_finish_entry(disk.get()) < ARCHIVE_WARN)
            throw writeFailure(disk.get(), archivePath, destination);
    }
    // Folder modes and times are set here, after their contents were written.
    if (archive_write_close(disk.get()) < ARCHIVE_WARN)
        throw writeFailure(disk.get(), archivePath, destination);
}

QList<QByteArray> topLevelNames(const QString &staging, const QString &archivePath)
{
    DirStream dir = DirStream::open(FileNames::encode(staging).constData());
    QList<QByteArray> names = dir.names();
    if (dir.error() != 0)
        throw corrupt(archivePath, ErrorNote::systemReason(dir.error()));
    std::sort(names.begin(), names.end());
    return names;
}

// A folder moved to another parent has its ".." entry rewritten, which needs write permission
// on the folder itself; an archive may well hold read-only folders. This lends the owner that
// permission for the move and gives the folder its own mode back afterwards.
class WritableForMove
{
public:
    explicit WritableForMove(const QString &path)
    {
        struct stat st;
        if (::lstat(FileNames::encode(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode) || (st.st_mode & S_IWUSR))
            return;
        m_mode = st.st_mode & 07777;
        m_lent = ::chmod(FileNames::encode(path).constData(), m_mode | S_IWUSR) == 0;
    }
    void restoreAt(const QString &path) const
    {
        if (m_lent)
            ::chmod(FileNames::encode(path).constData(), m_mode);
    }

private:
    mode_t m_mode = 0;
    bool m_lent = false;
};

// Moves one unpacked item beside the others under a free name; another program may take that
// name in between, so a taken name is simply tried again with the next free one.
QString moveIntoPlace(const QString &from, const QString &name, const FilePath &destination, const QString &archivePath)
{
    const WritableForMove writable(from);
    for (int attempt = 0;; ++attempt) {
        const QString to = destination.pathAppended(NameConflicts::uniqueDestinationName(name, destination)).path();
        try {
            PosixFs::renameNoReplace(from, to, FileError::Operation::Extract);
            writable.restoreAt(to);
            return to;
        } catch (const FileError &error) {
            if (error.code() != EEXIST || attempt == 100)
                throw corrupt(archivePath, ErrorNote::systemReason(error.code()));
        }
    }
}

// Takes an item already moved into place back into the staging folder. One that can't be moved
// back stays where it is, complete.
void moveBack(const QString &from, const QString &to)
{
    const WritableForMove writable(from);
    try {
        PosixFs::renameNoReplace(from, to, FileError::Operation::Extract);
        writable.restoreAt(to);
    } catch (const FileError &) {
        writable.restoreAt(from);
    }
}

} // namespace

bool ZipExtractor::isSafeEntryName(const QString &name)
{
    return !name.startsWith(QLatin1Char('/')) && !components(name).contains(QStringLiteral(".."));
}

bool ZipExtractor::isSafeLinkTarget(const QString &entryName, const QString &target)
{
    if (target.isEmpty() || target.startsWith(QLatin1Char('/')))
        return false;
    const qsizetype depth = components(entryName).size() - 1;
    qsizetype ups = 0;
    bool descended = false;
    for (const QString &part : components(target)) {
        if (part != QLatin1String(".."))
            descended = true;
        else if (descended)
            return false; // "a/../b": "a" may itself be a link, so this can't be judged by the text
        else
            ++ups;
    }
    return ups <= depth;
}

void ZipExtractor::extract(const FilePath &archive, const FilePath &destination, const CopyControl &control)
{
    const Utf8LocaleScope utf8Names;
    const QString archivePath = archive.path();
    const qint64 declared = declaredSize(archivePath);
    requireRoom(declared, archivePath, destination.path());
    ProgressMeter meter(control, FileError::Operation::Extract);
    meter.setTotal(declared);
    const StagingFolder staging(destination.path(), archivePath);
    unpack(archivePath, staging.path(), destination.path(), meter);
    QStringList names;
    for (const QByteArray &name : topLevelNames(staging.path(), archivePath))
        names.append(FileNames::decode(name));
    placeAll(staging.path(), names, [&](const QString &from, const QString &name) {
        return moveIntoPlace(from, name, destination, archivePath);
    });
    meter.finish();
}

void ZipExtractor::placeAll(const QString &staging, const QStringList &names, const Mover &move)
{
    QList<std::pair<QString, QString>> placed; // where each item went, and whence it came
    try {
        for (const QString &name : names) {
            const QString from = staging + QLatin1Char('/') + name;
            placed.append({move(from, name), from});
        }
    } catch (...) {
        for (auto it = placed.crbegin(); it != placed.crend(); ++it)
            moveBack(it->first, it->second);
        throw;
    }
}
