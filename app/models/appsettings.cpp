#include "appsettings.h"

#include <QFontDatabase>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString fontNameKey = QStringLiteral("monospacedFontName");
const QString fontSizeKey = QStringLiteral("fontSize");
const QString languageKey = QStringLiteral("language");
const QString showHiddenKey = QStringLiteral("showHidden");
const QString confirmBeforeTrashKey = QStringLiteral("confirmBeforeTrash");
const QString floatOnTopKey = QStringLiteral("floatOnTop");
const QString paneSplitFractionKey = QStringLiteral("paneSplitFraction");
const QString rightPaneHiddenKey = QStringLiteral("rightPaneHidden");

// A stored number above zero, else the default (a missing, garbled, zero or negative value).
double positiveOr(const QSettings &store, const QString &key, double fallback)
{
    bool ok = false;
    const double value = store.value(key).toDouble(&ok);
    return ok && value > 0 ? value : fallback;
}

} // namespace

QString AppSettings::standardStorePath()
{
    // Where QSettings keeps organisation "Tallowmere", application "Tallowmere" on Linux.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Tallowmere/Tallowmere.conf");
}

AppSettings::AppSettings(const QString &storePath, QObject *parent)
    : QObject(parent),
      m_defaults(std::make_unique<QSettings>(storePath.isEmpty() ? standardStorePath() : storePath,
                                             QSettings::IniFormat))
{
    const QSettings &store = *m_defaults;
    m_monospacedFontName = store.value(fontNameKey).toString();
    m_fontSize = positiveOr(store, fontSizeKey, defaultFontSize);
    m_language = appLanguageFromRawValue(store.value(languageKey).toString());
    m_showHidden = store.value(showHiddenKey, false).toBool();
    m_confirmBeforeTrash = store.value(confirmBeforeTrashKey, true).toBool();
    m_floatOnTop = store.value(floatOnTopKey, false).toBool();
    m_paneSplitFraction = positiveOr(store, paneSplitFractionKey, defaultPaneSplitFraction);
    m_rightPaneHidden = store.value(rightPaneHiddenKey, false).toBool();
}

AppSettings::~AppSettings() = default;

template <typename T>
void AppSettings::assign(T &field, const T &value, void (AppSettings::*changed)())
{
    const bool differs = field != value;
    field = value;
    persist();
    if (differs)
        Q_EMIT(this->*changed)();
}

void AppSettings::setMonospacedFontName(const QString &name)
{
    const bool differs = m_monospacedFontName != name;
    assign(m_monospacedFontName, name, &AppSettings::monospacedFontNameChanged);
    if (differs)
        Q_EMIT uiFontChanged();
}

void AppSettings::setFontSize(double size)
{
    const bool differs = m_fontSize != size;
    assign(m_fontSize, size, &AppSettings::fontSizeChanged);
    if (differs)
        Q_EMIT uiFontChanged();
}

void AppSettings::setLanguage(AppLanguage language)
{
    assign(m_language, language, &AppSettings::languageChanged);
}

void AppSettings::setShowHidden(bool show)
{
    assign(m_showHidden, show, &AppSettings::showHiddenChanged);
}

void AppSettings::setConfirmBeforeTrash(bool confirm)
{
    assign(m_confirmBeforeTrash, confirm, &AppSettings::confirmBeforeTrashChanged);
}

void AppSettings::setFloatOnTop(bool floatOnTop)
{
    assign(m_floatOnTop, floatOnTop, &AppSettings::floatOnTopChanged);
}

void AppSettings::setPaneSplitFraction(double fraction)
{
    assign(m_paneSplitFraction, fraction, &AppSettings::paneSplitFractionChanged);
}

void AppSettings::setRightPaneHidden(bool hidden)
{
    assign(m_rightPaneHidden, hidden, &AppSettings::rightPaneHiddenChanged);
}

// All keys, every time, and straight to disk: the file is rewritten whole under QSettings'
// lock file, so another instance writing at the same moment never leaves it half-written.
void AppSettings::persist()
{
    QSettings &store = *m_defaults;
    if (m_monospacedFontName.isEmpty())
        store.remove(fontNameKey);
    else
        store.setValue(fontNameKey, m_monospacedFontName);
    store.setValue(fontSizeKey, m_fontSize);
    store.setValue(languageKey, rawValue(m_language));
    store.setValue(showHiddenKey, m_showHidden);
    store.setValue(confirmBeforeTrashKey, m_confirmBeforeTrash);
    store.setValue(floatOnTopKey, m_floatOnTop);
    store.setValue(paneSplitFractionKey, m_paneSplitFraction);
    store.setValue(rightPaneHiddenKey, m_rightPaneHidden);
    store.sync();
}

QString AppSettings::effectiveFontName() const
{
    if (m_monospacedFontName.isEmpty() || !QFontDatabase::hasFamily(m_monospacedFontName))
        return {};
    return m_monospacedFontName;
}

QFont AppSettings::uiFont() const
{
    const QString family = effectiveFontName();
    QFont font = family.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont(family);
    // A hand-edited size out of all reason (5000, inf) would leave nothing legible; the stored
    // value stays as it is, the font is made within these bounds.
    font.setPointSizeF(std::clamp(m_fontSize, 6.0, 72.0));
    return font;
}
