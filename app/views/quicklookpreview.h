#pragma once
// The in-program preview of one item: an image (SVG too) scaled to fit, the beginning of a text
// file in a monospaced font, or else a large icon with the item's name, kind and size.
//
// The file is read off the main thread. An image is decoded at the size it is shown at, never
// at full size where the format can do that, so a photo of 100 megapixels costs a few
// megabytes; a format that can only decode in full is shown as an icon when that would take
// more than fullDecodeBudget bytes. Setting the same URL again reloads nothing.

#include "futureowner.h"
#include "filepath.h"
#include "viewenvironment.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <optional>

class FileIconView;
class QLabel;
class QPlainTextEdit;

class QuickLookPreview : public QWidget
{
    Q_OBJECT

public:
    static constexpr qint64 textLimit = 256 * 1024;
    static constexpr qint64 fullDecodeBudget = 64 * 1024 * 1024;

    enum class Kind { loading, image, text, icon };

    // What the background read found.
    struct Content
    {
        Kind kind = Kind::icon;
        QImage image;
        QSize fullSize; // the image's own size, before scaling
        QString text;
        bool isDirectory = false;
        std::optional<qint64> byteSize;
    };

    explicit QuickLookPreview(const ViewEnvironment &env, QWidget *parent = nullptr);

    void setUrl(const FilePath &url);
    FilePath url() const { return m_url; }

    Kind kind() const { return m_content.kind; }
    const QImage &image() const { return m_content.image; }
    QString text() const;
    QPlainTextEdit *textView() const { return m_text; }
    QWidget *iconPage() const { return m_iconPage; }

    // Reads `url` as the preview does, for an image fitted into `box` (device pixels).
    [[nodiscard]] static Content read(const FilePath &url, QSize box);

Q_SIGNALS:
    // Each time a read has finished and its content is shown.
    void contentChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *makeIconPage();
    void reload();
    void present(const Content &content);
    void retranslate();
    QSize decodeBox() const;

    ViewEnvironment m_env;
    FilePath m_url;
    Content m_content;
    QTimer m_redecode; // a larger window wants a sharper image, once resizing pauses
    QPlainTextEdit *m_text;
    QWidget *m_iconPage;
    FileIconView *m_icon;
    QLabel *m_name;
    QLabel *m_kind;
    QLabel *m_size;
    FutureOwner m_reading{FutureOwner::Teardown::letRunOut}; // reads copies only
};
