#include "dialoghost.h"

#include "appsettings.h"
#include "localization.h"
#include "namedialog.h"
#include "paneactions.h"
#include "previewdialog.h"
#include "tabmodel.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

DialogHost::DialogHost(const ViewEnvironment &env, PaneActions *actions, QWidget *pane)
    : QObject(pane), m_env(env), m_actions(actions), m_pane(pane)
{
    connect(actions, &PaneActions::errorMessageChanged, this, &DialogHost::syncError);
    connect(actions, &PaneActions::renameTargetChanged, this, &DialogHost::syncRename);
    connect(actions, &PaneActions::pendingTrashChanged, this, [this] { syncConfirmation(m_trash, trashConfirmationKind); });
    connect(actions, &PaneActions::pendingPermanentDeleteChanged, this,
            [this] { syncConfirmation(m_delete, deleteConfirmationKind); });
    connect(actions, &PaneActions::pendingTransferChanged, this, &DialogHost::syncCollision);
    connect(actions, &PaneActions::previewChanged, this, &DialogHost::syncPreview);
    connect(actions, &PaneActions::renameBatchChanged, this, &DialogHost::syncBulkRename);
    connect(actions, &PaneActions::infoTargetChanged, this, &DialogHost::syncInfo);
    connect(env.settings, &AppSettings::languageChanged, this, &DialogHost::retranslate);
}

void DialogHost::setTab(TabModel *tab)
{
    m_tab = tab;
}

void DialogHost::showError(const QString &message)
{
    m_paneError = message;
    syncError();
}

QMessageBox *DialogHost::makeBox(const QString &objectName)
{
    auto *box = new QMessageBox(m_pane);
    box->setObjectName(objectName);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    // Without a floor Qt wraps short Japanese sentences after a few characters.
    box->setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel, QLabel#qt_msgbox_label { min-width: 260px; }"));
    return box;
}

void DialogHost::syncError()
{
    // The command object's errors and the pane's own (a failed new folder) share one alert;
    // the command object's come first.
    const std::optional<QString> message = m_actions->errorMessage() ? m_actions->errorMessage() : m_paneError;
    if (!message) {
        if (m_error)
            m_error->close();
        return;
    }
    if (!m_error) {
        m_error = makeBox(QStringLiteral("errorAlert"));
        m_error->setIcon(QMessageBox::Warning);
        m_error->addButton(QMessageBox::Ok);
        connect(m_error, &QMessageBox::finished, this, [this] {
            if (m_actions->errorMessage())
                m_actions->clearError();
            else
                m_paneError.reset();
        });
        m_error->open();
    }
    m_error->setText(*message);
    retranslate();
}

void DialogHost::syncRename()
{
    const std::optional<FileItem> target = m_actions->renameTarget();
    if (!target) {
        if (m_rename)
            m_rename->accept();
        return;
    }
    if (m_rename)
        return;
    m_rename = new NameDialog(m_pane);
    m_rename->setObjectName(QStringLiteral("renameDialog"));
    m_rename->setAttribute(Qt::WA_DeleteOnClose);
    m_rename->setName(m_actions->renameText());
    // The name without its extension is what one usually retypes.
    const QString name = m_rename->name();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    m_rename->field()->setSelection(0, dot > 0 && !target->isDirectory ? dot : name.size());
    connect(m_rename, &NameDialog::nameChanged, m_actions, &PaneActions::setRenameText);
    connect(m_rename, &NameDialog::confirmed, this, [this] {
        if (const auto item = m_actions->renameTarget(); item && m_tab)
            m_actions->performRename(*item, m_tab);
    });
    connect(m_rename, &QDialog::rejected, this, [this] {
        if (m_actions->renameTarget())
            m_actions->cancelRename();
    });
    retranslate();
    m_rename->open();
}

const DialogHost::Confirmation DialogHost::trashConfirmationKind{
    "trashConfirmation", QMessageBox::Question, &PaneActions::pendingTrash, &PaneActions::confirmTrash,
    &PaneActions::cancelTrash};
const DialogHost::Confirmation DialogHost::deleteConfirmationKind{
    "deleteConfirmation", QMessageBox::Warning, &PaneActions::pendingPermanentDelete,
    &PaneActions::confirmPermanentDelete, &PaneActions::cancelPermanentDelete};

void DialogHost::syncConfirmation(QPointer<QMessageBox> &box, const Confirmation &kind)
{
    if (!(m_actions->*kind.pending)()) {
        if (box)
            box->close();
        return;
    }
    if (box)
        return;
    box = makeBox(QLatin1String(kind.objectName));
    box->setIcon(kind.icon);
    QPushButton *confirm = box->addButton(QString(), QMessageBox::DestructiveRole);
    confirm->setObjectName(QStringLiteral("confirm"));
    box->setDefaultButton(box->addButton(QMessageBox::Cancel));
    connect(box, &QMessageBox::finished, this, [this, &box, &kind, confirm] {
        if (!(m_actions->*kind.pending)())
            return;
        if (box && box->clickedButton() == confirm && m_tab)
            (m_actions->*kind.confirm)(m_tab);
        else
            (m_actions->*kind.cancel)();
    });
    retranslate();
    box->open();
}

