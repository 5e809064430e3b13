#pragma once
// The row at the foot of a file list while a transfer runs: a bar of the work done, a line of
// text ("Transferring 3 / 10", or the item and bytes of a large copy) and a Cancel button.

#include <QFrame>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

class TransferProgressRow : public QFrame
{
    Q_OBJECT

public:
    explicit TransferProgressRow(QWidget *parent = nullptr);

    void setCancelText(const QString &text);
    // `fraction` is the share done, from 0 to 1.
    void setProgress(const QString &text, double fraction);

    QString text() const;
    int percent() const;
    QPushButton *cancelButton() const { return m_cancel; }

Q_SIGNALS:
    void cancelRequested();

private:
    QProgressBar *m_bar;
    QLabel *m_label;
    QPushButton *m_cancel;
};
