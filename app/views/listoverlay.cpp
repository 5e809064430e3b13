#include "listoverlay.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

ListOverlay::ListOverlay(QWidget *parent)
    : QWidget(parent), m_symbol(new QLabel), m_title(new QLabel), m_description(new QLabel),
      m_spinner(new QProgressBar)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont big = m_title->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    m_title->setFont(big);
    m_title->setTextFormat(Qt::PlainText);
    m_description->setTextFormat(Qt::PlainText);
    m_description->setWordWrap(true);
    m_spinner->setRange(0, 0);
    m_spinner->setTextVisible(false);
    m_spinner->setFixedSize(64, 8);
    auto *layout = new QVBoxLayout(this);
    for (QWidget *part : {static_cast<QWidget *>(m_symbol), static_cast<QWidget *>(m_title),
                          static_cast<QWidget *>(m_description), static_cast<QWidget *>(m_spinner)}) {
        layout->addWidget(part, 0, Qt::AlignHCenter);
    }
    m_description->setAlignment(Qt::AlignHCenter);
    if (parent)
        parent->installEventFilter(this);
    clear();
}

void ListOverlay::showSpinner()
{
    m_symbol->hide();
    m_title->clear();
    m_title->hide();
    m_description->clear();
    m_description->hide();
    m_spinner->show();
    show();
    centre();
}

void ListOverlay::showMessage(const QString &iconName, const QString &title, const QString &description)
{
    m_spinner->hide();
    m_symbol->setPixmap(QIcon::fromTheme(iconName).pixmap(48, 48));
    m_symbol->setVisible(!iconName.isEmpty());
    m_title->setText(title);
    m_title->show();
    m_description->setText(description);
    m_description->setVisible(!description.isEmpty());
    show();
    centre();
}

void ListOverlay::clear()
{
    m_title->clear();
    m_description->clear();
    hide();
}

bool ListOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        centre();
    return QWidget::eventFilter(watched, event);
}

void ListOverlay::centre()
{
    if (!parentWidget())
        return;
    const QSize area = parentWidget()->size();
    m_description->setMaximumWidth(qMax(120, area.width() - 40));
    adjustSize();
    move((area.width() - width()) / 2, (area.height() - height()) / 2);
    raise();
}
