#pragma once
// The strip under a pane's header that says where the active tab is: a breadcrumb, or a path
// field where a typed or pasted path is read and followed (a folder is opened, a file is
// selected in its folder, anything else puts the current path back). A button beside it
// switches between the two; the tab remembers which one it shows.

#include "tabmodel.h"
#include "viewenvironment.h"

#include <QPointer>
#include <QWidget>

class BreadcrumbBar;
class QLineEdit;
class QStackedWidget;
class QToolButton;


class PathBarView : public QWidget
{
    Q_OBJECT

public:
    explicit PathBarView(const ViewEnvironment &env, QWidget *parent = nullptr);

    void setTab(TabModel *tab);
    TabModel *tab() const { return m_tab; }

    BreadcrumbBar *breadcrumb() const { return m_breadcrumb; }
    QLineEdit *field() const { return m_field; }
    QToolButton *modeButton() const { return m_modeButton; }

    // Follows what the path field holds, as Return does.
    void submit();

private:
    void showMode();
    void showFolder();
    void refillText();
    void retranslate();

    ViewEnvironment m_env;
    QPointer<TabModel> m_tab;
    QStackedWidget *m_stack;
    BreadcrumbBar *m_breadcrumb;
    QLineEdit *m_field;
    QToolButton *m_modeButton;
};
