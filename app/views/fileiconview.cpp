#include "fileiconview.h"

#include "iconcache.h"
#include "themeicons.h"
#include "urls.h"

#include <QPainter>

FileIconView::FileIconView(IconCache *cache, int size, QWidget *parent)
    : QWidget(parent), m_cache(cache), m_size(size)
{
    setFixedSize(size, size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // An icon for an earlier URL is not shown: the view shows another item by now.
    if (cache)
        connect(cache, &IconCache::iconReady, this, [this](const QString &path, const QIcon &icon) {
            if (!m_hasIcon && !m_path.isEmpty() && path == m_path)
                showIcon(icon);
        });
}

void FileIconView::setUrl(const QUrl &url)
{
    if (url == m_url)
        return;
    m_url = url;
    m_path = url.isEmpty() ? QString() : Urls::path(url);
    m_icon = QIcon();
    m_hasIcon = false;
    update();
    if (!m_cache || url.isEmpty())
        return;
    if (std::optional<QIcon> cached = m_cache->icon(url))
        showIcon(*cached);
}

void FileIconView::showIcon(const QIcon &icon)
{
    m_icon = icon;
    m_hasIcon = true;
    update();
    Q_EMIT iconChanged();
}

void FileIconView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect square(0, 0, m_size, m_size);
    if (!m_icon.isNull()) {
        m_icon.paint(&painter, square);
        return;
    }
    painter.setOpacity(0.55); // the placeholder is secondary to real icons around it
    ThemeIcons::icon(ThemeIcons::Symbol::file).paint(&painter, square.adjusted(1, 1, -1, -1));
}
