#pragma once
// One tab in a pane's tab strip: the folder's name, a close button when the pane has more than
// one tab, and an accent bar under the active tab. A click selects the tab.

#include "filepath.h"
#include <QWidget>

class QLabel;
class QToolButton;

class TabChip : public QWidget
{
    Q_OBJECT

public:
    // Names longer than about 24 characters are shortened in the middle.
    TabChip(const QString &title, bool active, bool closable, const QFont &font, QWidget *parent = nullptr);

    bool isActive() const { return m_active; }

Q_SIGNALS:
    void clicked();
    void closeClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_active;
    QLabel *m_label;
    QToolButton *m_close = nullptr;
};
