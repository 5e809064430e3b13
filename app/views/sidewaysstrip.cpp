#include "sidewaysstrip.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

SidewaysStrip::SidewaysStrip(const QMargins &margins, QWidget *parent)
    : QScrollArea(parent), m_row(new QWidget), m_layout(new QHBoxLayout(m_row)), m_fade(new QGraphicsOpacityEffect(this))
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
    m_fade->setOpacity(1.0); // the mask alone does the fading
    m_fade->setEnabled(false);
    m_row->setGraphicsEffect(m_fade);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &SidewaysStrip::updateFades);
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, &SidewaysStrip::updateFades);
}

// The mask is in the row's coordinates and spans the part in view.
void SidewaysStrip::updateFades()
{
    const QScrollBar *bar = horizontalScrollBar();
    const int width = viewport()->width();
    m_fade->setEnabled(bar->maximum() > 0 && width > 0);
    if (!m_fade->isEnabled())
        return;
    const double edge = std::min(0.25, 24.0 / width);
    QLinearGradient mask(bar->value(), 0, bar->value() + width, 0);
    mask.setColorAt(0, bar->value() > bar->minimum() ? Qt::transparent : Qt::black);
    mask.setColorAt(edge, Qt::black);
    mask.setColorAt(1 - edge, Qt::black);
    mask.setColorAt(1, bar->value() < bar->maximum() ? Qt::transparent : Qt::black);
    m_fade->setOpacityMask(mask);
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
    updateFades();
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
