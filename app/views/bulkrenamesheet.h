#pragma once
// The bulk rename dialog: the rule (replace a piece of text, or number the items under a base
// name), its fields, and a live preview of the name every item would get. Apply hands the
// changes to the owner and closes; it stays disabled while no name would change. The sheet
// only plans: the renames themselves, their errors and their undo step are the owner's.

#include "bulkrename.h"
#include "fileitem.h"

#include <QDialog>
#include <QList>

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSpinBox;
class QStackedWidget;
struct Localization;

class BulkRenameSheet : public QDialog
{
    Q_OBJECT

public:
    // The positions of the rule picker.
    enum class Mode { replace, sequence };

    explicit BulkRenameSheet(QList<FileItem> items, QWidget *parent = nullptr);

    void setTexts(const Localization &loc);

    Mode sheetMode() const { return m_sheetMode; }
    void setSheetMode(Mode mode);
    // The rule in force: the fields of the chosen mode. The other mode's fields keep their
    // values while hidden.
    BulkRename::Mode mode() const;
    // One entry per item, in the order given, for the rule in force.
    const QList<RenameEntry> &plan() const { return m_plan; }

    // Hands the entries that change a name to `applied` (possibly none), then closes.
    void apply();

    QAbstractButton *replaceSegment() const;
    QAbstractButton *sequenceSegment() const;
    QLineEdit *findField() const { return m_find; }
    QLineEdit *replaceField() const { return m_replace; }
    QLineEdit *baseField() const { return m_base; }
    QSpinBox *startBox() const { return m_start; }
    QSpinBox *paddingBox() const { return m_padding; }
    QListView *previewList() const { return m_preview; }
    QPushButton *applyButton() const { return m_apply; }
    QPushButton *cancelButton() const { return m_cancel; }

Q_SIGNALS:
    void applied(const QList<RenamePair> &pairs);

private:
    QWidget *makeReplaceFields();
    QWidget *makeSequenceFields();
    void showFieldsOf(Mode mode);
    void replan();

    QList<FileItem> m_items;
    QList<RenameEntry> m_plan;
    Mode m_sheetMode = Mode::replace;

    QLabel *m_title;
    QButtonGroup *m_picker;
    QStackedWidget *m_fields;
    QLabel *m_findLabel = nullptr;
    QLabel *m_replaceLabel = nullptr;
    QLabel *m_baseLabel = nullptr;
    QLabel *m_startLabel = nullptr;
    QLabel *m_paddingLabel = nullptr;
    QLineEdit *m_find = nullptr;
    QLineEdit *m_replace = nullptr;
    QLineEdit *m_base = nullptr;
    QSpinBox *m_start = nullptr;
    QSpinBox *m_padding = nullptr;
    QListView *m_preview;
    QPushButton *m_cancel;
    QPushButton *m_apply;
};
