#pragma once
// ZIP archives written entry by entry exactly as given, as an attacker could make them ("..",
// absolute names, links pointing anywhere, odd modes). Data is stored uncompressed, so a test can
// find and alter it; names as the raw bytes given, without the UTF-8 flag, as old tools write them.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTest>

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

struct ZipEntry
{
    QByteArray name;
    mode_t type = AE_IFREG;
    int perm = 0644;
    QByteArray data;
    QByteArray target; // of a symbolic link
};

inline ZipEntry zipFile(const QByteArray &name, const QByteArray &data = "x", int perm = 0644)
{
    return {name, AE_IFREG, perm, data, {}};
}
inline ZipEntry zipFolder(const QByteArray &name, int perm = 0755) { return {name, AE_IFDIR, perm, {}, {}}; }
inline ZipEntry zipLink(const QByteArray &name, const QByteArray &target) { return {name, AE_IFLNK, 0777, {}, target}; }

// Whether the local header of the entry `name`, in an archive the code under test wrote, carries
// the UTF-8 flag (general purpose bit 11).
inline bool utf8Flagged(const QByteArray &zip, const QByteArray &name)
{
    const qsizetype at = zip.indexOf(name);
    const qsizetype header = at < 0 ? -1 : zip.lastIndexOf("PK\x03\x04", at);
    return header >= 0 && (zip.at(header + 7) & 0x08);
}

inline void writeZip(const QString &path, const QList<ZipEntry> &entries)
{
    struct PlainLocale // the writer flags names as UTF-8 under a UTF-8 locale
    {
        locale_t plain = ::newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        locale_t previous = ::uselocale(plain);
        ~PlainLocale() { ::uselocale(previous), ::freelocale(plain); }
    } plainLocale;
    archive *zip = archive_write_new();
    archive_write_set_format_zip(zip);
    archive_write_set_format_option(zip, "zip", "compression", "store");
    QCOMPARE(archive_write_open_filename(zip, QFile::encodeName(path).constData()), ARCHIVE_OK);
    for (const ZipEntry &e : entries) {
        archive_entry *entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.constData());
        archive_entry_set_filetype(entry, e.type);
        archive_entry_set_perm(entry, mode_t(e.perm));
        archive_entry_set_size(entry, e.data.size());
        if (!e.target.isEmpty())
            archive_entry_set_symlink(entry, e.target.constData());
        QVERIFY2(archive_write_header(zip, entry) == ARCHIVE_OK, archive_error_string(zip));
        archive_write_data(zip, e.data.constData(), size_t(e.data.size()));
        archive_entry_free(entry);
    }
    archive_write_free(zip);
}
