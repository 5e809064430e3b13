#pragma once
// The settings window: interface language, confirmation before moving to the Trash, the
// monospaced font for names and paths and its size, with a preview line in that font. Every
// control writes straight into the settings, which persist themselves; the window also follows
// changes made elsewhere (the language it shows included).

#include "viewenvironment.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;

class SettingsView : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsView(const ViewEnvironment &env, QWidget *parent = nullptr);

    // Fixed-pitch families installed, in plain ascending order.
    [[nodiscard]] static QStringList monospacedFontNames();
    // Sample letters, digits and a path of the user's own (their Documents folder).
    [[nodiscard]] static QString previewText();

    QComboBox *languagePicker() const { return m_language; }
    QCheckBox *confirmTrashBox() const { return m_confirmTrash; }
    QComboBox *fontPicker() const { return m_font; }
    QSpinBox *sizeStepper() const { return m_size; }
    QLabel *preview() const { return m_preview; }

private:
    void retranslate();
    void readSettings();

    ViewEnvironment m_env;
    QGroupBox *m_languageSection;
    QGroupBox *m_fontSection;
    QLabel *m_languageLabel;
    QComboBox *m_language;
    QCheckBox *m_confirmTrash;
    QLabel *m_fontLabel;
    QComboBox *m_font;
    QLabel *m_sizeLabel;
    QSpinBox *m_size;
    QLabel *m_preview;
};
