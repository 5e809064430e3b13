#pragma once
// The dialogs of one pane, as the pane's commands ask for them: the error alert, the rename
// prompt, the trash and permanent-delete confirmations, the name-collision prompt of a transfer,
// the preview, the bulk rename sheet and the information sheet. One of each kind at a time: a
// new request closes the one before (which answers as closed without a choice). Open dialogs
// follow a change of language.

#include "bulkrenamesheet.h"
#include "dialogpresenter.h"
#include "infosheet.h"
#include "namedialog.h"
#include "previewdialog.h"
#include "viewenvironment.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QWidget>

class DialogHost : public QObject, public DialogPresenter
{
    Q_OBJECT

public:
    DialogHost(const ViewEnvironment &env, QWidget *pane);

    void showError(const QString &message) override;
    void askRename(const FileItem &item, RenameAnswer rename) override;
    void confirm(Confirmation kind, int count, std::function<void()> confirmed) override;
    void askCollision(CollisionAnswer answer) override;
    void showPreview(const FilePath &url) override;
    void showBulkRename(const QList<FileItem> &items, BulkRenameAnswer apply) override;
    void showInfo(const FilePath &url) override;

    QMessageBox *errorAlert() const { return m_error; }
    NameDialog *renameDialog() const { return m_rename; }
    QMessageBox *trashConfirmation() const { return m_trash; }
    QMessageBox *deleteConfirmation() const { return m_delete; }
    QMessageBox *collisionPrompt() const { return m_collision; }
    PreviewDialog *previewDialog() const { return m_preview; }
    BulkRenameSheet *bulkRenameSheet() const { return m_bulkRename; }
    InfoSheet *infoSheet() const { return m_info; }

private:
    // Closes the dialog of that kind still shown, then shows `dialog` in its place.
    template<typename Dialog>
    void present(QPointer<Dialog> &shown, Dialog *dialog, const QString &objectName);
    void retranslate();
    QMessageBox *makeBox(QMessageBox::Icon icon);
    static void setTitle(QMessageBox *box, const QString &title);

    ViewEnvironment m_env;
    QWidget *m_pane;
    QPointer<QMessageBox> m_error;
    QPointer<NameDialog> m_rename;
    QPointer<QMessageBox> m_trash;
    QPointer<QMessageBox> m_delete;
    QPointer<QMessageBox> m_collision;
    QPointer<PreviewDialog> m_preview;
    QPointer<BulkRenameSheet> m_bulkRename;
    QPointer<InfoSheet> m_info;
    int m_trashCount = 0; // what the open confirmations ask about
    int m_deleteCount = 0;
};
