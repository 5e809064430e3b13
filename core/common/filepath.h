#pragma once
// Where an item lies: an absolute local path held as the kernel's bytes (implicitly shared), so
// a name that isn't valid UTF-8 reaches the system call exactly as the listing read it. Text
// enters and leaves through FileNames' lossless conversion; QUrl only at the edges of the
// program (clipboard, drag and drop, other programs).
//
// A path is kept in one form: a single leading "/", no doubled "/", no trailing "/" except for
// the root. "." and ".." are left alone unless cleanPath() is asked for.

#include <QByteArray>
#include <QByteArrayView>
#include <QHashFunctions>
#include <QMetaType>
#include <QString>

#include <compare>

class QUrl;

class FilePath
{
public:
    FilePath() = default;

    // An absolute path in native bytes; a relative one is taken relative to the working folder.
    // Empty for bytes holding a NUL, which no path can.
    [[nodiscard]] static FilePath fromNative(QByteArrayView bytes);
    // Text as FileNames::decode gives it (raw bytes as lone surrogates), so the bytes come back.
    [[nodiscard]] static FilePath fromString(const QString &text);
    // The same, a relative text taken relative to `base`.
    [[nodiscard]] static FilePath fromString(const QString &text, const FilePath &base);
    // The path of a file URL of this machine (no host, or "localhost"); empty for anything else.
    [[nodiscard]] static FilePath fromUrl(const QUrl &url);
    // "file:///tmp/a%20b" written as text; empty unless it is such a URL.
    [[nodiscard]] static FilePath fromUrlText(const QString &text);

    [[nodiscard]] bool isEmpty() const { return m_bytes.isEmpty(); }
    [[nodiscard]] bool isRoot() const { return m_bytes.size() == 1; }

    // The bytes for a system call: NUL-terminated, never re-encoded.
    [[nodiscard]] const QByteArray &nativePath() const { return m_bytes; }
    [[nodiscard]] const char *c_str() const { return m_bytes.constData(); }
    // Lossless text (see FileNames); turns back into the same path with fromString.
    [[nodiscard]] QString path() const;
    // For people to read: bytes that aren't UTF-8 shown as U+FFFD.
    [[nodiscard]] QString displayPath() const;
    [[nodiscard]] QUrl toUrl() const;

    // The last component, "/" for the root; as bytes, as lossless text, and for reading.
    [[nodiscard]] QByteArrayView fileNameBytes() const;
    [[nodiscard]] QString fileName() const;
    [[nodiscard]] QString displayName() const;

    // The folder holding this item; the root stays the root.
    [[nodiscard]] FilePath parentDir() const;
    // One more component below this path, given in lossless text or as bytes.
    [[nodiscard]] FilePath pathAppended(const QString &name) const;
    [[nodiscard]] FilePath pathAppended(QByteArrayView name) const;
    // True when this path lies strictly below `folder`.
    [[nodiscard]] bool isChildOf(const FilePath &folder) const;
    [[nodiscard]] bool isSameOrChildOf(const FilePath &folder) const { return *this == folder || isChildOf(folder); }
    // The bytes below `folder` ("a/b" for /x/a/b below /x); empty when not a child.
    [[nodiscard]] QByteArray relativeChildPath(const FilePath &folder) const;
    // "." removed and ".." resolved, without touching the disk; never above "/".
    [[nodiscard]] FilePath cleanPath() const;
    // Every symbolic link resolved as far as the path exists; the rest kept as it is.
    [[nodiscard]] FilePath resolvingSymlinks() const;

    friend bool operator==(const FilePath &a, const FilePath &b) { return a.m_bytes == b.m_bytes; }
    friend std::strong_ordering operator<=>(const FilePath &a, const FilePath &b)
    {
        const int c = a.m_bytes.compare(b.m_bytes);
        return c < 0 ? std::strong_ordering::less : c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal;
    }
    friend size_t qHash(const FilePath &path, size_t seed = 0) { return qHash(path.m_bytes, seed); }

private:
    explicit FilePath(QByteArray normalised) : m_bytes(std::move(normalised)) {}

    QByteArray m_bytes;
};

Q_DECLARE_METATYPE(FilePath)
