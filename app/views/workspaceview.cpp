#include "workspaceview.h"

#include "appsettings.h"
#include "panemodel.h"
#include "panesplitview.h"
#include "paneview.h"
#include "tabmodel.h"
#include "theme.h"
#include "workspacemodel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>
#include <QVBoxLayout>

WorkspaceView::WorkspaceView(const ViewEnvironment &env, QWidget *parent) : QWidget(parent), m_env(env)
{
    const QList<PaneModel *> panes = env.workspace->panes();
    for (PaneModel *pane : panes)
        m_panes << new PaneView(env, pane);
    m_split = new PaneSplitView(m_panes.value(0), m_panes.value(1), this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_split);
    applyTheme();

    AppSettings *settings = env.settings;
    m_split->setFraction(settings->paneSplitFraction());
    m_split->setRightHidden(settings->rightPaneHidden());
    // The panes follow the pointer; the settings file is written once, where the drag ends.
    connect(m_split, &PaneSplitView::fractionDragged, m_split, &PaneSplitView::setFraction);
    connect(m_split, &PaneSplitView::dragEnded, this, [this] { m_env.settings->setPaneSplitFraction(m_split->fraction()); });
    connect(settings, &AppSettings::paneSplitFractionChanged, m_split,
            [this] { m_split->setFraction(m_env.settings->paneSplitFraction()); });
    connect(settings, &AppSettings::rightPaneHiddenChanged, this, [this] {
        const bool hidden = m_env.settings->rightPaneHidden();
        // A hidden pane can't hold the focus: the left one takes it over.
        if (hidden && m_env.workspace->activePaneID() != m_env.workspace->panes().first()->id())
            m_env.workspace->setActivePaneID(m_env.workspace->panes().first()->id());
        m_split->setRightHidden(hidden);
    });
    connect(settings, &AppSettings::showHiddenChanged, this, &WorkspaceView::propagateHidden);
    connect(env.workspace, &WorkspaceModel::activePaneIDChanged, this, &WorkspaceView::focusActivePane);

    auto *left = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Left), this);
    auto *right = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Right), this);
    connect(left, &QShortcut::activated, this, [this] { m_env.workspace->focusAdjacentPane(-1); });
    connect(right, &QShortcut::activated, this, [this] {
        if (!m_env.settings->rightPaneHidden())
            m_env.workspace->focusAdjacentPane(1);
    });
    qApp->installEventFilter(this);
}

WorkspaceView::~WorkspaceView()
{
    qApp->removeEventFilter(this);
}

PaneView *WorkspaceView::paneView(int index) const
{
    return m_panes.value(index);
}

void WorkspaceView::applyTheme()
{
    m_split->setLineColor(Theme::daziduvEdiv().divider);
}

void WorkspaceView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_appeared)
        return;
    m_appeared = true;
    propagateHidden();
}

void WorkspaceView::propagateHidden()
{
    const bool show = m_env.settings->showHidden();
    m_env.workspace->setShowHidden(show);
    for (PaneModel *pane : m_env.workspace->panes()) {
        for (TabModel *tab : pane->tabs())
            tab->setShowHidden(show);
    }
}

void WorkspaceView::focusActivePane()
{
    const QUuid active = m_env.workspace->activePaneID();
    for (PaneView *view : std::as_const(m_panes)) {
        if (view->pane()->id() == active && !view->isAncestorOf(QApplication::focusWidget()))
            view->focusContent();
    }
}

bool WorkspaceView::focusNextPrevChild(bool next)
{
    // Qt asks this too when the widget with the keyboard is hidden (a filter bar closed, a
    // progress row done, a column cut off). That is no Tab press: the keyboard stays in its
    // pane, so the active pane doesn't change by itself and no key goes to a hidden field.
    if (QWidget *focus = QApplication::focusWidget(); focus && !focus->isVisible()) {
        keepFocusInPaneOf(focus);
        return true;
    }
    // Tab moves between the panes, not through every button of the header.
    Q_UNUSED(next);
    if (m_env.settings->rightPaneHidden())
        return true;
    const bool leftActive = m_env.workspace->activePaneID() == m_env.workspace->panes().first()->id();
    m_env.workspace->focusAdjacentPane(leftActive ? 1 : -1);
    return true;
}

void WorkspaceView::keepFocusInPaneOf(QWidget *hidden)
{
    PaneView *view = paneOf(hidden);
    if (!view || !view->isVisible())
        view = activePaneView();
    view->focusContent();
    // Nothing shown there could take it: no widget at all is better than one no one sees.
    if (QApplication::focusWidget() == hidden)
        hidden->clearFocus();
}

PaneView *WorkspaceView::activePaneView() const
{
    for (PaneView *view : m_panes) {
        if (view->pane()->id() == m_env.workspace->activePaneID())
            return view;
    }
    return m_panes.value(0);
}

bool WorkspaceView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress
        && stepThroughHistory(watched, static_cast<QMouseEvent *>(event)->button()))
        return true;
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::FocusIn)
        activatePaneOf(watched);
    return QWidget::eventFilter(watched, event);
}

bool WorkspaceView::stepThroughHistory(QObject *widget, Qt::MouseButton button)
{
    if (button != Qt::BackButton && button != Qt::ForwardButton)
        return false;
    PaneView *view = paneOf(widget);
    if (!view)
        return false;
    m_env.workspace->setActivePaneID(view->pane()->id());
    TabModel *tab = view->pane()->activeTab();
    if (button == Qt::BackButton && tab->history().canGoBack())
        tab->goBack();
    else if (button == Qt::ForwardButton && tab->history().canGoForward())
        tab->goForward();
    return true;
}

PaneView *WorkspaceView::paneOf(QObject *object) const
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !isAncestorOf(widget))
        return nullptr;
    for (PaneView *view : m_panes) {
        if (view == widget || view->isAncestorOf(widget))
            return view;
    }
    return nullptr;
}

void WorkspaceView::activatePaneOf(QObject *object)
{
    if (PaneView *view = paneOf(object))
        m_env.workspace->setActivePaneID(view->pane()->id());
}
