#include "previewcolumnview.h"

#include "appsettings.h"
#include "datetext.h"
#include "fileiconview.h"
#include "localization.h"
#include "quicklookpreview.h"
#include "theme.h"
#include "bytecount.h"

#include <QFontMetrics>
#include <QLabel>
#include <QVBoxLayout>

PreviewColumnView::PreviewColumnView(const ViewEnvironment &env, QWidget *parent)
    : QWidget(parent), m_env(env), m_preview(new QuickLookPreview(env, this)), m_icon(new FileIconView(env.icons, 64, this)),
      m_name(new QLabel(this)), m_size(new QLabel(this)), m_modified(new QLabel(this))
{
    setFixedWidth(previewWidth);
    m_preview->setFixedSize(previewWidth - 24, 180);
    m_preview->hide();
    m_name->setTextFormat(Qt::PlainText);
    m_name->setWordWrap(true);
    m_name->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_name->setFont(env.settings->uiFont());
    m_name->setMaximumHeight(QFontMetrics(m_name->font()).lineSpacing() * 3);
    QPalette secondary = palette();
    secondary.setColor(QPalette::WindowText, Theme::daziduvEdiv().secondaryForeground);
    QFont caption = font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    for (QLabel *line : {m_size, m_modified}) {
        line->setPalette(secondary);
        line->setFont(caption);
    }
    auto *facts = new QVBoxLayout;
    facts->setSpacing(4);
    facts->addWidget(m_size);
    facts->addWidget(m_modified);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(10);
    column->addWidget(m_preview, 0, Qt::AlignHCenter);
    column->addWidget(m_icon, 0, Qt::AlignHCenter);
    column->addWidget(m_name);
    column->addLayout(facts);
    column->addStretch(1);
    connect(m_preview, &QuickLookPreview::contentChanged, this, &PreviewColumnView::showPreviewOrIcon);
    connect(env.settings, &AppSettings::languageChanged, this, &PreviewColumnView::retranslate);
}

void PreviewColumnView::setItem(const FileItem &item)
{
    const bool other = item.url != m_item.url;
    m_item = item;
    m_name->setText(item.name);
    m_icon->setUrl(item.url);
    m_preview->setUrl(item.url);
    if (other)
        showPreviewOrIcon();
    retranslate();
}

// A picture or a text says more than the icon; the icon stands in while the file is read and
// for everything else.
void PreviewColumnView::showPreviewOrIcon()
{
    const QuickLookPreview::Kind kind = m_preview->kind();
    const bool shown = kind == QuickLookPreview::Kind::image || kind == QuickLookPreview::Kind::text;
    m_preview->setVisible(shown);
    m_icon->setVisible(!shown);
}

void PreviewColumnView::retranslate()
{
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    m_size->setText(loc.infoSize + QStringLiteral(": ") + ByteCount::text(m_item.size));
    m_modified->setText(loc.infoModified + QStringLiteral(": ") + DateText::dateTime(m_item.modificationDate));
}

QString PreviewColumnView::nameText() const
{
    return m_name->text();
}

QString PreviewColumnView::sizeText() const
{
    return m_size->text();
}

QString PreviewColumnView::modifiedText() const
{
    return m_modified->text();
}
