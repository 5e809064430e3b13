#pragma once
// The last column of the column browser while one file is selected: the file itself where it
// can be shown (a picture, the start of a text), else its icon; then its name, size and date
// of modification.

#include "fileitem.h"
#include "viewenvironment.h"

#include <QWidget>

class FileIconView;
class QLabel;
class QuickLookPreview;

class PreviewColumnView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int previewWidth = 260;

    explicit PreviewColumnView(const ViewEnvironment &env, QWidget *parent = nullptr);

    void setItem(const FileItem &item);
    const FileItem &item() const { return m_item; }

    FileIconView *icon() const { return m_icon; }
    QuickLookPreview *preview() const { return m_preview; }
    QString nameText() const;
    QString sizeText() const;
    QString modifiedText() const;

private:
    void retranslate();
    void showPreviewOrIcon();

    ViewEnvironment m_env;
    FileItem m_item;
    QuickLookPreview *m_preview;
    FileIconView *m_icon;
    QLabel *m_name;
    QLabel *m_size;
    QLabel *m_modified;
};
