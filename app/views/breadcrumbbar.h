#pragma once
// The path as a row of folder buttons, root first, separated by chevrons. Every folder but the
// last is a flat button that asks to go there; the last one is the folder shown, in semibold
// and inert. The row scrolls sideways without scroll bars and keeps its end in view.

#include "sidewaysstrip.h"

#include "filepath.h"

class QHBoxLayout;

class BreadcrumbBar : public SidewaysStrip
{
    Q_OBJECT
    Q_PROPERTY(FilePath url READ url WRITE setUrl NOTIFY urlChanged)

public:
    explicit BreadcrumbBar(QWidget *parent = nullptr);

    FilePath url() const { return m_url; }
    void setUrl(const FilePath &url);
    void setCrumbFont(const QFont &font);

    // The names in the row, in order, for the tests and the accessibility tree.
    QStringList crumbNames() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void urlChanged(const FilePath &url);
    void crumbClicked(const FilePath &url);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void rebuild();
    void scrollToCurrent();

    FilePath m_url;
    QFont m_font;
};
