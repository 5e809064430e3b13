#pragma once
// One pane: a header with back / forward / up, the tab strip and the pane's action buttons;
// the path bar; the active tab's content; the status bar. It owns the pane's command object
// (made the first time the pane is shown), the dialogs that object asks for, and the prompts
// for a new folder and a new file. The active pane is tinted and has an accent line along its
// top; a click anywhere in it makes it active (the workspace view watches for that).

#include "fileitem.h"
#include "namedialog.h"
#include "paneactions.h"
#include "panecommands.h"
#include "viewenvironment.h"

#include <QPointer>
#include <QWidget>

class ColumnBrowserView;
class DialogHost;
class FileListView;
class PaneActions;
class PaneModel;
class PathBarView;
class QStackedWidget;
class QToolButton;
class StatusBarView;
class TabModel;
class TabStripView;

class PaneView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int activeLineWidth = 2;

    PaneView(const ViewEnvironment &env, PaneModel *pane, QWidget *parent = nullptr);
    ~PaneView() override;

    PaneModel *pane() const { return m_pane; }
    PaneActions *actions() const { return m_actions; }
    DialogHost *dialogs() const { return m_dialogs; }
    PathBarView *pathBar() const { return m_pathBar; }
    StatusBarView *statusBar() const { return m_statusBar; }
    QWidget *content() const { return m_content; }
    FileListView *list() const { return m_list; }
    // The browser of a tab in column view; null in list view.
    ColumnBrowserView *columnBrowser() const;

    QToolButton *backButton() const { return m_back; }
    QToolButton *forwardButton() const { return m_forward; }
    QToolButton *upButton() const { return m_up; }
    QToolButton *hiddenButton() const { return m_hidden; }
    QToolButton *viewModeButton() const { return m_viewMode; }

    // The open new-folder or new-file prompt, if any.
    NameDialog *newFolderDialog() const { return m_newFolderDialog; }
    NameDialog *newFileDialog() const { return m_newFileDialog; }

    void openNewFolderDialog();
    void openNewFileDialog();
    // "Other Application…": asks which application opens the items.
    void chooseApplication(const QList<FileItem> &items);
    void focusContent();
    // What the window's commands act on: the selection of the list or of the focused column.
    CommandTarget commandTarget() const;

Q_SIGNALS:
    void commandTargetChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    using NewItem = PaneActions::NewItem;

    QWidget *makeHeader();
    QToolButton *headerButton(const QString &objectName);
    void ensureActions();
    void bindActiveTab();
    void updateButtons();
    void showContent();
    void retranslate();
    void openNameDialog(NewItem kind);
    void createItem(NewItem kind, const QString &name);
    QPointer<NameDialog> &dialogFor(NewItem kind);
    QString &typedNameFor(NewItem kind);

    ViewEnvironment m_env;
    PaneModel *m_pane;
    QPointer<TabModel> m_tab;
    PaneActions *m_actions = nullptr;
    DialogHost *m_dialogs = nullptr;
    TabStripView *m_tabStrip = nullptr;
    PathBarView *m_pathBar = nullptr;
    StatusBarView *m_statusBar = nullptr;
    QStackedWidget *m_contentSlot = nullptr;
    QWidget *m_content = nullptr;
    FileListView *m_list = nullptr;
    QPointer<ColumnBrowserView> m_browser;
    QToolButton *m_back = nullptr;
    QToolButton *m_forward = nullptr;
    QToolButton *m_up = nullptr;
    QToolButton *m_filter = nullptr;
    QToolButton *m_hidden = nullptr;
    QToolButton *m_newFolder = nullptr;
    QToolButton *m_newFile = nullptr;
    QToolButton *m_viewMode = nullptr;
    QToolButton *m_terminal = nullptr;
    QPointer<NameDialog> m_newFolderDialog;
    QPointer<NameDialog> m_newFileDialog;
    QString m_newFolderName;
    QString m_newFileName;
};
