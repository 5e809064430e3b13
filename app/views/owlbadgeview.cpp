#include "owlbadgeview.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

namespace {

// Glyphs drawn smaller than this many pixels are skipped: the glyph cache can't render them (it
// warns on every frame), and at that size the frame is all but faded out anyway.
constexpr double smallestGlyph = 2.0;

} // namespace

OwlBadgeView::OwlBadgeView(QStringList frames, std::chrono::milliseconds step, QWidget *parent)
    : QWidget(parent), m_frames(std::move(frames))
{
    QFont badgeFont = font();
    badgeFont.setPointSize(15);
    setFont(badgeFont);
    m_timer.setInterval(step);
    connect(&m_timer, &QTimer::timeout, this, &OwlBadgeView::advance);
    m_change.setDuration(int(transition.count()));
    m_change.setStartValue(0.0);
    m_change.setEndValue(1.0);
    m_change.setEasingCurve(QEasingCurve::InOutQuad);
    connect(&m_change, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
}

QStringList OwlBadgeView::titleFrames()
{
    return {QStringLiteral("\U0001F989"), QStringLiteral("\U0001F989"), QStringLiteral("\U0001F4C2"),
            QStringLiteral("\U0001F4C1")};
}

double OwlBadgeView::progress() const
{
    return m_change.state() == QAbstractAnimation::Running ? m_change.currentValue().toDouble() : 1.0;
}

QSize OwlBadgeView::sizeHint() const
{
    const QFontMetrics metrics(font());
    int width = 0;
    for (const QString &frame : m_frames)
        width = std::max(width, metrics.horizontalAdvance(frame));
    return {width + 4, metrics.height()};
}

void OwlBadgeView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_index + 1 < m_frames.size())
        m_timer.start();
}

void OwlBadgeView::hideEvent(QHideEvent *event)
{
    // Hidden, the badge stops where it is, like a task cancelled with its view.
    m_timer.stop();
    if (m_change.state() == QAbstractAnimation::Running)
        m_change.setCurrentTime(m_change.duration());
    QWidget::hideEvent(event);
}

void OwlBadgeView::advance()
{
    if (m_index + 1 >= m_frames.size()) {
        m_timer.stop();
        return;
    }
    ++m_index;
    m_change.stop();
    m_change.start();
    update();
    Q_EMIT indexChanged(m_index);
    if (m_index + 1 >= m_frames.size())
        m_timer.stop();
}

void OwlBadgeView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const double amount = progress();
    if (amount < 1.0 && m_index > 0)
        paintFrame(painter, m_frames.value(m_index - 1), 1.0 - amount);
    paintFrame(painter, text(), amount);
}

// `amount` 1 is the frame in full; towards 0 it shrinks about the centre and fades.
void OwlBadgeView::paintFrame(QPainter &painter, const QString &frame, double amount)
{
    if (frame.isEmpty() || QFontInfo(font()).pixelSize() * amount < smallestGlyph)
        return;
    painter.save();
    painter.setOpacity(amount);
    painter.translate(QRectF(rect()).center());
    painter.scale(amount, amount);
    painter.translate(-QRectF(rect()).center());
    painter.drawText(rect(), Qt::AlignCenter, frame);
    painter.restore();
}
