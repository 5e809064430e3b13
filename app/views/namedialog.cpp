#include "namedialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

NameDialog::NameDialog(QWidget *parent) : QDialog(parent)
{
    setModal(true);
    m_title = new QLabel(this);
    QFont headline = m_title->font();
    headline.setBold(true);
    m_title->setFont(headline);
    m_field = new QLineEdit(this);
    m_field->setFixedWidth(320);
    m_field->setClearButtonEnabled(false);
    m_cancel = new QPushButton(this);
    m_confirm = new QPushButton(this);
    m_confirm->setDefault(true);
    m_cancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_confirm);
    auto *column = new QVBoxLayout(this);
    column->setSpacing(12);
    column->addWidget(m_title);
    column->addWidget(m_field);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_field, &QLineEdit::textChanged, this, [this](const QString &text) {
        updateConfirm();
        Q_EMIT nameChanged(text);
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_confirm, &QPushButton::clicked, this, [this] {
        if (m_confirm->isEnabled())
            Q_EMIT confirmed(trimmedName());
    });
    updateConfirm();
}

void NameDialog::setTexts(const QString &title, const QString &placeholder, const QString &cancel,
                          const QString &confirm)
{
    setWindowTitle(title);
    m_title->setText(title);
    m_field->setPlaceholderText(placeholder);
    m_cancel->setText(cancel);
    m_confirm->setText(confirm);
}

QString NameDialog::name() const
{
    return m_field->text();
}

void NameDialog::setName(const QString &name)
{
    if (name != m_field->text())
        m_field->setText(name);
}

QString NameDialog::trimmedName() const
{
    return trimSpacesAndTabs(m_field->text());
}

QString NameDialog::trimSpacesAndTabs(const QString &text)
{
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && blank(text.at(start)))
        ++start;
    while (end > start && blank(text.at(end - 1)))
        --end;
    return text.mid(start, end - start);
}

void NameDialog::setBusy(bool busy)
{
    m_busy = busy;
    updateConfirm();
}

void NameDialog::updateConfirm()
{
    m_confirm->setEnabled(!m_busy && !trimmedName().isEmpty());
}
