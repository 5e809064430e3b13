#pragma once
// The kernel's table of mounts (/proc/self/mountinfo), and the rule for which of them a person
// thinks of as a volume: the root file system, disks and partitions mounted for the user,
// network shares and FUSE file systems, but not the kernel's own file systems, the system's
// partitions (/boot, /var, …), bind mounts of a folder, nor a second mount of the same device.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

class MountTable
{
public:
    enum class Kind { internal, removable, network };

    struct Entry
    {
        int id = 0;
        int parentId = 0;
        QByteArray device;     // "major:minor"
        QByteArray root;       // the folder of the file system mounted here, "/" for all of it
        QByteArray mountPoint; // native bytes, escapes undone
        QByteArray fileSystemType;
        QByteArray source;
        friend bool operator==(const Entry &, const Entry &) = default;
    };

    // Lines that don't have the fields of a mount are skipped.
    [[nodiscard]] static QList<Entry> parse(QByteArrayView text);
    // The table of this process; empty when /proc isn't there.
    [[nodiscard]] static QList<Entry> read();
    // Undoes the kernel's octal escapes of space, tab, newline and backslash ("\040").
    [[nodiscard]] static QByteArray unescape(QByteArrayView field);

    // The mounts shown as volumes, in table order. The desktop's own FUSE mount of network
    // places under `runtimeDir` is left out: the places inside it are shown one by one.
    [[nodiscard]] static QList<Entry> volumes(const QList<Entry> &entries, const QByteArray &runtimeDir);
    [[nodiscard]] static Kind kind(const Entry &entry);
    [[nodiscard]] static bool isNetwork(const QByteArray &fileSystemType);
};
