#include "transferprogressrow.h"

#include "appsettings.h"
#include "localization.h"
#include "paneactions.h"
#include "theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {
constexpr int barWidth = 120;
constexpr int barSteps = 1000; // QProgressBar counts in int; byte counts would overflow it
}

TransferProgressRow::TransferProgressRow(PaneActions *actions, AppSettings *settings, QWidget *parent)
    : QFrame(parent), m_actions(actions), m_settings(settings), m_bar(new QProgressBar), m_label(new QLabel),
      m_cancel(new QPushButton)
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
    m_appear.setSingleShot(true);
    m_appear.setInterval(appearDelayMs);
    connect(&m_appear, &QTimer::timeout, this, &QWidget::show);
    connect(m_cancel, &QPushButton::clicked, actions, &PaneActions::cancelShownJob);
    connect(actions, &PaneActions::transferProgressChanged, this, &TransferProgressRow::refresh);
    connect(settings, &AppSettings::languageChanged, this, &TransferProgressRow::retranslate);
    hide();
    retranslate();
}

void TransferProgressRow::retranslate()
{
    m_cancel->setText(Localization::forLanguage(m_settings->language()).cancel);
    refresh();
}

void TransferProgressRow::refresh()
{
    const std::optional<PaneActions::TransferProgress> &progress = m_actions->transferProgress();
    if (!progress) {
        m_appear.stop();
        hide();
        return;
    }
    m_label->setText(PaneActions::progressText(*progress, Localization::forLanguage(m_settings->language())));
    m_bar->setValue(int(qBound(0.0, progress->fraction(), 1.0) * barSteps));
    if (isHidden() && !m_appear.isActive())
        m_appear.start();
}

QString TransferProgressRow::text() const { return m_label->text(); }

int TransferProgressRow::percent() const { return m_bar->value() * 100 / barSteps; }
