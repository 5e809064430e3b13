#include "owlbadgeview.h"

OwlBadgeView::OwlBadgeView(QStringList frames, std::chrono::milliseconds step, QWidget *parent)
    : QLabel(parent), m_frames(std::move(frames))
{
    QFont badgeFont = font();
    badgeFont.setPointSize(15);
    setFont(badgeFont);
    setText(m_frames.value(0));
    setAlignment(Qt::AlignCenter);
    m_timer.setInterval(step);
    connect(&m_timer, &QTimer::timeout, this, &OwlBadgeView::advance);
}

QStringList OwlBadgeView::titleFrames()
{
    return {QStringLiteral("\U0001F989"), QStringLiteral("\U0001F989"), QStringLiteral("\U0001F4C2"),
            QStringLiteral("\U0001F4C1")};
}

void OwlBadgeView::showEvent(QShowEvent *event)
{
    QLabel::showEvent(event);
    if (m_index + 1 < m_frames.size())
        m_timer.start();
}

void OwlBadgeView::hideEvent(QHideEvent *event)
{
    // Hidden, the badge stops where it is, like a task cancelled with its view.
    m_timer.stop();
    QLabel::hideEvent(event);
}

void OwlBadgeView::advance()
{
    if (m_index + 1 >= m_frames.size()) {
        m_timer.stop();
        return;
    }
    ++m_index;
    setText(m_frames.at(m_index));
    Q_EMIT indexChanged(m_index);
    if (m_index + 1 >= m_frames.size())
        m_timer.stop();
}
