#pragma once
// The dialogs of one pane's command object: the error alert, the rename prompt, the trash and
// permanent-delete confirmations, the name-collision prompt of a transfer and the preview.
// Each is shown while the matching state of PaneActions is present and clears that state when
// it closes, so the command object stays the one source of truth. Open dialogs follow a change
// of language.

#include "namedialog.h"
#include "previewdialog.h"
#include "viewenvironment.h"

#include <QMessageBox>

#include <QPointer>

#include <optional>
#include <QWidget>

class PaneActions;
class TabModel;

class DialogHost : public QObject
{
    Q_OBJECT

public:
    DialogHost(const ViewEnvironment &env, PaneActions *actions, QWidget *pane);

    void setTab(TabModel *tab);
    // Shows a message in the pane's one error alert.
    void showError(const QString &message);

    QMessageBox *errorAlert() const { return m_error; }
    NameDialog *renameDialog() const { return m_rename; }
    QMessageBox *trashConfirmation() const { return m_trash; }
    QMessageBox *deleteConfirmation() const { return m_delete; }
    QMessageBox *collisionPrompt() const { return m_collision; }
    PreviewDialog *previewDialog() const { return m_preview; }

private:
    void syncError();
    void syncRename();
    void syncTrash();
    void syncDelete();
    void syncCollision();
    void syncPreview();
    void retranslate();
    QMessageBox *makeBox(const QString &objectName);

    ViewEnvironment m_env;
    PaneActions *m_actions;
    QWidget *m_pane;
    QPointer<TabModel> m_tab;
    QPointer<QMessageBox> m_error;
    QPointer<NameDialog> m_rename;
    QPointer<QMessageBox> m_trash;
    QPointer<QMessageBox> m_delete;
    QPointer<QMessageBox> m_collision;
    QPointer<PreviewDialog> m_preview;
    std::optional<QString> m_paneError;
};
