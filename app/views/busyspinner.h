#pragma once
// A small turning arc that says "still working" where a number will appear once the work is
// done. It turns only while shown.

#include <QColor>
#include <QTimer>
#include <QWidget>

class BusySpinner : public QWidget
{
    Q_OBJECT

public:
    explicit BusySpinner(int size, QWidget *parent = nullptr);

    void setColour(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QTimer m_tick;
    int m_angle = 0;
    QColor m_colour;
};
