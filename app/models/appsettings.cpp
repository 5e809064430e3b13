#include "appsettings.h"

#include <QFontDatabase>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

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
    noteWhatTheFileHolds();
}

AppSettings::~AppSettings() = default;

template <typename T>
void AppSettings::assign(T &field, const T &value, const QString &key, void (AppSettings::*changed)())
{
    const bool differs = field != value;
    field = value;
    persist(key);
    if (differs)
        Q_EMIT(this->*changed)();
}

void AppSettings::setMonospacedFontName(const QString &name)
{
    const bool differs = m_monospacedFontName != name;
    assign(m_monospacedFontName, name, fontNameKey, &AppSettings::monospacedFontNameChanged);
    if (differs)
        Q_EMIT uiFontChanged();
}

void AppSettings::setFontSize(double size)
{
    const bool differs = m_fontSize != size;
    assign(m_fontSize, size, fontSizeKey, &AppSettings::fontSizeChanged);
    if (differs)
        Q_EMIT uiFontChanged();
}

void AppSettings::setLanguage(AppLanguage language)
{
    assign(m_language, language, languageKey, &AppSettings::languageChanged);
}

void AppSettings::setShowHidden(bool show)
{
    assign(m_showHidden, show, showHiddenKey, &AppSettings::showHiddenChanged);
}

void AppSettings::setConfirmBeforeTrash(bool confirm)
{
    assign(m_confirmBeforeTrash, confirm, confirmBeforeTrashKey, &AppSettings::confirmBeforeTrashChanged);
}

void AppSettings::setFloatOnTop(bool floatOnTop)
{
    assign(m_floatOnTop, floatOnTop, floatOnTopKey, &AppSettings::floatOnTopChanged);
}

void AppSettings::setPaneSplitFraction(double fraction)
{
    assign(m_paneSplitFraction, fraction, paneSplitFractionKey, &AppSettings::paneSplitFractionChanged);
}

void AppSettings::setRightPaneHidden(bool hidden)
{
    assign(m_rightPaneHidden, hidden, rightPaneHiddenKey, &AppSettings::rightPaneHiddenChanged);
}

// The key assigned, and every other key the file still holds as this window last saw it (a
// missing or garbled value is written out as read back), straight to disk. A key that another
// window of the program wrote meanwhile is kept: writing all eight would put back what this
// window read. The file is rewritten whole under QSettings' lock file, never left half-written.
void AppSettings::persist(const QString &assigned)
{
    QSettings &store = *m_defaults;
    store.sync();
    const std::pair<QString, QVariant> values[] = {
        {fontNameKey, m_monospacedFontName},
        {fontSizeKey, m_fontSize},
        {languageKey, rawValue(m_language)},
        {showHiddenKey, m_showHidden},
        {confirmBeforeTrashKey, m_confirmBeforeTrash},
        {floatOnTopKey, m_floatOnTop},
        {paneSplitFractionKey, m_paneSplitFraction},
        {rightPaneHiddenKey, m_rightPaneHidden},
    };
    for (const auto &[key, value] : values) {
        if (key != assigned && store.value(key) != m_seen.value(key))
            continue;
        if (key == fontNameKey && m_monospacedFontName.isEmpty())
            store.remove(key);
        else
            store.setValue(key, value);
    }
    store.sync();
    noteWhatTheFileHolds();
}

void AppSettings::noteWhatTheFileHolds()
{
    for (const QString &key : {fontNameKey, fontSizeKey, languageKey, showHiddenKey, confirmBeforeTrashKey,
                               floatOnTopKey, paneSplitFractionKey, rightPaneHiddenKey})
        m_seen.insert(key, m_defaults->value(key));
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
