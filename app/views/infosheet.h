#pragma once
// The information dialog of one item: its name as the title, then kind, size, created,
// modified and permissions, each value selectable for copying. A folder's size reads
// "Calculating…" until the walk behind it is done; closing the dialog stops that walk. An item
// that can't be examined, or that vanishes while the dialog is open, shows only its title.

#include <QDialog>
#include <QList>
#include "filepath.h"

class ItemInfoModel;
class QGridLayout;
class QLabel;
class QPushButton;
struct Localization;

class InfoSheet : public QDialog
{
    Q_OBJECT

public:
    explicit InfoSheet(const FilePath &url, QWidget *parent = nullptr);

    void setTexts(const Localization &loc);

    ItemInfoModel *model() const { return m_model; }
    QString title() const;
    // The rows shown, as (label, value) pairs, top to bottom.
    QList<std::pair<QString, QString>> shownRows() const;
    QPushButton *closeButton() const { return m_close; }

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void refresh();

    ItemInfoModel *m_model;
    const Localization *m_loc = nullptr;
    QLabel *m_title;
    QGridLayout *m_rows;
    QList<std::pair<QLabel *, QLabel *>> m_rowLabels;
    QPushButton *m_close;
};
