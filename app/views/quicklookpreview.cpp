#include "quicklookpreview.h"

#include "appsettings.h"
#include "fileiconview.h"
#include "localization.h"
#include "theme.h"
#include "bytecount.h"
#include "titlelineview.h"
#include "uniquefd.h"

#include <QFile>
#include <QFontDatabase>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

using Content = QuickLookPreview::Content;
using Kind = QuickLookPreview::Kind;

bool readImage(QIODevice &file, QSize box, Content &content)
{
    QImageReader reader(&file);
    if (!reader.canRead())
        return false;
    const QSize full = reader.size();
    if (full.isEmpty())
        return false;
    const QSize target = full.width() > box.width() || full.height() > box.height()
                             ? full.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1))
                             : full;
    // JPEG decodes at a fraction of its size and SVG draws at any size; other formats that
    // take a scaled size still decode in full first.
    const QByteArray format = reader.format();
    const bool decodesSmall = format == "jpeg" || format == "svg" || format == "svgz";
    if (!decodesSmall && qint64(full.width()) * full.height() * 4 > QuickLookPreview::fullDecodeBudget)
        return false;
    reader.setScaledSize(target);
    QImage image = reader.read();
    if (image.isNull())
        return false;
    if (image.size() != target)
        image = image.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    content.kind = Kind::image;
    content.image = std::move(image);
    content.fullSize = full;
    return true;
}

// Text is valid UTF-8 without NUL bytes and with few control characters; a character cut in
// two at the end of the read is not an error.
bool readText(QIODevice &file, Content &content)
{
    const QByteArray head = file.read(QuickLookPreview::textLimit);
    if (head.isEmpty() || head.contains('\0'))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(head);
    if (decoder.hasError())
        return false;
    const auto control = std::count_if(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() < 0x20 && c != u'\n' && c != u'\r' && c != u'\t' && c != u'\f' && c != u'\x1b';
    });
    if (control * 100 > text.size())
        return false;
    content.kind = Kind::text;
    content.text = std::move(text);
    return true;
}

} // namespace

QuickLookPreview::Content QuickLookPreview::read(const FilePath &url, QSize box)
{
    Content content;
    // Not blocking: a named pipe or a device would otherwise hold the read forever.
    UniqueFd fd(::open(url.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat st = {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0) {
        if (::lstat(url.c_str(), &st) == 0) {
            content.isDirectory = S_ISDIR(st.st_mode);
            if (S_ISREG(st.st_mode))
                content.byteSize = st.st_size;
        }
        return content;
    }
    content.isDirectory = S_ISDIR(st.st_mode);
    if (!S_ISREG(st.st_mode))
        return content;
    content.byteSize = st.st_size;
    QFile file; // by descriptor: the path was opened above
    if (!file.open(fd.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return content;
    if (readImage(file, box, content))
        return content;
    file.seek(0);
    readText(file, content);
    return content;
}

QuickLookPreview::QuickLookPreview(const ViewEnvironment &env, QWidget *parent)
    : QWidget(parent), m_env(env), m_text(new QPlainTextEdit(this)), m_iconPage(makeIconPage())
{
    m_text->setReadOnly(true);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->document()->setDocumentMargin(10);
    m_text->hide();
    m_iconPage->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    layout->addWidget(m_iconPage);
    m_content.kind = Kind::loading;
    m_redecode.setSingleShot(true);
    m_redecode.setInterval(150);
    connect(&m_redecode, &QTimer::timeout, this, &QuickLookPreview::reload);
    if (env.settings)
        connect(env.settings, &AppSettings::languageChanged, this, &QuickLookPreview::retranslate);
}

QWidget *QuickLookPreview::makeIconPage()
{
    auto *page = new QWidget(this);
    m_icon = new FileIconView(m_env.icons, 128, page);
    m_name = new QLabel(page);
    m_kind = new QLabel(page);
    m_size = new QLabel(page);
    QFont big = m_name->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    m_name->setFont(big);
    m_name->setTextFormat(Qt::PlainText);
    m_name->setWordWrap(true);
    m_name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette secondary = m_kind->palette();
    secondary.setColor(QPalette::WindowText, Theme::daziduvEdiv().secondaryForeground);
    auto *column = new QVBoxLayout(page);
    column->addStretch(1);
    column->addWidget(m_icon, 0, Qt::AlignHCenter);
    column->addSpacing(8);
    for (QLabel *label : {m_name, m_kind, m_size}) {
        label->setAlignment(Qt::AlignHCenter);
        column->addWidget(label);
    }
    m_kind->setPalette(secondary);
    m_size->setPalette(secondary);
    column->addStretch(1);
    return page;
}

void QuickLookPreview::setUrl(const FilePath &url)
{
    if (url == m_url)
        return;
    m_url = url;
    m_content = Content();
    m_content.kind = Kind::loading;
    m_text->hide();
    m_iconPage->hide();
    update();
    reload();
}

QString QuickLookPreview::text() const
{
    return m_content.kind == Kind::text ? m_text->toPlainText() : QString();
}

// The image is decoded to fit the room the preview has now; before it is laid out, the room a
// preview dialog starts with.
QSize QuickLookPreview::decodeBox() const
{
    const QSize room = size().width() < 64 || size().height() < 64 ? QSize(640, 460) : size();
    return room * devicePixelRatioF();
}

void QuickLookPreview::reload()
{
    if (m_url.isEmpty())
        return;
    m_reading.cancelAll();
    m_reading.watch(QtConcurrent::run(FutureOwner::factsPool(), &QuickLookPreview::read, m_url, decodeBox()),
                    [this](const Content &content) { present(content); });
}

void QuickLookPreview::present(const Content &content)
{
    m_content = content;
    m_text->setVisible(content.kind == Kind::text);
    m_iconPage->setVisible(content.kind == Kind::icon);
    if (content.kind == Kind::text)
        m_text->setPlainText(content.text);
    m_content.text.clear(); // the editor keeps the one copy
    m_content.text.squeeze();
    if (content.kind == Kind::icon) {
        m_icon->setUrl(m_url);
        m_name->setText(m_url.displayName());
        retranslate();
    }
    update();
    Q_EMIT contentChanged();
}

void QuickLookPreview::retranslate()
{
    if (m_content.kind != Kind::icon || !m_env.settings)
        return;
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    m_kind->setText(TitleLineView::kind(m_url, m_content.isDirectory, loc));
    m_size->setText(m_content.byteSize ? ByteCount::text(*m_content.byteSize) : QString());
}

void QuickLookPreview::paintEvent(QPaintEvent *)
{
    if (m_content.kind != Kind::image)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF shown = QSizeF(m_content.image.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    // Never larger than the picture itself: a small icon stays sharp instead of blown up.
    const QSizeF fitted = shown.width() * devicePixelRatioF() > m_content.fullSize.width()
                              ? QSizeF(m_content.fullSize) / devicePixelRatioF()
                              : shown;
    const QRectF target(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    painter.drawImage(target, m_content.image);
}

void QuickLookPreview::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QSize box = decodeBox();
    const QSize image = m_content.image.size();
    const bool sharper = m_content.kind == Kind::image && image.width() < m_content.fullSize.width()
                         && image.width() < box.width() && image.height() < box.height();
    if (sharper)
        m_redecode.start();
}
