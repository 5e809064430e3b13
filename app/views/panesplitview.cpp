#include "panesplitview.h"

#include "panedividerhandle.h"
#include "panelayout.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

PaneSplitView::PaneSplitView(QWidget *left, QWidget *right, QWidget *parent)
    : QWidget(parent), m_left(left), m_right(right), m_line(new QWidget(this)), m_handle(new PaneDividerHandle(this))
{
    m_left->setParent(this);
    m_right->setParent(this);
    m_line->setAutoFillBackground(true);
    m_line->setObjectName(QStringLiteral("paneDivider"));
    setLineColor(palette().color(QPalette::Mid));
    m_handle->setObjectName(QStringLiteral("paneDividerHandle"));

    connect(m_handle, &PaneDividerHandle::dragStarted, this, [this] { m_dragStartFraction.reset(); });
    connect(m_handle, &PaneDividerHandle::dragMoved, this, &PaneSplitView::dragMoved);
    connect(m_handle, &PaneDividerHandle::dragEnded, this, [this] {
        m_dragStartFraction.reset();
        Q_EMIT dragEnded();
    });
}

QWidget *PaneSplitView::divider() const
{
    return m_handle;
}

void PaneSplitView::setLineColor(const QColor &color)
{
    QPalette linePalette = m_line->palette();
    linePalette.setColor(QPalette::Window, color);
    m_line->setPalette(linePalette);
}

void PaneSplitView::setFraction(double fraction)
{
    if (fraction == m_fraction)
        return;
    m_fraction = fraction;
    placePanes();
    Q_EMIT fractionChanged(fraction);
}

void PaneSplitView::setRightHidden(bool hidden)
{
    if (hidden == m_rightHidden)
        return;
    m_rightHidden = hidden;
    placePanes();
    Q_EMIT rightHiddenChanged(hidden);
}

std::optional<double> PaneSplitView::draggedFraction(double startFraction, double translation, double total)
{
    if (!(total > 2.0 * minPane))
        return std::nullopt;
    const double lowest = minPane / total;
    const double highest = 1.0 - minPane / total;
    // Raised first, then lowered, so a nonsense start can't escape the range.
    return std::min(std::max(startFraction + translation / total, lowest), highest);
}

void PaneSplitView::dragMoved(double translation)
{
    if (!m_dragStartFraction)
        m_dragStartFraction = m_fraction;
    if (const auto fraction = draggedFraction(*m_dragStartFraction, translation, width()))
        Q_EMIT fractionDragged(*fraction);
}

void PaneSplitView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placePanes();
}

void PaneSplitView::placePanes()
{
    const int total = width();
    const int h = height();
    m_right->setVisible(!m_rightHidden);
    m_line->setVisible(!m_rightHidden);
    m_handle->setVisible(!m_rightHidden);
    if (m_rightHidden) {
        m_left->setGeometry(0, 0, total, h);
        return;
    }
    const int left = int(std::lround(PaneLayout::leftWidth(total, m_fraction, minPane)));
    m_left->setGeometry(0, 0, left, h);
    m_line->setGeometry(left, 0, lineWidth, h);
    m_right->setGeometry(left + lineWidth, 0, std::max(0, total - left - lineWidth), h);
    m_handle->setGeometry(left + lineWidth / 2 - handleWidth / 2, 0, handleWidth, h);
    m_handle->raise();
}
