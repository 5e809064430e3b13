#pragma once
// The find-anywhere palette: a frameless rounded box floating over the pane, with a query field
// over a FuzzyFinderModel, the best matches with their paths below it, and a status (a spinner
// while scanning, then the number of results; a partial-results note). The keyboard stays in
// the field: Up and Down move the highlight, Return chooses it, Escape closes. A click on a row
// chooses that row at once. The opener owns the model and decides what a choice means; the
// palette only reports it.

#include "fileitem.h"
#include "iconrefresh.h"

#include <QDialog>
#include <QFont>
#include <QIcon>

#include <functional>

class BusySpinner;
class FuzzyFinderModel;
class IconCache;
class QLabel;
class QLineEdit;
class QListWidget;
struct Localization;

class FuzzyFinderPalette : public QDialog
{
    Q_OBJECT

public:
    FuzzyFinderPalette(FuzzyFinderModel *model, const Localization &loc, QWidget *parent = nullptr);

    void setTexts(const Localization &loc);
    void setNameFont(const QFont &font);
    void setIconCache(IconCache *cache);
    FuzzyFinderModel *model() const { return m_model; }

    // The path shown under a result: relative to the root when the item lies below it.
    QString relativePath(const FilePath &url) const;

    QLineEdit *field() const { return m_field; }
    QListWidget *resultList() const { return m_list; }

Q_SIGNALS:
    void chosen(const FileItem &item);
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void reject() override;

private:
    void buildLayout();
    void applyTheme();
    void placeOverParent();
    void fillResults();
    void refreshIcons();
    void updateStatus();
    void followSelection();
    void chooseRow(int row);

    FuzzyFinderModel *m_model;
    QLineEdit *m_field;
    BusySpinner *m_busy;
    QLabel *m_count;
    QListWidget *m_list;
    QLabel *m_emptyHint;
    QLabel *m_truncated;
    QWidget *m_truncatedDivider;
    IconRefresh m_icons{this, [this] { refreshIcons(); }};
    QFont m_nameFont;
    QString m_itemCountFormat;
    QString m_typeToSearch;
    QString m_noMatches;
};
