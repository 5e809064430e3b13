#include "directorylister.h"

#include "dirstream.h"
#include "fileerror.h"
#include "halvedwork.h"
#include "filenames.h"
#include "namecollator.h"
#include "prefault.h"

#include <QByteArray>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <numeric>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Below this many entries a second thread costs more than it saves.
constexpr size_t SharedReadMinimum = 4096;
// Entries examined between two looks at the shared counter.
constexpr size_t ChunkEntries = 256;

// The names of one folder: the bytes of all of them in one buffer rather than one allocation each.
struct Names
{
    QByteArray bytes;           // each name followed by its NUL
    std::vector<quint32> at;    // where each name begins in `bytes`
    std::vector<unsigned char> types; // d_type: DT_UNKNOWN where the file system doesn't say

    size_t size() const { return at.size(); }
    const char *name(size_t i) const { return bytes.constData() + at[i]; }
    qsizetype length(size_t i) const { return (i + 1 < at.size() ? at[i + 1] : bytes.size()) - at[i] - 1; }
    QByteArrayView view(size_t i) const { return QByteArrayView(name(i), length(i)); }
};

struct Details
{
    qint64 size = 0;
    qint64 modifiedMs = 0;
    bool examined = false;
    bool isDirectory = false;
    bool isSymbolicLink = false;
};

// A folder reached through a link is read at its resolved place, so entries carry that path.
FilePath folderToRead(const FilePath &url)
{
    struct stat st;
    if (::lstat(url.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        return url.resolvingSymlinks();
    return url;
}

Names readNames(DirStream &dir, bool showHidden, const FilePath &url)
{
    Names names;
    // A folder's own size roughly bounds what its names take.
    struct stat folder;
    if (::fstat(dir.fd(), &folder) == 0 && folder.st_size > 0) {
        const size_t expected = size_t(std::min<off_t>(folder.st_size, off_t(256) << 20));
        names.bytes.reserve(qsizetype(expected));
        prefault(names.bytes.constData(), expected);
        reservePrefaulted(names.at, expected / 24);
        reservePrefaulted(names.types, expected / 24);
    }
    while (const dirent *entry = dir.next()) {
        if (entry->d_name[0] == '.' && !showHidden)
            continue;
        names.at.push_back(quint32(names.bytes.size()));
        names.types.push_back(entry->d_type);
        names.bytes.append(entry->d_name, qsizetype(std::strlen(entry->d_name)) + 1);
    }
    if (dir.error() != 0)
        throw FileError::fromErrno(FileError::Operation::List, dir.error(), url.path());
    return names;
}

// Only what the list shows is asked for. Metadata that can't be read leaves the defaults, and
// the kind the folder's entry gave.
Details examine(int dirFd, const char *name, unsigned char type)
{
    Details details;
    details.examined = true;
    details.isDirectory = type == DT_DIR;
    details.isSymbolicLink = type == DT_LNK;
    struct statx st;
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_SIZE | STATX_MTIME, &st) != 0)
        return details;
    details.isSymbolicLink = S_ISLNK(st.stx_mode);
    details.isDirectory = S_ISDIR(st.stx_mode);
    details.size = details.isDirectory ? 0 : qint64(st.stx_size);
    details.modifiedMs = qint64(st.stx_mtime.tv_sec) * 1000 + st.stx_mtime.tv_nsec / 1000000;
    if (details.isSymbolicLink) {
        struct statx target;
        details.isDirectory = ::statx(dirFd, name, 0, STATX_TYPE, &target) == 0 && S_ISDIR(target.stx_mode);
    }
    return details;
}

// Examines the entries not examined yet, a chunk at a time; any number of threads may share the
// work, each taking the next chunk nobody has taken.
class DetailReader
{
public:
    DetailReader(int dirFd, const Names &names, std::vector<Details> &details)
        : m_dirFd(dirFd), m_names(names), m_details(details)
    {
    }

    void readAll()
    {
        const size_t count = m_names.size();
        for (;;) {
            const size_t begin = m_next.fetch_add(ChunkEntries, std::memory_order_relaxed);
            if (begin >= count)
                return;
            for (size_t i = begin; i < std::min(count, begin + ChunkEntries); ++i)
                if (!m_details[i].examined)
                    m_details[i] = examine(m_dirFd, m_names.name(i), m_names.types[i]);
        }
    }

private:
    int m_dirFd;
    const Names &m_names;
    std::vector<Details> &m_details;
    std::atomic<size_t> m_next{0};
};

// Where the folder's entry doesn't give the kind (a link, which sorts with what it points to, or
// a file system that keeps no types), it is needed before the entries can be ordered.
bool examinedFirst(unsigned char type)
{
    return type == DT_LNK || type == DT_UNKNOWN;
}

