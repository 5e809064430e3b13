#include "transferprogressrow.h"

#include "theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {
constexpr int barWidth = 120;
constexpr int barSteps = 1000; // QProgressBar counts in int; byte counts would overflow it
}

TransferProgressRow::TransferProgressRow(QWidget *parent)
    : QFrame(parent), m_bar(new QProgressBar), m_label(new QLabel), m_cancel(new QPushButton)
{
    setAutoFillBackground(true);
    setFrameShape(QFrame::StyledPanel);
    m_bar->setFixedWidth(barWidth);
    m_bar->setTextVisible(false);
    m_bar->setRange(0, barSteps);
    m_label->setFont(Theme::captionFont(m_label->font()));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(m_bar);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_cancel);
    connect(m_cancel, &QPushButton::clicked, this, &TransferProgressRow::cancelRequested);
    m_appear.setSingleShot(true);
    m_appear.setInterval(appearDelayMs);
    connect(&m_appear, &QTimer::timeout, this, &QWidget::show);
    hide();
}

void TransferProgressRow::setCancelText(const QString &text)
{
    m_cancel->setText(text);
}

void TransferProgressRow::setProgress(const QString &text, double fraction)
{
    m_label->setText(text);
    m_bar->setValue(int(qBound(0.0, fraction, 1.0) * barSteps));
    if (isHidden() && !m_appear.isActive())
        m_appear.start();
}

void TransferProgressRow::clear()
{
    m_appear.stop();
    hide();
}

QString TransferProgressRow::text() const { return m_label->text(); }

int TransferProgressRow::percent() const { return m_bar->value() * 100 / barSteps; }
