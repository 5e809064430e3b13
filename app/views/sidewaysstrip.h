#pragma once
// A single row of small widgets that scrolls sideways without scroll bars and shows the pane's
// own background: the base of the breadcrumb and of the tab strip.

#include <QScrollArea>

class QHBoxLayout;

class SidewaysStrip : public QScrollArea
{
    Q_OBJECT

public:
    explicit SidewaysStrip(const QMargins &margins, QWidget *parent = nullptr);

protected:
    QWidget *row() const { return m_row; }
    QHBoxLayout *rowLayout() const { return m_layout; }

private:
    QWidget *m_row;
    QHBoxLayout *m_layout;
};
