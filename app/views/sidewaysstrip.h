#pragma once
// A single row of small widgets that scrolls sideways without scroll bars and shows the pane's
// own background: the base of the breadcrumb and of the tab strip. The mouse wheel (either
// direction) scrolls it sideways. The row is never narrower than its widgets want: they keep
// their widths and the strip scrolls instead.

#include <QScrollArea>

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
    QWidget *m_row;
    QHBoxLayout *m_layout;
};
