#pragma once
// The user's preferences, kept in the program's INI settings file so they survive a restart.
// Every assignment writes all eight keys (so the file holds one whole set, values read back as
// defaults included), except those another window of the program wrote since this one last saw
// the file: those are kept. Observers are told only when the value changed.
// Used on the main thread only.

#include "applanguage.h"

#include <QFont>
#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

class AppSettings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString monospacedFontName READ monospacedFontName WRITE setMonospacedFontName
                   NOTIFY monospacedFontNameChanged)
    Q_PROPERTY(double fontSize READ fontSize WRITE setFontSize NOTIFY fontSizeChanged)
    Q_PROPERTY(AppLanguage language READ language WRITE setLanguage NOTIFY languageChanged)
    Q_PROPERTY(bool showHidden READ showHidden WRITE setShowHidden NOTIFY showHiddenChanged)
    Q_PROPERTY(bool confirmBeforeTrash READ confirmBeforeTrash WRITE setConfirmBeforeTrash
                   NOTIFY confirmBeforeTrashChanged)
    Q_PROPERTY(bool floatOnTop READ floatOnTop WRITE setFloatOnTop NOTIFY floatOnTopChanged)
    Q_PROPERTY(double paneSplitFraction READ paneSplitFraction WRITE setPaneSplitFraction
                   NOTIFY paneSplitFractionChanged)
    Q_PROPERTY(bool rightPaneHidden READ rightPaneHidden WRITE setRightPaneHidden NOTIFY rightPaneHiddenChanged)
    Q_PROPERTY(QFont uiFont READ uiFont NOTIFY uiFontChanged)

public:
    static constexpr double defaultFontSize = 13;
    static constexpr double defaultPaneSplitFraction = 0.5;

    // The settings file every part of the program shares:
    // $XDG_CONFIG_HOME/Tallowmere/Tallowmere.conf.
    static QString standardStorePath();

    // Reads every key from the INI file at `storePath` (the standard one when empty); writes
    // nothing until the first assignment.
    explicit AppSettings(const QString &storePath = {}, QObject *parent = nullptr);
    ~AppSettings() override;

    // Empty means none: the system's fixed-pitch font.
    QString monospacedFontName() const { return m_monospacedFontName; }
    double fontSize() const { return m_fontSize; }
    AppLanguage language() const { return m_language; }
    bool showHidden() const { return m_showHidden; }
    bool confirmBeforeTrash() const { return m_confirmBeforeTrash; }
    bool floatOnTop() const { return m_floatOnTop; }
    double paneSplitFraction() const { return m_paneSplitFraction; }
    bool rightPaneHidden() const { return m_rightPaneHidden; }

    void setMonospacedFontName(const QString &name);
    void setFontSize(double size);
    void setLanguage(AppLanguage language);
    void setShowHidden(bool show);
    void setConfirmBeforeTrash(bool confirm);
    void setFloatOnTop(bool floatOnTop);
    void setPaneSplitFraction(double fraction);
    void setRightPaneHidden(bool hidden);

    // The chosen font name if the font system knows that family, else empty. A name that no
    // longer resolves (the font was removed) is kept in the settings all the same.
    QString effectiveFontName() const;
    // The font for names and paths: the chosen family, or the system's fixed-pitch font, at
    // fontSize points.
    QFont uiFont() const;

Q_SIGNALS:
    void monospacedFontNameChanged();
    void fontSizeChanged();
    void languageChanged();
    void showHiddenChanged();
    void confirmBeforeTrashChanged();
    void floatOnTopChanged();
    void paneSplitFractionChanged();
    void rightPaneHiddenChanged();
    // With either of the two font settings.
    void uiFontChanged();

private:
    template <typename T>
    void assign(T &field, const T &value, const QString &key, void (AppSettings::*changed)());
    void persist(const QString &assigned);
    void noteWhatTheFileHolds();

    std::unique_ptr<QSettings> m_defaults;
    QHash<QString, QVariant> m_seen; // each key as the file held it when this window last read or wrote it
    QString m_monospacedFontName;
    double m_fontSize = defaultFontSize;
    AppLanguage m_language = AppLanguage::system;
    bool m_showHidden = false;
    bool m_confirmBeforeTrash = true;
    bool m_floatOnTop = false;
    double m_paneSplitFraction = defaultPaneSplitFraction;
    bool m_rightPaneHidden = false;
};
