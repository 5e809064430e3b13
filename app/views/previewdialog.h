#pragma once
// The preview of one item in a dialog of its own: the item itself (QuickLookPreview) above a
// Close button (Escape closes too, and Space, the key that opened it). At least 640 × 460 pixels.

#include "viewenvironment.h"

#include <QDialog>
#include "filepath.h"

class QPushButton;
class QuickLookPreview;

class PreviewDialog : public QDialog
{
    Q_OBJECT

public:
    PreviewDialog(const ViewEnvironment &env, const FilePath &url, QWidget *parent = nullptr);

    FilePath url() const { return m_url; }
    void setCloseText(const QString &text);
    QPushButton *closeButton() const { return m_close; }
    QuickLookPreview *preview() const { return m_preview; }

private:
    FilePath m_url;
    QuickLookPreview *m_preview;
    QPushButton *m_close;
};
