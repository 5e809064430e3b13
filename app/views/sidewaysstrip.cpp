#include "sidewaysstrip.h"

#include <QHBoxLayout>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

SidewaysStrip::SidewaysStrip(const QMargins &margins, QWidget *parent)
    : QScrollArea(parent), m_row(new QWidget), m_layout(new QHBoxLayout(m_row))
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Sized here rather than by the scroll area, which would squeeze the widgets to its width.
    setWidgetResizable(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    viewport()->setAutoFillBackground(false);
    m_row->setAutoFillBackground(false);
    m_layout->setContentsMargins(margins);
    m_layout->setSpacing(0);
    setWidget(m_row);
}

void SidewaysStrip::fitRow()
{
    m_layout->activate();
    m_row->resize(std::max(viewport()->width(), m_layout->sizeHint().width()), viewport()->height());
}

void SidewaysStrip::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    fitRow();
}


// A row has no height to scroll: a turn of the wheel, up or down, moves it sideways instead.
void SidewaysStrip::wheelEvent(QWheelEvent *event)
{
    QScrollBar *bar = horizontalScrollBar();
    const QPoint pixels = event->pixelDelta();
    const QPoint angle = event->angleDelta();
    // One notch (120) moves about two chips' worth of a short name.
    const int delta = !pixels.isNull() ? (pixels.x() != 0 ? pixels.x() : pixels.y())
                                       : (angle.x() != 0 ? angle.x() : angle.y()) * 2 / 5;
    if (bar->maximum() == 0 || delta == 0) {
        event->ignore();
        return;
    }
    bar->setValue(bar->value() - delta);
    event->accept();
}
