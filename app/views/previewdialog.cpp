#include "previewdialog.h"

#include "bytecount.h"
#include "filenames.h"
#include "filesystemservice.h"
#include "themeicons.h"
#include "titlebarsummary.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeDatabase>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QIcon iconFor(const FilePath &url, bool isDirectory)
{
    if (isDirectory)
        return ThemeIcons::icon(ThemeIcons::Symbol::folder);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(url.displayName(), QMimeDatabase::MatchExtension);
    for (const QString &name : {type.iconName(), type.genericIconName()}) {
        if (QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    }
    return ThemeIcons::icon(ThemeIcons::Symbol::file);
}

} // namespace

PreviewDialog::PreviewDialog(const FilePath &url, QWidget *parent) : QDialog(parent), m_url(url)
{
    setMinimumSize(640, 460);
    FileInfo info;
    try {
        info = FileSystemService().info(url);
    } catch (...) {
        info.name = url.fileName();
    }
    info.name = FileNames::displayName(info.name);
    setWindowTitle(info.name);

    auto *icon = new QLabel(this);
    icon->setPixmap(iconFor(url, info.isDirectory).pixmap(128, 128));
    icon->setAlignment(Qt::AlignCenter);
    auto *name = new QLabel(info.name, this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *size = new QLabel(info.byteSize ? ByteCount::text(*info.byteSize) : QString(), this);
    size->setAlignment(Qt::AlignCenter);
    size->setForegroundRole(QPalette::PlaceholderText);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    m_close = new QPushButton(this);
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 8, 8, 8);
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addStretch(1);
    column->addWidget(icon);
    column->addWidget(name);
    column->addWidget(size);
    column->addStretch(1);
    column->addWidget(line);
    column->addLayout(buttons);
}

void PreviewDialog::setCloseText(const QString &text)
{
    m_close->setText(text);
}
