#include "settingsview.h"

#include "appsettings.h"
#include "localization.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

SettingsView::SettingsView(const ViewEnvironment &env, QWidget *parent)
    : QWidget(parent, Qt::Window), m_env(env), m_languageSection(new QGroupBox(this)), m_fontSection(new QGroupBox(this)),
      m_languageLabel(new QLabel(this)), m_language(new QComboBox(this)), m_confirmTrash(new QCheckBox(this)),
      m_fontLabel(new QLabel(this)), m_font(new QComboBox(this)), m_sizeLabel(new QLabel(this)),
      m_size(new QSpinBox(this)), m_preview(new QLabel(previewText(), this))
{
    setObjectName(QStringLiteral("settingsWindow"));
    // Every change is saved as it is made: Escape or Ctrl+W just closes the window.
    auto *close = new QAction(this);
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence::Close});
    close->setShortcutContext(Qt::WindowShortcut);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
    setMinimumSize(420, 300);
    for (const AppLanguage language : {AppLanguage::system, AppLanguage::japanese, AppLanguage::english})
        m_language->addItem(QString(), QVariant::fromValue(int(language)));
    m_font->addItem(QString(), QString());
    m_font->insertSeparator(1);
    for (const QString &name : monospacedFontNames())
        m_font->addItem(name, name);
    m_size->setRange(10, 20);
    m_size->setSingleStep(1);
    m_preview->setContentsMargins(4, 4, 4, 4);

    auto *languageForm = new QFormLayout(m_languageSection);
    languageForm->addRow(m_languageLabel, m_language);
    languageForm->addRow(m_confirmTrash);
    auto *fontForm = new QFormLayout(m_fontSection);
    fontForm->addRow(m_fontLabel, m_font);
    fontForm->addRow(m_sizeLabel, m_size);
    fontForm->addRow(m_preview);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->addWidget(m_languageSection);
    column->addWidget(m_fontSection);
    column->addStretch(1);

    AppSettings *settings = env.settings;
    connect(m_language, &QComboBox::activated, this, [this, settings](int index) {
        settings->setLanguage(AppLanguage(m_language->itemData(index).toInt()));
    });
    connect(m_confirmTrash, &QCheckBox::toggled, settings, &AppSettings::setConfirmBeforeTrash);
    connect(m_font, &QComboBox::activated, this, [this, settings](int index) {
        const QString name = m_font->itemData(index).toString();
        settings->setMonospacedFontName(name);
    });
    connect(m_size, &QSpinBox::valueChanged, settings, [settings](int size) { settings->setFontSize(size); });

    connect(settings, &AppSettings::languageChanged, this, &SettingsView::readSettings);
    for (auto signal : {&AppSettings::confirmBeforeTrashChanged, &AppSettings::monospacedFontNameChanged})
        connect(settings, signal, this, &SettingsView::readSettings);
    connect(settings, &AppSettings::fontSizeChanged, this, &SettingsView::readSettings);
    readSettings();
    retranslate();
}

QString SettingsView::previewText()
{
    return QStringLiteral("AaBbCc 0123 ") + QDir::homePath() + QStringLiteral("/Documents");
}

QStringList SettingsView::monospacedFontNames()
{
    QStringList names;
    for (const QString &family : QFontDatabase::families()) {
        if (QFontDatabase::isFixedPitch(family) && !QFontDatabase::isPrivateFamily(family))
            names << family;
    }
    std::sort(names.begin(), names.end());
    return names;
}

void SettingsView::readSettings()
{
    const AppSettings *settings = m_env.settings;
    m_language->setCurrentIndex(m_language->findData(int(settings->language())));
    m_confirmTrash->setChecked(settings->confirmBeforeTrash());
    // A stored font that is no longer installed matches no entry and leaves the picker blank.
    m_font->setCurrentIndex(m_font->findData(settings->monospacedFontName()));
    // Within the box's range before the cast: a hand-edited size may be 5000 or inf.
    m_size->setValue(int(std::clamp(settings->fontSize(), double(m_size->minimum()), double(m_size->maximum()))));
    m_preview->setFont(settings->uiFont());
    retranslate();
}

void SettingsView::retranslate()
{
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    setWindowTitle(loc.settingsTitle);
    m_languageSection->setTitle(loc.settingsLanguageSection);
    m_fontSection->setTitle(loc.settingsFontSection);
    m_languageLabel->setText(loc.settingsLanguage);
    m_language->setItemText(0, loc.languageSystem);
    m_language->setItemText(1, QStringLiteral("日本語"));
    m_language->setItemText(2, QStringLiteral("English"));
    m_confirmTrash->setText(loc.confirmBeforeTrashLabel);
    m_fontLabel->setText(loc.settingsMonospacedFont);
    m_font->setItemText(0, loc.settingsSystemMonospaced);
    m_sizeLabel->setText(Localization::fill(loc.fontSizeFormat, {QString::number(m_size->value())}));
}
