#pragma once
// Paths to text and text back to paths. copyString() gives the shell-ready text the copy-path
// commands put on the clipboard; resolve() reads a path a user typed or pasted (quoted,
// backslash-escaped, "~" or "~user", or a file URL) and says whether it names an existing
// folder, an existing file, or nothing. The clipboard itself belongs to the application: this
// service only makes and reads text, so it stays free of Qt Gui.

#include <QList>
#include <QString>
#include "filepath.h"

#include <optional>

class PathClipboardService
{
public:
    class Resolution
    {
    public:
        enum class Kind { directory, file, notFound };

        static Resolution directory(FilePath url) { return {Kind::directory, {}, std::move(url)}; }
        static Resolution file(FilePath parent, FilePath file) { return {Kind::file, std::move(parent), std::move(file)}; }
        static Resolution notFound(FilePath url) { return {Kind::notFound, {}, std::move(url)}; }

        Kind kind() const { return m_kind; }
        // The folder, the file, or the missing location; always standardised.
        const FilePath &url() const { return m_url; }
        // The folder holding the file; empty for the other kinds.
        const FilePath &parent() const { return m_parent; }

        friend bool operator==(const Resolution &, const Resolution &) = default;

    private:
        Resolution(Kind kind, FilePath parent, FilePath url)
            : m_kind(kind), m_parent(std::move(parent)), m_url(std::move(url)) {}
        Kind m_kind;
        FilePath m_parent;
        FilePath m_url;
    };

    // The same text as PathFormatter::joinForShell.
    [[nodiscard]] static QString copyString(const QList<FilePath> &urls);

    // None when the text is only white space. A relative path is taken relative to
    // `relativeTo`, or to the process's working folder when that is empty. Never fails:
    // text that names nothing gives notFound.
    [[nodiscard]] static std::optional<Resolution> resolve(const QString &text, const FilePath &relativeTo = {});
    // What a path names, taken as it is: no quotes, escapes or "~" are read into it.
    [[nodiscard]] static Resolution resolve(const FilePath &url);

    // Undoes the quoting a user is likely to paste, first rule that applies:
    // $'…' (with \xNN for a byte), '…' (with '\'' for a quote inside), "…" (taken as is), or
    // "\ " for a space.
    [[nodiscard]] static QString unescape(const QString &text);

    // "~" and "~/…" under the home folder ($HOME), "~name/…" under that user's home folder;
    // anything else, an unknown user included, is returned unchanged.
    [[nodiscard]] static QString expandingTilde(const QString &path);
};
