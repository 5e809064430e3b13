#pragma once
// The invisible strip over the divider line that the user drags. It shows the left-right resize
// cursor only while the pointer is over it (a widget cursor is dropped by Qt when the pointer
// leaves or the handle goes away, so it can never stay changed) and reports each move as the
// horizontal distance from where the press began.

#include <QWidget>

class PaneDividerHandle : public QWidget
{
    Q_OBJECT

public:
    explicit PaneDividerHandle(QWidget *parent = nullptr);

Q_SIGNALS:
    void dragStarted();
    void dragMoved(double translation);
    void dragEnded();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    double m_pressX = 0;
    bool m_pressed = false;
    bool m_moved = false;
};
