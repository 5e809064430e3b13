#pragma once
// Keeps a window above the others while the float-on-top setting is on. Changing the flag makes
// Qt recreate the native window and hide it, so the place and size are put back and the
// window is shown again, asynchronously, after the event that changed the setting.

#include <QObject>
#include <QPointer>
#include <QWidget>

class WindowLevelSetter : public QObject
{
    Q_OBJECT

public:
    explicit WindowLevelSetter(QWidget *window);

    void setFloatOnTop(bool floatOnTop);
    bool floatOnTop() const { return m_floatOnTop; }

private:
    void apply();

    QPointer<QWidget> m_window;
    bool m_floatOnTop = false;
};
