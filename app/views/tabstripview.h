#pragma once
// The row of a pane's tabs, each named by its folder, with "+" after them to open a new tab on
// the active tab's folder. Scrolls sideways when the tabs don't fit.

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

private:
    void rebuild();
    void watchTabs();

    ViewEnvironment m_env;
    PaneModel *m_pane;
    QToolButton *m_add;
};
