#pragma once
// The row at the foot of a file list while a file job runs (a transfer, an archive, a trash, a
// deletion): a bar of the work done, a line of text ("Compressing 3 / 10", or the item and bytes
// of a large copy) and a Cancel button. It appears only once a job has run for a moment, so
// work that ends at once doesn't flash it.

#include <QFrame>
#include <QString>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

class TransferProgressRow : public QFrame
{
    Q_OBJECT

public:
    explicit TransferProgressRow(QWidget *parent = nullptr);

    void setCancelText(const QString &text);
    // `fraction` is the share done, from 0 to 1. A hidden row shows after appearDelayMs.
    void setProgress(const QString &text, double fraction);
    // Hides the row at once, or keeps it from appearing.
    void clear();

    static constexpr int appearDelayMs = 300;

    QString text() const;
    int percent() const;
    QPushButton *cancelButton() const { return m_cancel; }

Q_SIGNALS:
    void cancelRequested();

private:
    QProgressBar *m_bar;
    QLabel *m_label;
    QPushButton *m_cancel;
    QTimer m_appear;
};
