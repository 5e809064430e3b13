#pragma once
// The preview of one item in a dialog of its own: the item itself (QuickLookPreview) above a
// Close button (Escape closes too). At least 640 × 460 pixels.

#include "viewenvironment.h"

#include <QDialog>
#include <QUrl>

class QPushButton;
class QuickLookPreview;

class PreviewDialog : public QDialog
{
    Q_OBJECT

public:
    PreviewDialog(const ViewEnvironment &env, const QUrl &url, QWidget *parent = nullptr);

    QUrl url() const { return m_url; }
    void setCloseText(const QString &text);
    QPushButton *closeButton() const { return m_close; }
    QuickLookPreview *preview() const { return m_preview; }

private:
    QUrl m_url;
    QuickLookPreview *m_preview;
    QPushButton *m_close;
};
