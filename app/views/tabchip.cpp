#include "tabchip.h"

#include "themeicons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

TabChip::TabChip(const QString &title, bool active, bool closable, const QFont &font, QWidget *parent)
    : QWidget(parent), m_active(active), m_label(new QLabel(this))
{
    setFont(font);
    // A chip keeps its width; the strip scrolls when they don't all fit.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    const QFontMetrics metrics(font);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setText(metrics.elidedText(title, Qt::ElideMiddle, 24 * metrics.averageCharWidth()));
    m_label->setForegroundRole(active ? QPalette::WindowText : QPalette::PlaceholderText);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 8, 4);
    row->setSpacing(4);
    row->addWidget(m_label);
    if (closable) {
        m_close = new QToolButton(this);
        m_close->setAutoRaise(true);
        m_close->setFocusPolicy(Qt::NoFocus);
        m_close->setIcon(ThemeIcons::icon(ThemeIcons::Symbol::close));
        const int side = m_label->fontMetrics().height() * 2 / 3;
        m_close->setIconSize(QSize(side, side));
        m_close->setObjectName(QStringLiteral("tabClose"));
        connect(m_close, &QToolButton::clicked, this, &TabChip::closeClicked);
        row->addWidget(m_close);
    }
}

void TabChip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        Q_EMIT clicked();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TabChip::paintEvent(QPaintEvent *)
{
    if (!m_active)
        return;
    QPainter painter(this);
    painter.fillRect(QRect(0, height() - 2, width(), 2), palette().color(QPalette::Link)); // the accent
}
