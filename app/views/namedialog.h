#pragma once
// The small dialog that asks for one name: renaming an item, naming a new folder or file.
// A headline, a 320-pixel field and Cancel / confirm; the confirm button is the default (Return)
// and stays disabled while the name is blank. The caller supplies every text, so the same
// dialog serves each purpose and follows a change of language while it is open.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

class NameDialog : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)

public:
    explicit NameDialog(QWidget *parent = nullptr);

    void setTexts(const QString &title, const QString &placeholder, const QString &cancel, const QString &confirm);

    QString name() const;
    void setName(const QString &name);
    // The name with spaces and tabs cut from both ends; line breaks stay.
    QString trimmedName() const;

    // While the work behind a confirmed name runs, it can't be confirmed a second time.
    void setBusy(bool busy);

    QLineEdit *field() const { return m_field; }
    QPushButton *confirmButton() const { return m_confirm; }
    QPushButton *cancelButton() const { return m_cancel; }

    [[nodiscard]] static QString trimSpacesAndTabs(const QString &text);

Q_SIGNALS:
    void nameChanged(const QString &name);
    // Emitted when the user confirms a name that is not blank; the dialog stays open, the
    // owner closes it when the work behind it succeeded.
    void confirmed(const QString &trimmedName);

private:
    void updateConfirm();

    QLabel *m_title = nullptr;
    QLineEdit *m_field = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_confirm = nullptr;
    bool m_busy = false;
};
