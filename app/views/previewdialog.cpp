#include "previewdialog.h"

#include "quicklookpreview.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

PreviewDialog::PreviewDialog(const ViewEnvironment &env, const FilePath &url, QWidget *parent)
    : QDialog(parent), m_url(url), m_preview(new QuickLookPreview(env, this)), m_close(new QPushButton(this))
{
    setMinimumSize(640, 460);
    setWindowTitle(url.displayName());
    m_preview->setMinimumSize(640, 460);
    m_preview->setUrl(url);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    // The key that opened the preview closes it, whatever inside has the focus (the text page
    // would take it as its own).
    new QShortcut(QKeySequence(Qt::Key_Space), this, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 8, 8, 8);
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_preview, 1);
    column->addWidget(line);
    column->addLayout(buttons);
}

void PreviewDialog::setCloseText(const QString &text)
{
    m_close->setText(text);
}
