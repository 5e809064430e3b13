#include "transferprogressrow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {
constexpr int barWidth = 120;
constexpr int barSteps = 1000; // bytes are mapped onto this many steps: QProgressBar counts in int
}

TransferProgressRow::TransferProgressRow(QWidget *parent)
    : QFrame(parent), m_bar(new QProgressBar), m_label(new QLabel), m_cancel(new QPushButton)
{
    setAutoFillBackground(true);
    setFrameShape(QFrame::StyledPanel);
    m_bar->setFixedWidth(barWidth);
    m_bar->setTextVisible(false);
    m_bar->setRange(0, barSteps);
    QFont caption = m_label->font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    m_label->setFont(caption);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(m_bar);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_cancel);
    connect(m_cancel, &QPushButton::clicked, this, &TransferProgressRow::cancelRequested);
}

void TransferProgressRow::setTexts(const QString &progressFormat, const QString &cancel)
{
    m_format = progressFormat;
    m_cancel->setText(cancel);
    refreshText();
}

void TransferProgressRow::setProgress(int done, int total, qint64 bytesDone, qint64 bytesTotal)
{
    m_done = done;
    m_total = total;
    const double fraction = bytesTotal > 0 ? double(bytesDone) / double(bytesTotal)
                            : total > 0    ? double(done) / double(total)
                                           : 0.0;
    m_bar->setValue(int(qBound(0.0, fraction, 1.0) * barSteps));
    refreshText();
}

QString TransferProgressRow::text() const { return m_label->text(); }

int TransferProgressRow::percent() const { return m_bar->value() * 100 / barSteps; }

// The format holds two %d: done, then total.
void TransferProgressRow::refreshText()
{
    QString text = m_format;
    const qsizetype first = text.indexOf(QLatin1String("%d"));
    if (first >= 0)
        text.replace(first, 2, QString::number(m_done));
    text.replace(QLatin1String("%d"), QString::number(m_total));
    m_label->setText(text);
}
