#pragma once
// The icon of one item as a square of a given size. A generic document stands in until the
// shared icon cache has the item's own icon; a cached icon shows at once, without a new fetch.

#include <QIcon>
#include <QString>
#include <QUrl>
#include <QWidget>

class IconCache;

class FileIconView : public QWidget
{
    Q_OBJECT

public:
    FileIconView(IconCache *cache, int size, QWidget *parent = nullptr);

    void setUrl(const QUrl &url);
    QUrl url() const { return m_url; }
    // True once the item's own icon has arrived; until then the placeholder shows.
    bool hasIcon() const { return m_hasIcon; }
    QIcon icon() const { return m_icon; }

    QSize sizeHint() const override { return {m_size, m_size}; }

Q_SIGNALS:
    void iconChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void showIcon(const QIcon &icon);

    IconCache *m_cache;
    int m_size;
    QUrl m_url;
    QString m_path; // the cache's key of m_url, matched against each icon it announces
    QIcon m_icon;
    bool m_hasIcon = false;
};
