#pragma once
// The icon of one item as a square of a given size. A generic document stands in until the
// shared icon cache has the item's own icon; a cached icon shows at once, without a new fetch.

#include <QIcon>
#include <QWidget>

#include "filepath.h"

class IconCache;

class FileIconView : public QWidget
{
    Q_OBJECT

public:
    FileIconView(IconCache *cache, int size, QWidget *parent = nullptr);

    void setUrl(const FilePath &url);
    FilePath url() const { return m_url; }
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
    FilePath m_url;
    QIcon m_icon;
    bool m_hasIcon = false;
};
