#include "panedividerhandle.h"

#include <QMouseEvent>

PaneDividerHandle::PaneDividerHandle(QWidget *parent) : QWidget(parent)
{
    setCursor(Qt::SizeHorCursor);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(false);
}

void PaneDividerHandle::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressX = event->globalPosition().x();
    m_pressed = true;
    m_moved = false;
    event->accept();
}

void PaneDividerHandle::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed)
        return;
    const double translation = event->globalPosition().x() - m_pressX;
    // Nothing counts as a drag until the pointer has moved at least one pixel.
    if (!m_moved && std::abs(translation) < 1)
        return;
    if (!m_moved) {
        m_moved = true;
        Q_EMIT dragStarted();
    }
    Q_EMIT dragMoved(translation);
}

void PaneDividerHandle::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_pressed)
        return QWidget::mouseReleaseEvent(event);
    m_pressed = false;
    if (m_moved)
        Q_EMIT dragEnded();
    m_moved = false;
}
