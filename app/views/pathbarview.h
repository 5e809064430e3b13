#pragma once
// The strip under a pane's header that says where the active tab is: a breadcrumb, or a path
// field where a typed or pasted path is read and followed (a folder is opened, a file is
// selected in its folder, anything else puts the current path back). A button beside it
// switches between the two; the tab remembers which one it shows. Ctrl+L opens the field for
// one edit only: Return, Escape or leaving the field puts the breadcrumb back.

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

    // Follows what the path field holds, as Return does, once the tab has looked it up.
    void submit();
    // Shows the field (for this one edit, when the breadcrumb was showing) with the path
    // selected and the keyboard in it.
    void editPath();

Q_SIGNALS:
    // Return or Escape in the field: the keyboard goes back to the folder's content.
    void editingFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void finishEditing();
    void followAnswer(bool found);
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
    QPointer<TabModel> m_editingOnce; // the tab whose breadcrumb gave way to the field for one edit
};
