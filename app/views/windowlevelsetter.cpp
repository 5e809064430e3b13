#include "windowlevelsetter.h"

#include <QTimer>

WindowLevelSetter::WindowLevelSetter(QWidget *window) : QObject(window), m_window(window) {}

void WindowLevelSetter::setFloatOnTop(bool floatOnTop)
{
    m_floatOnTop = floatOnTop;
    QTimer::singleShot(0, this, &WindowLevelSetter::apply);
}

void WindowLevelSetter::apply()
{
    if (!m_window)
        return;
    const bool current = m_window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    if (current == m_floatOnTop)
        return;
    const bool visible = m_window->isVisible();
    const QRect geometry = m_window->geometry();
    const Qt::WindowStates states = m_window->windowState();
    m_window->setWindowFlag(Qt::WindowStaysOnTopHint, m_floatOnTop);
    if (!visible)
        return;
    m_window->setGeometry(geometry);
    m_window->setWindowState(states);
    m_window->show();
}
