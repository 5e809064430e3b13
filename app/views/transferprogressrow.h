#pragma once
// The row under a pane's list or columns while one of its file jobs runs (a transfer, an
// archive, a trash, a deletion): a bar of the work done, a line of text ("Compressing 3 / 10",
// or the item and bytes of a large copy) and a Cancel button that stops the job it shows. It
// follows the pane's commands by itself, and appears only once a job has run for a moment, so
// work that ends at once doesn't flash it.

#include <QFrame>
#include <QString>
#include <QTimer>

class AppSettings;
class PaneActions;
class QLabel;
class QProgressBar;
class QPushButton;

class TransferProgressRow : public QFrame
{
    Q_OBJECT

public:
    TransferProgressRow(PaneActions *actions, AppSettings *settings, QWidget *parent = nullptr);

    static constexpr int appearDelayMs = 300;

    QString text() const;
    int percent() const;
    QPushButton *cancelButton() const { return m_cancel; }

private:
    void retranslate();
    void refresh();

    PaneActions *m_actions;
    AppSettings *m_settings;
    QProgressBar *m_bar;
    QLabel *m_label;
    QPushButton *m_cancel;
    QTimer m_appear;
};
