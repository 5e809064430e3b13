#include "mounttable.h"

#include <QFile>
#include <QString>

#include <optional>
#include <QList>

#include <algorithm>
#include <array>

namespace {

// A line: "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue".
// The optional fields before " - " vary in number; the three after it don't.
std::optional<MountTable::Entry> parseLine(QByteArrayView line)
{
    const QList<QByteArray> fields = line.toByteArray().split(' ');
    const auto separator = std::find(fields.begin(), fields.end(), QByteArray("-"));
    if (fields.size() < 10 || separator - fields.begin() < 6 || fields.end() - separator < 3)
        return std::nullopt;
    bool idOk = false;
    bool parentOk = false;
    MountTable::Entry entry;
    entry.id = fields[0].toInt(&idOk);
    entry.parentId = fields[1].toInt(&parentOk);
    if (!idOk || !parentOk)
        return std::nullopt;
    entry.device = fields[2];
    entry.root = MountTable::unescape(fields[3]);
    entry.mountPoint = MountTable::unescape(fields[4]);
    entry.fileSystemType = MountTable::unescape(separator[1]);
    entry.source = MountTable::unescape(separator[2]);
    return entry;
}

bool isUnder(const QByteArray &path, QByteArrayView folder)
{
    return path == folder || (path.startsWith(folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

// Mounted by the system for itself: never a place a person goes to.
bool isSystemPlace(const QByteArray &mountPoint)
{
    static constexpr std::array<QByteArrayView, 14> places{"/boot", "/efi", "/usr", "/var", "/opt", "/srv", "/tmp",
                                                           "/snap", "/nix", "/proc", "/sys", "/dev", "/run", "/etc"};
    return std::any_of(places.begin(), places.end(), [&](QByteArrayView place) { return isUnder(mountPoint, place); });
}

bool isMediaPlace(const QByteArray &mountPoint)
{
    return isUnder(mountPoint, "/media") || isUnder(mountPoint, "/run/media") || isUnder(mountPoint, "/mnt");
}

bool isDisk(const MountTable::Entry &entry)
{
    return entry.source.startsWith("/dev/");
}

} // namespace

QList<MountTable::Entry> MountTable::parse(QByteArrayView text)
{
    QList<Entry> entries;
    for (const QByteArray &line : text.toByteArray().split('\n'))
        if (std::optional<Entry> entry = parseLine(line))
            entries.append(*entry);
    return entries;
}

QList<MountTable::Entry> MountTable::read()
{
    // The kernel's own file, not a user's path.
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

QByteArray MountTable::unescape(QByteArrayView field)
{
    QByteArray result;
    result.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto isOctal = [&](qsizetype at) { return at < field.size() && field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
            result.append(char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
            i += 3;
        } else {
            result.append(field[i]);
        }
    }
    return result;
}

bool MountTable::isNetwork(const QByteArray &fileSystemType)
{
    static constexpr std::array<QByteArrayView, 16> types{
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph", "glusterfs", "davfs",
        "fuse.sshfs", "fuse.rclone", "fuse.curlftpfs", "fuse.s3fs", "fuse.davfs2", "fuse.glusterfs"};
    return std::find(types.begin(), types.end(), QByteArrayView(fileSystemType)) != types.end();
}

MountTable::Kind MountTable::kind(const Entry &entry)
{
    if (isNetwork(entry.fileSystemType))
        return Kind::network;
    return isMediaPlace(entry.mountPoint) ? Kind::removable : Kind::internal;
}

QList<MountTable::Entry> MountTable::volumes(const QList<Entry> &entries, const QByteArray &runtimeDir)
{
    QList<Entry> shown;
    QList<QByteArray> devicesShown;
    for (const Entry &entry : entries) {
        const bool fuse = entry.fileSystemType.startsWith("fuse") && entry.fileSystemType != "fusectl";
        if (!runtimeDir.isEmpty() && isUnder(entry.mountPoint, runtimeDir))
            continue;
        bool wanted = entry.mountPoint == "/" || isNetwork(entry.fileSystemType);
        if (!wanted && (isDisk(entry) || fuse))
            wanted = isMediaPlace(entry.mountPoint) || !isSystemPlace(entry.mountPoint);
        // A folder bound elsewhere, or the same device mounted a second time, is not another volume.
        if (!wanted || entry.root != "/" || (isDisk(entry) && devicesShown.contains(entry.device)))
            continue;
        devicesShown.append(entry.device);
        shown.append(entry);
    }
    return shown;
}
