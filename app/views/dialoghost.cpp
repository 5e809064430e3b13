#include "dialoghost.h"

#include "appsettings.h"
#include "localization.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

// A button's text with its key: the letter is underlined where the text has it (the capital
// first), else follows in brackets, as Japanese interfaces write it ("置き換える(R)"). A prompt
// takes the bare letter as well as Alt with it.
QString withKey(QString text, QChar letter)
{
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    qsizetype at = text.indexOf(letter);
    if (at < 0)
        at = text.indexOf(letter, 0, Qt::CaseInsensitive);
    if (at < 0)
        return text + QStringLiteral("(&") + letter + QLatin1Char(')');
    return text.insert(at, QLatin1Char('&'));
}

} // namespace

DialogHost::DialogHost(const ViewEnvironment &env, QWidget *pane) : QObject(pane), m_env(env), m_pane(pane)
{
    connect(env.settings, &AppSettings::languageChanged, this, &DialogHost::retranslate);
}

template<typename Dialog>
void DialogHost::present(QPointer<Dialog> &shown, Dialog *dialog, const QString &objectName)
{
    if (shown)
        shown->done(QDialog::Rejected);
    shown = dialog;
    dialog->setObjectName(objectName);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    retranslate();
    dialog->open();
}

QMessageBox *DialogHost::makeBox(QMessageBox::Icon icon)
{
    auto *box = new QMessageBox(m_pane);
    box->setIcon(icon);
    box->setTextFormat(Qt::PlainText); // messages quote names, which may look like markup
    box->setWindowModality(Qt::WindowModal);
    return box;
}

// Qt narrows a box to what its other parts need and wraps the first line to that, which cuts a
// short title in two, and wraps short Japanese sentences after a few characters: the lines get
// a floor, and a title that fits a box of reasonable width keeps one line.
void DialogHost::setTitle(QMessageBox *box, const QString &title)
{
    box->setText(title);
    const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    const int whole = label ? label->fontMetrics().horizontalAdvance(title) + 1 : 0;
    box->setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 260px; }"
                                      " QLabel#qt_msgbox_label { min-width: %1px; }")
                           .arg(std::clamp(whole, 260, 440)));
}

// One alert for the pane: a message that comes while it is open replaces the one it shows.
void DialogHost::showError(const QString &message)
{
    if (!m_error) {
        QMessageBox *box = makeBox(QMessageBox::Warning);
        box->addButton(QMessageBox::Ok);
        present(m_error, box, QStringLiteral("errorAlert"));
    }
    setTitle(m_error, message);
}

void DialogHost::askRename(const FileItem &item, RenameAnswer rename)
{
    auto *dialog = new NameDialog(m_pane);
    dialog->setName(item.name);
    // The name without its extension is what one usually retypes.
    const QString name = dialog->name();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    dialog->field()->setSelection(0, dot > 0 && !item.isDirectory ? dot : name.size());
    // The field as it stands: a name with outer spaces, left untouched, stays as it is.
    connect(dialog, &NameDialog::confirmed, this, [dialog, rename = std::move(rename)] {
        dialog->setBusy(true);
        rename(dialog->name(), [dialog = QPointer(dialog)](bool renamed) {
            if (!dialog)
                return;
            dialog->setBusy(false);
            if (renamed)
                dialog->accept();
        });
    });
    present(m_rename, dialog, QStringLiteral("renameDialog"));
}

void DialogHost::confirm(Confirmation kind, int count, std::function<void()> confirmed)
{
    const bool trash = kind == Confirmation::trash;
    QMessageBox *box = makeBox(trash ? QMessageBox::Question : QMessageBox::Warning);
    QPushButton *yes = box->addButton(QString(), QMessageBox::DestructiveRole);
    yes->setObjectName(QStringLiteral("confirm"));
    box->setDefaultButton(box->addButton(QMessageBox::Cancel));
    connect(box, &QMessageBox::finished, this, [box, yes, confirmed = std::move(confirmed)] {
        if (box->clickedButton() == yes)
            confirmed();
    });
    (trash ? m_trashCount : m_deleteCount) = count;
    present(trash ? m_trash : m_delete, box,
            trash ? QStringLiteral("trashConfirmation") : QStringLiteral("deleteConfirmation"));
}

