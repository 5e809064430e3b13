#pragma once
// The two panes side by side. It keeps the split in the settings while the divider is dragged,
// hides and shows the right pane, carries the hidden-entry switch into the workspace and every
// tab, and moves the focus between panes (Ctrl+Left / Ctrl+Right, and Tab). The mouse's back and
// forward buttons step through the history of the pane under the pointer.

#include "viewenvironment.h"

#include <QWidget>

class PaneSplitView;
class PaneView;

class WorkspaceView : public QWidget
{
    Q_OBJECT

public:
    explicit WorkspaceView(const ViewEnvironment &env, QWidget *parent = nullptr);
    ~WorkspaceView() override;

    PaneView *paneView(int index) const;
    PaneView *activePaneView() const;
    PaneSplitView *split() const { return m_split; }

    // Gives the keyboard focus to the active pane's content.
    void focusActivePane();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void propagateHidden();
    PaneView *paneOf(QObject *object) const;
    void activatePaneOf(QObject *widget);
    void keepFocusInPaneOf(QWidget *hidden);
    bool stepThroughHistory(QObject *widget, Qt::MouseButton button);
    void applyTheme();

    ViewEnvironment m_env;
    QList<PaneView *> m_panes;
    PaneSplitView *m_split;
    bool m_appeared = false;
};
