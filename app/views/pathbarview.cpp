#include "pathbarview.h"

#include "appsettings.h"
#include "breadcrumbbar.h"
#include "localization.h"
#include "tabmodel.h"
#include "themeicons.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStackedWidget>
#include <QToolButton>

#include <utility>

PathBarView::PathBarView(const ViewEnvironment &env, QWidget *parent)
    : QWidget(parent), m_env(env), m_stack(new QStackedWidget(this)), m_breadcrumb(new BreadcrumbBar(this)),
      m_field(new QLineEdit(this)), m_modeButton(new QToolButton(this))
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    m_stack->addWidget(m_breadcrumb);
    m_stack->addWidget(m_field);
    m_stack->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_field->setObjectName(QStringLiteral("pathField"));
    m_modeButton->setAutoRaise(true);
    m_modeButton->setFocusPolicy(Qt::NoFocus);
    m_modeButton->setObjectName(QStringLiteral("pathModeButton"));

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 8, 4);
    row->setSpacing(6);
    row->addWidget(m_stack, 1);
    row->addWidget(m_modeButton);

    connect(m_breadcrumb, &BreadcrumbBar::crumbClicked, this, [this](const FilePath &url) {
        if (m_tab)
            m_tab->navigate(url);
    });
    connect(m_field, &QLineEdit::returnPressed, this, &PathBarView::submit);
    connect(m_modeButton, &QToolButton::clicked, this, [this] {
        if (!m_tab)
            return;
        m_editingOnce = nullptr;
        m_tab->togglePathBarMode();
        if (m_tab->pathBarMode() == PathBarMode::text) {
            m_field->setFocus(Qt::OtherFocusReason);
            m_field->selectAll();
        }
    });
    m_field->installEventFilter(this);
    connect(m_env.settings, &AppSettings::languageChanged, this, &PathBarView::retranslate);
    const auto applyFont = [this] {
        m_breadcrumb->setCrumbFont(m_env.settings->uiFont());
        m_field->setFont(m_env.settings->uiFont());
    };
    connect(m_env.settings, &AppSettings::monospacedFontNameChanged, this, applyFont);
    connect(m_env.settings, &AppSettings::fontSizeChanged, this, applyFont);
    applyFont();
    retranslate();
}

void PathBarView::setTab(TabModel *tab)
{
    if (tab == m_tab)
        return;
    if (const QPointer<TabModel> once = std::exchange(m_editingOnce, nullptr))
        once->setPathBarMode(PathBarMode::breadcrumb);
    if (m_tab)
        disconnect(m_tab, nullptr, this, nullptr);
    m_tab = tab;
    if (tab) {
        connect(tab, &TabModel::historyChanged, this, &PathBarView::showFolder);
        connect(tab, &TabModel::pathBarModeChanged, this, &PathBarView::showMode);
        connect(tab, &TabModel::typedPathAnswered, this, &PathBarView::followAnswer);
    }
    showFolder();
    showMode();
}

void PathBarView::showFolder()
{
    if (!m_tab)
        return;
    m_breadcrumb->setUrl(m_tab->history().current());
    refillText();
}

void PathBarView::refillText()
{
    if (m_tab)
        m_field->setText(m_tab->history().current().path());
}

void PathBarView::showMode()
{
    const bool text = m_tab && m_tab->pathBarMode() == PathBarMode::text;
    if (text) {
        // Switching into text mode always starts from the current path; edits made before
        // switching away are dropped.
        refillText();
        m_stack->setCurrentWidget(m_field);
    } else {
        m_stack->setCurrentWidget(m_breadcrumb);
    }
    m_modeButton->setIcon(ThemeIcons::icon(text ? ThemeIcons::Symbol::breadcrumbPath : ThemeIcons::Symbol::editPath));
    retranslate();
}

void PathBarView::retranslate()
{
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    const bool text = m_tab && m_tab->pathBarMode() == PathBarMode::text;
    m_modeButton->setToolTip(text ? loc.pathBarSwitchToBreadcrumb : loc.pathBarSwitchToText);
    m_field->setPlaceholderText(loc.pathFieldPlaceholder);
}

void PathBarView::submit()
{
    if (!m_tab)
        return;
    m_tab->goToTyped(m_field->text(), m_tab->history().current());
}

void PathBarView::followAnswer(bool found)
{
    // Text that names nothing gives way to the current path, and the field stays for another try.
    refillText();
    if (found)
        finishEditing();
}

void PathBarView::editPath()
{
    if (!m_tab)
        return;
    if (m_tab->pathBarMode() == PathBarMode::breadcrumb) {
        m_editingOnce = m_tab;
        m_tab->setPathBarMode(PathBarMode::text);
    }
    refillText();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void PathBarView::finishEditing()
{
    const bool typing = m_field->hasFocus();
    // Cleared first: hiding the field moves the keyboard, which comes back here.
    if (const QPointer<TabModel> once = std::exchange(m_editingOnce, nullptr))
        once->setPathBarMode(PathBarMode::breadcrumb);
    if (typing)
        Q_EMIT editingFinished();
}

// Escape drops the edit. A one-time field also closes when the keyboard moves elsewhere in the
// window (not when another window takes it).
bool PathBarView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        refillText();
        finishEditing();
        return true;
    }
    if (watched == m_field && event->type() == QEvent::FocusOut && m_editingOnce
        && static_cast<QFocusEvent *>(event)->reason() != Qt::ActiveWindowFocusReason
        && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
        refillText();
        finishEditing();
    }
    return QWidget::eventFilter(watched, event);
}
