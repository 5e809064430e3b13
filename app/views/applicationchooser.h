#pragma once
// "Other Application…": every installed application by name, with a filter field; the one
// chosen (double click, Return or the Open button) is what the items are opened with.

#include "desktopentry.h"

#include <QDialog>
#include <QList>

#include <optional>

class Localization;
class QLineEdit;
class QListWidget;
class QPushButton;

class ApplicationChooser : public QDialog
{
    Q_OBJECT

public:
    ApplicationChooser(const QList<DesktopEntry> &applications, const QString &itemName, const Localization &loc,
                       QWidget *parent = nullptr);

    QLineEdit *filterField() const { return m_filter; }
    QListWidget *list() const { return m_list; }
    // The application chosen, once the dialog was accepted.
    std::optional<DesktopEntry> chosen() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyFilter(const QString &text);

    QList<DesktopEntry> m_applications;
    QLineEdit *m_filter;
    QListWidget *m_list;
    QPushButton *m_open;
};