void DialogHost::askCollision(CollisionAnswer answer)
{
    QMessageBox *box = makeBox(QMessageBox::Question);
    const std::pair<const char *, QMessageBox::ButtonRole> buttons[] = {
        {"replace", QMessageBox::DestructiveRole}, {"keepBoth", QMessageBox::AcceptRole}, {"skip", QMessageBox::RejectRole}};
    for (const auto &[name, role] : buttons)
        box->addButton(QString(), role)->setObjectName(QLatin1String(name));
    box->setDefaultButton(box->findChild<QPushButton *>(QStringLiteral("keepBoth")));
    box->setEscapeButton(box->findChild<QPushButton *>(QStringLiteral("skip")));
    connect(box, &QMessageBox::finished, this, [box, answer = std::move(answer)] {
        const QString clicked = box->clickedButton() ? box->clickedButton()->objectName() : QString();
        if (clicked == QLatin1String("replace"))
            answer(ConflictResolution::replace);
        else if (clicked == QLatin1String("keepBoth"))
            answer(ConflictResolution::keepBoth);
        else if (clicked == QLatin1String("skip"))
            answer(ConflictResolution::skip);
        else
            answer(std::nullopt);
    });
    present(m_collision, box, QStringLiteral("collisionPrompt"));
}

void DialogHost::showPreview(const FilePath &url)
{
    if (m_preview && m_preview->url() == url)
        return;
    present(m_preview, new PreviewDialog(m_env, url, m_pane), QStringLiteral("previewDialog"));
}

void DialogHost::showBulkRename(const QList<FileItem> &items, BulkRenameAnswer apply)
{
    auto *sheet = new BulkRenameSheet(items, m_pane);
    connect(sheet, &BulkRenameSheet::applied, this, std::move(apply));
    present(m_bulkRename, sheet, QStringLiteral("bulkRenameSheet"));
}

void DialogHost::showInfo(const FilePath &url)
{
    present(m_info, new InfoSheet(url, m_pane), QStringLiteral("infoSheet"));
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
        setTitle(m_trash, Localization::fill(loc.trashConfirmFormat, {QString::number(m_trashCount)}));
        QPushButton *confirm = m_trash->findChild<QPushButton *>(QStringLiteral("confirm"));
        confirm->setText(withKey(loc.moveToTrash, QLatin1Char('T')));
        m_trash->button(QMessageBox::Cancel)->setText(loc.cancel);
    }
    if (m_delete) {
        setTitle(m_delete, loc.deletePermanentlyTitle);
        m_delete->setInformativeText(Localization::fill(loc.deletePermanentlyMessageFormat, {QString::number(m_deleteCount)}));
        m_delete->findChild<QPushButton *>(QStringLiteral("confirm"))->setText(loc.deletePermanentlyConfirm);
        m_delete->button(QMessageBox::Cancel)->setText(loc.cancel);
    }
    if (m_collision) {
        setTitle(m_collision, loc.duplicateTitle);
        m_collision->setInformativeText(loc.applyToAllDuplicates);
        const auto button = [this](const char *name) { return m_collision->findChild<QPushButton *>(QLatin1String(name)); };
        button("replace")->setText(withKey(loc.replace, QLatin1Char('R')));
        button("keepBoth")->setText(withKey(loc.keepBoth, QLatin1Char('K')));
        button("skip")->setText(withKey(loc.skip, QLatin1Char('S')));
    }
    if (m_preview)
        m_preview->setCloseText(loc.close);
    if (m_bulkRename)
        m_bulkRename->setTexts(loc);
    if (m_info)
        m_info->setTexts(loc);
}
