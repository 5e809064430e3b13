#include "infosheet.h"

#include "iteminfomodel.h"
#include "localization.h"
#include "theme.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int sheetWidth = 380;
constexpr int labelWidth = 90;

QLabel *coloured(const QColor &colour)
{
    auto *label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
    return label;
}

} // namespace

InfoSheet::InfoSheet(const FilePath &url, QWidget *parent)
    : QDialog(parent), m_model(new ItemInfoModel(url, this)), m_title(new QLabel), m_rows(new QGridLayout),
      m_close(new QPushButton)
{
    setModal(true);
    setFixedWidth(sheetWidth);
    QFont headline = m_title->font();
    headline.setBold(true);
    m_title->setFont(headline);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setWordWrap(true);
    m_title->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    QPalette dividerColour = divider->palette();
    dividerColour.setColor(QPalette::WindowText, Theme::daziduvEdiv().divider);
    divider->setPalette(dividerColour);

    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setHorizontalSpacing(8);
    m_rows->setVerticalSpacing(6);
    m_rows->setColumnMinimumWidth(0, labelWidth);
    m_rows->setColumnStretch(1, 1);

    // The cancel button: Escape presses it. Return too, since there is nothing else to do.
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &InfoSheet::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_close);

    auto *column = new QVBoxLayout(this);
    column->setSpacing(10);
    column->addWidget(m_title);
    column->addWidget(divider);
    column->addLayout(m_rows);
    column->addLayout(buttons);

    connect(m_model, &ItemInfoModel::infoChanged, this, &InfoSheet::refresh);
    connect(m_model, &ItemInfoModel::folderSizeChanged, this, &InfoSheet::refresh);
}

void InfoSheet::setTexts(const Localization &loc)
{
    m_loc = &loc;
    m_close->setText(loc.close);
    refresh();
}

QString InfoSheet::title() const
{
    return m_title->text();
}

QList<std::pair<QString, QString>> InfoSheet::shownRows() const
{
    QList<std::pair<QString, QString>> rows;
    for (const auto &[label, value] : m_rowLabels) {
        if (!label->isHidden())
            rows.append({label->text(), value->text()});
    }
    return rows;
}

void InfoSheet::refresh()
{
    if (!m_loc)
        return;
    setWindowTitle(m_loc->getInfo);
    m_title->setText(m_model->title());
    const QList<ItemInfoModel::Row> rows = m_model->rows(*m_loc);
    const Theme theme = Theme::daziduvEdiv();
    // Labels are kept and refilled rather than made anew, so a value being selected stays
    // selected when the folder size arrives.
    while (m_rowLabels.size() < rows.size()) {
        QLabel *label = coloured(theme.secondaryForeground);
        QLabel *value = coloured(theme.foreground);
        label->setFixedWidth(labelWidth);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        value->setWordWrap(true);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        const int row = int(m_rowLabels.size());
        m_rows->addWidget(label, row, 0, Qt::AlignTop);
        m_rows->addWidget(value, row, 1, Qt::AlignTop);
        m_rowLabels.append(std::pair{label, value});
    }
    for (qsizetype i = 0; i < m_rowLabels.size(); ++i) {
        const auto &[label, value] = m_rowLabels.at(i);
        const bool shown = i < rows.size();
        label->setVisible(shown);
        value->setVisible(shown);
        if (shown) {
            label->setText(rows.at(i).label);
            if (value->text() != rows.at(i).value)
                value->setText(rows.at(i).value);
        }
    }
    // Exactly as tall as the wrapped title and the rows need: no spare space between parts.
    QLayout *column = layout();
    setFixedHeight(column->hasHeightForWidth() ? column->totalHeightForWidth(sheetWidth)
                                               : column->totalSizeHint().height());
}

// However the dialog goes away, the folder walk behind it ends with it.
void InfoSheet::hideEvent(QHideEvent *event)
{
    m_model->stop();
    QDialog::hideEvent(event);
}
