#include "applicationchooser.h"

#include "localization.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int indexRole = Qt::UserRole;
}

ApplicationChooser::ApplicationChooser(const QList<DesktopEntry> &applications, const QString &itemName,
                                       const Localization &loc, QWidget *parent)
    : QDialog(parent), m_applications(applications), m_filter(new QLineEdit(this)), m_list(new QListWidget(this)),
      m_open(nullptr)
{
    setWindowTitle(loc.chooseApplicationTitle);
    setObjectName(QStringLiteral("applicationChooser"));
    auto *prompt = new QLabel(Localization::fill(loc.chooseApplicationPromptFormat, {itemName}), this);
    prompt->setTextFormat(Qt::PlainText);
    prompt->setWordWrap(true);
    m_filter->setPlaceholderText(loc.filterPlaceholder);
    m_filter->setClearButtonEnabled(true);
    m_list->setIconSize(QSize(24, 24));
    m_list->setUniformItemSizes(true);
    for (qsizetype i = 0; i < applications.size(); ++i) {
        auto *item = new QListWidgetItem(QIcon::fromTheme(applications[i].icon), applications[i].name, m_list);
        item->setData(indexRole, int(i));
        item->setToolTip(applications[i].id);
    }
    auto *buttons = new QDialogButtonBox(this);
    m_open = buttons->addButton(loc.openItem, QDialogButtonBox::AcceptRole);
    buttons->addButton(loc.cancel, QDialogButtonBox::RejectRole);
    m_open->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(420, 480);

    connect(m_filter, &QLineEdit::textChanged, this, &ApplicationChooser::applyFilter);
    connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *current) { m_open->setEnabled(current); });
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Arrow keys in the filter field move through the list, so typing and choosing go together.
    m_filter->installEventFilter(this);
    m_list->setCurrentRow(0);
    m_open->setEnabled(m_list->currentItem());
    m_filter->setFocus();
}

void ApplicationChooser::applyFilter(const QString &text)
{
    QListWidgetItem *firstShown = nullptr;
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem *item = m_list->item(row);
        const bool shown = item->text().contains(text, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !firstShown)
            firstShown = item;
    }
    if (!m_list->currentItem() || m_list->currentItem()->isHidden())
        m_list->setCurrentItem(firstShown);
    m_open->setEnabled(firstShown);
}

bool ApplicationChooser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_list, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<DesktopEntry> ApplicationChooser::chosen() const
{
    const QListWidgetItem *item = m_list->currentItem();
    if (result() != QDialog::Accepted || !item || item->isHidden())
        return std::nullopt;
    return m_applications.value(item->data(indexRole).toInt());
}
