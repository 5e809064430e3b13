#include "sidewaysstrip.h"

#include <QHBoxLayout>

SidewaysStrip::SidewaysStrip(const QMargins &margins, QWidget *parent)
    : QScrollArea(parent), m_row(new QWidget), m_layout(new QHBoxLayout(m_row))
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    viewport()->setAutoFillBackground(false);
    m_row->setAutoFillBackground(false);
    m_layout->setContentsMargins(margins);
    m_layout->setSpacing(0);
    setWidget(m_row);
}
