#pragma once
// The row of a pane's tabs, each named by its folder, with "+" after them to open a new tab on
// the active tab's folder. When the tabs don't fit they scroll sideways (the wheel too), the
// active one is kept in view, and "+" stays at the strip's end, always reachable.

#include "sidewaysstrip.h"
#include "viewenvironment.h"

#include <QPointer>

class PaneModel;
class QHBoxLayout;
class QToolButton;
class TabChip;

class TabStripView : public SidewaysStrip
{
    Q_OBJECT

public:
    TabStripView(const ViewEnvironment &env, PaneModel *pane, QWidget *parent = nullptr);

    QList<TabChip *> chips() const;
    QToolButton *addButton() const { return m_add; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void rebuild();
    void placeAddButton();
    void showActiveChip();
    void watchTabs();

    ViewEnvironment m_env;
    PaneModel *m_pane;
    QToolButton *m_add;
};
