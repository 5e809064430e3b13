#pragma once
// The dialogs of one pane's command object: the error alert, the rename prompt, the trash and
// permanent-delete confirmations, the name-collision prompt of a transfer, the preview, the
// bulk rename sheet and the information sheet.
// Each is shown while the matching state of PaneActions is present and clears that state when
// it closes, so the command object stays the one source of truth. Open dialogs follow a change
// of language.

#include "bulkrenamesheet.h"
#include "fileitem.h"
#include "infosheet.h"
#include "namedialog.h"
#include "previewdialog.h"
#include "viewenvironment.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <optional>

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
    BulkRenameSheet *bulkRenameSheet() const { return m_bulkRename; }
    InfoSheet *infoSheet() const { return m_info; }

private:
    // The trash and the permanent-delete confirmations: shown while the items they ask about
    // are pending, answered by the command object's confirm or cancel.
    struct Confirmation
    {
        const char *objectName;
        QMessageBox::Icon icon;
        const std::optional<QList<FileItem>> &(PaneActions::*pending)() const;
        void (PaneActions::*confirm)(TabModel *);
        void (PaneActions::*cancel)();
    };
    static const Confirmation trashConfirmationKind;
    static const Confirmation deleteConfirmationKind;

    void syncError();
    void syncRename();
    void syncConfirmation(QPointer<QMessageBox> &box, const Confirmation &kind);
    void syncCollision();
    void syncPreview();
    template<typename Sheet, typename Record, typename Make>
    void syncSheet(QPointer<Sheet> &sheet, QUuid &shownID, const std::optional<Record> &record, Make make);
    void syncBulkRename();
    void syncInfo();
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
    QPointer<BulkRenameSheet> m_bulkRename;
    QPointer<InfoSheet> m_info;
    QUuid m_bulkRenameID; // the records the open sheets show
    QUuid m_infoID;
    std::optional<QString> m_paneError;
};
