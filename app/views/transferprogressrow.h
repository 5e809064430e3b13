#pragma once
// The row at the foot of a file list while a transfer runs: a bar of the bytes done, the item
// count ("Transferring 3 / 10") and a Cancel button.

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

    void setTexts(const QString &progressFormat, const QString &cancel);
    // Items done of total; bytes done of total when known (a total of 0 falls back to items).
    void setProgress(int done, int total, qint64 bytesDone = 0, qint64 bytesTotal = 0);

    QString text() const;
    int percent() const;
    QPushButton *cancelButton() const { return m_cancel; }

Q_SIGNALS:
    void cancelRequested();

private:
    void refreshText();

    QProgressBar *m_bar;
    QLabel *m_label;
    QPushButton *m_cancel;
    QString m_format;
    int m_done = 0;
    int m_total = 0;
};