QDateTime modificationTime(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

// The entries in display order, made into FileItems a stretch at a time, so that the first few
// can be shown before the rest are made. Those examined first come with their sizes and dates;
// the details of the others are being read meanwhile, and are left alone.
class Arrangement
{
public:
    Arrangement(const FilePath &folder, const Names &names, QList<QString> &texts, const NameCollator::Order &order,
                const std::vector<Details> &details)
        : m_folder(folder), m_names(names), m_texts(texts), m_ranks(order.ranks), m_details(details)
    {
        reservePrefaulted(m_entryOf, names.size());
        for (bool folders : {true, false})
            for (quint32 i : order.byName)
                if (isDirectory(i) == folders)
                    m_entryOf.push_back(i);
    }

    size_t size() const { return m_entryOf.size(); }
    // Which name the entry at each place came from.
    const std::vector<quint32> &entryOf() const { return m_entryOf; }

    // Makes the entries from the end of `listing` up to place `end`.
    void extend(DirectoryListing &listing, size_t end)
    {
        reservePrefaulted(listing.items, size());
        reservePrefaulted(listing.nameRanks, size());
        for (size_t place = size_t(listing.items.size()); place < end; ++place) {
            const quint32 i = m_entryOf[place];
            const Details first = examinedFirst(m_names.types[i]) ? m_details[i] : Details();
            listing.items.emplaceBack(m_folder.pathAppended(m_names.view(i)), std::move(m_texts[i]), isDirectory(i),
                                      first.size, modificationTime(first.modifiedMs), first.isSymbolicLink);
            listing.nameRanks.push_back(m_ranks[i]);
        }
    }

private:
    bool isDirectory(quint32 i) const
    {
        return examinedFirst(m_names.types[i]) ? m_details[i].isDirectory : m_names.types[i] == DT_DIR;
    }

    const FilePath &m_folder;
    const Names &m_names;
    QList<QString> &m_texts;
    const std::vector<quint32> &m_ranks;
    const std::vector<Details> &m_details;
    std::vector<quint32> m_entryOf;
};

// An entry that turned out to be of another kind than the folder said (replaced meanwhile)
// moves to its group.
void regroup(DirectoryListing &listing)
{
    std::vector<quint32> order(size_t(listing.items.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
        const FileItem &x = listing.items.at(a), &y = listing.items.at(b);
        if (x.directorySortRank() != y.directorySortRank())
            return x.directorySortRank() < y.directorySortRank();
        return listing.nameRanks[a] < listing.nameRanks[b];
    });
    DirectoryListing sorted;
    sorted.items.reserve(listing.items.size());
    sorted.nameRanks.reserve(order.size());
    for (quint32 k : order) {
        sorted.items.append(listing.items.at(k));
        sorted.nameRanks.push_back(listing.nameRanks[k]);
    }
    listing = std::move(sorted);
}

void fillIn(DirectoryListing &listing, const std::vector<Details> &details, const std::vector<quint32> &entryOf)
{
    bool regrouped = false;
    for (qsizetype k = 0; k < listing.items.size(); ++k) {
        const Details &known = details[entryOf[size_t(k)]];
        FileItem &item = listing.items[k];
        item.size = known.size;
        item.modificationDate = modificationTime(known.modifiedMs);
        item.isSymbolicLink = known.isSymbolicLink;
        regrouped = regrouped || item.isDirectory != known.isDirectory;
        item.isDirectory = known.isDirectory;
    }
    if (regrouped)
        regroup(listing);
}

} // namespace

FilePath DirectoryLister::listedPath(const FilePath &url)
{
    if (url.isEmpty() || url.isRoot())
        return url;
    return folderToRead(url.parentDir()).pathAppended(url.fileNameBytes());
}

DirectoryListing DirectoryLister::list(const FilePath &url, bool showHidden, const ListingFirstPage &firstPage)
{
    const FilePath folder = folderToRead(url);
    DirStream dir = DirStream::open(folder.c_str());
    if (!dir.isOpen())
        throw FileError::fromErrno(FileError::Operation::List, dir.error(), url.path());
    const Names names = readNames(dir, showHidden, url);

    std::vector<Details> details;
    reservePrefaulted(details, names.size());
    details.resize(names.size());
    for (size_t i = 0; i < names.size(); ++i)
        if (examinedFirst(names.types[i]))
            details[i] = examine(dir.fd(), names.name(i), names.types[i]);

    // Both threads put the names in order first, then read the details, so that the first
    // entries are ready as early as they can be.
    QList<QString> texts;
    reservePrefaulted(texts, names.size());
    texts.resize(qsizetype(names.size()));
    QString *text = texts.data();
    inTwoHalves(names.size(), SharedReadMinimum, [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i)
            text[i] = FileNames::displayName(FileNames::decode(names.name(i), names.length(i)));
    });
    const NameCollator::Order order = NameCollator().order(texts);
    DetailReader reader(dir.fd(), names, details);
    std::jthread helper;
    if (names.size() >= SharedReadMinimum)
        helper = std::jthread([&reader] { reader.readAll(); });

    Arrangement arrangement(folder, names, texts, order, details);
    DirectoryListing listing;
    if (firstPage.show && firstPage.size > 0) {
        arrangement.extend(listing, std::min(arrangement.size(), size_t(firstPage.size)));
        firstPage.show(listing, qsizetype(arrangement.size()));
    }
    arrangement.extend(listing, arrangement.size());
    texts = {};

    reader.readAll();
    if (helper.joinable())
        helper.join();
    fillIn(listing, details, arrangement.entryOf());
    return listing;
}
