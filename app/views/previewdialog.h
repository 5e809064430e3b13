#pragma once
// The preview of one item: for now its icon, its name and its size, above a Close button
// (Escape closes too). At least 640 × 460 pixels.

#include <QDialog>
#include "filepath.h"

class QLabel;
class QPushButton;

class PreviewDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PreviewDialog(const FilePath &url, QWidget *parent = nullptr);

    FilePath url() const { return m_url; }
    void setCloseText(const QString &text);
    QPushButton *closeButton() const { return m_close; }

private:
    FilePath m_url;
    QPushButton *m_close;
};
