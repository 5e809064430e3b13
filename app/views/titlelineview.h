#pragma once
// The window's title line: the badge, then a one-line summary of what the active tab shows or
// has selected: name · kind · size · created · modified for one item (the folder itself when
// nothing is selected), "n items selected" for more. Truncated in the middle, at most 480 wide.

#include "viewenvironment.h"

#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>

class OwlBadgeView;
class QLabel;
class TabModel;
class PaneModel;
struct Localization;

class TitleLineView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int maximumTextWidth = 480;

    explicit TitleLineView(const ViewEnvironment &env, QWidget *parent = nullptr);

    // The whole summary, before any truncation.
    QString titleText() const { return m_text; }

    [[nodiscard]] static QString summary(const QUrl &url, bool isDirectory, const Localization &loc);
    // The folder text for a folder, else the type's description, else the extension in capitals.
    [[nodiscard]] static QString kind(const QUrl &url, bool isDirectory, const Localization &loc);

Q_SIGNALS:
    void titleTextChanged(const QString &text);

private:
    void rebind();
    void scheduleUpdate();
    void updateText();
    QString computeText() const;

    ViewEnvironment m_env;
    OwlBadgeView *m_badge;
    QLabel *m_label;
    QString m_text;
    QTimer m_coalesce;
    QList<QMetaObject::Connection> m_connections;
};
