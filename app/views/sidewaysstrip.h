#pragma once
// A single row of small widgets that scrolls sideways without scroll bars and shows the pane's
// own background: the base of the breadcrumb and of the tab strip. The mouse wheel (either
// direction) scrolls it sideways. The row is never narrower than its widgets want: they keep
// their widths and the strip scrolls instead; an edge beyond which more of the row lies fades
// out, so a widget cut there reads as more to scroll to.

#include <QScrollArea>

class QGraphicsOpacityEffect;
class QHBoxLayout;

class SidewaysStrip : public QScrollArea
{
    Q_OBJECT

public:
    explicit SidewaysStrip(const QMargins &margins, QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Makes the row as wide as its widgets want (at least the visible width). Widgets added to
    // a shown row appear only from the event loop, so callers fit it again from there.
    void fitRow();
    QWidget *row() const { return m_row; }
    QHBoxLayout *rowLayout() const { return m_layout; }

private:
    void updateFades();

    QWidget *m_row;
    QHBoxLayout *m_layout;
    QGraphicsOpacityEffect *m_fade;
};
