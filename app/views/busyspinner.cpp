#include "busyspinner.h"

#include <QPainter>
#include <QPen>

BusySpinner::BusySpinner(int size, QWidget *parent) : QWidget(parent), m_colour(palette().color(QPalette::WindowText))
{
    setFixedSize(size, size);
    m_tick.setInterval(40);
    connect(&m_tick, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 30) % 360;
        update();
    });
}

void BusySpinner::setColour(const QColor &colour)
{
    m_colour = colour;
    update();
}

void BusySpinner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal pen = qMax(1.5, width() / 8.0);
    painter.setPen(QPen(m_colour, pen, Qt::SolidLine, Qt::RoundCap));
    const QRectF circle = QRectF(rect()).adjusted(pen, pen, -pen, -pen);
    // Angles in sixteenths of a degree, counter-clockwise: a three-quarter arc turning clockwise.
    painter.drawArc(circle, -m_angle * 16, 270 * 16);
}

void BusySpinner::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_tick.start();
}

void BusySpinner::hideEvent(QHideEvent *event)
{
    m_tick.stop();
    QWidget::hideEvent(event);
}