void DialogHost::syncCollision()
{
    if (!m_actions->pendingTransfer()) {
        if (m_collision)
            m_collision->close();
        return;
    }
    if (m_collision)
        return;
    m_collision = makeBox(QStringLiteral("collisionPrompt"));
    m_collision->setIcon(QMessageBox::Question);
    QPushButton *replace = m_collision->addButton(QString(), QMessageBox::DestructiveRole);
    QPushButton *keepBoth = m_collision->addButton(QString(), QMessageBox::AcceptRole);
    QPushButton *skip = m_collision->addButton(QString(), QMessageBox::RejectRole);
    replace->setObjectName(QStringLiteral("replace"));
    keepBoth->setObjectName(QStringLiteral("keepBoth"));
    skip->setObjectName(QStringLiteral("skip"));
    m_collision->setDefaultButton(keepBoth);
    m_collision->setEscapeButton(skip);
    connect(m_collision, &QMessageBox::finished, this, [this, replace, keepBoth, skip] {
        if (!m_actions->pendingTransfer())
            return;
        QAbstractButton *clicked = m_collision ? m_collision->clickedButton() : nullptr;
        if (clicked == replace)
            m_actions->resolvePendingTransfer(ConflictResolution::replace);
        else if (clicked == keepBoth)
            m_actions->resolvePendingTransfer(ConflictResolution::keepBoth);
        else if (clicked == skip)
            m_actions->resolvePendingTransfer(ConflictResolution::skip);
        else
            m_actions->dismissPendingTransfer();
    });
    retranslate();
    m_collision->open();
}

void DialogHost::syncPreview()
{
    const auto item = m_actions->preview();
    if (m_preview && (!item || m_preview->url() != item->url)) {
        m_preview->close();
        m_preview = nullptr;
    }
    if (!item || m_preview)
        return;
    m_preview = new PreviewDialog(m_env, item->url, m_pane);
    m_preview->setObjectName(QStringLiteral("previewDialog"));
    m_preview->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_preview, &QDialog::finished, this, [this] {
        if (m_actions->preview())
            m_actions->closePreview();
    });
    retranslate();
    m_preview->open();
}

// Shows the sheet `make` builds for the record while it is present; a new record replaces the
// sheet, and its absence closes it without a word back (the sheet's own close said it).
template<typename Sheet, typename Record, typename Make>
void DialogHost::syncSheet(QPointer<Sheet> &sheet, QUuid &shownID, const std::optional<Record> &record, Make make)
{
    if (sheet && (!record || shownID != record->id)) {
        sheet->done(QDialog::Rejected);
        sheet = nullptr;
    }
    if (!record || sheet)
        return;
    sheet = make(*record);
    shownID = record->id;
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    retranslate();
    sheet->open();
}

void DialogHost::syncBulkRename()
{
    syncSheet(m_bulkRename, m_bulkRenameID, m_actions->renameBatch(), [this](const PaneActions::RenameBatch &batch) {
        auto *sheet = new BulkRenameSheet(batch.items, m_pane);
        sheet->setObjectName(QStringLiteral("bulkRenameSheet"));
        connect(sheet, &BulkRenameSheet::applied, m_actions, &PaneActions::applyBulkRename);
        connect(sheet, &BulkRenameSheet::closed, this, [this] {
            if (m_actions->renameBatch())
                m_actions->closeBulkRename(m_tab);
        });
        return sheet;
    });
}

void DialogHost::syncInfo()
{
    syncSheet(m_info, m_infoID, m_actions->infoTarget(), [this](const PaneActions::InfoTarget &target) {
        auto *sheet = new InfoSheet(target.url, m_pane);
        sheet->setObjectName(QStringLiteral("infoSheet"));
        connect(sheet, &InfoSheet::closed, this, [this] {
            if (m_actions->infoTarget())
                m_actions->closeInfo();
        });
        return sheet;
    });
}

void DialogHost::retranslate()
{
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    if (m_error) {
        m_error->setWindowTitle(loc.errorTitle);
        m_error->button(QMessageBox::Ok)->setText(loc.ok);
    }
    if (m_rename)
        m_rename->setTexts(loc.renameTitle, loc.newNamePlaceholder, loc.cancel, loc.renameConfirm);
    if (m_trash) {
        const auto pending = m_actions->pendingTrash();
        m_trash->setText(Localization::fill(loc.trashConfirmFormat, {QString::number(pending ? pending->size() : 0)}));
        m_trash->findChild<QPushButton *>(QStringLiteral("confirm"))->setText(loc.moveToTrash);
        m_trash->button(QMessageBox::Cancel)->setText(loc.cancel);
    }
    if (m_delete) {
        const auto pending = m_actions->pendingPermanentDelete();
        m_delete->setText(loc.deletePermanentlyTitle);
        m_delete->setInformativeText(
            Localization::fill(loc.deletePermanentlyMessageFormat, {QString::number(pending ? pending->size() : 0)}));
        m_delete->findChild<QPushButton *>(QStringLiteral("confirm"))->setText(loc.deletePermanentlyConfirm);
        m_delete->button(QMessageBox::Cancel)->setText(loc.cancel);
    }
    if (m_collision) {
        m_collision->setText(loc.duplicateTitle);
        m_collision->setInformativeText(loc.applyToAllDuplicates);
        m_collision->findChild<QPushButton *>(QStringLiteral("replace"))->setText(loc.replace);
        m_collision->findChild<QPushButton *>(QStringLiteral("keepBoth"))->setText(loc.keepBoth);
        m_collision->findChild<QPushButton *>(QStringLiteral("skip"))->setText(loc.skip);
    }
    if (m_preview)
        m_preview->setCloseText(loc.close);
    if (m_bulkRename)
        m_bulkRename->setTexts(loc);
    if (m_info)
        m_info->setTexts(loc);
}
