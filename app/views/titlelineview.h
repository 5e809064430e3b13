#pragma once
// The window's title line: the badge, then a one-line summary of what the active tab shows or
// has selected: name · kind · size · created · modified for one item (the folder itself when
// nothing is selected), "n items selected" for more. It takes the width the toolbar has and is
// truncated in the middle only when that is too little. The item's dates are read off the main
// thread; the line keeps its last text until they come.

#include "fileinfo.h"
#include "filepath.h"
#include "futureowner.h"
#include "viewenvironment.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <optional>

class OwlBadgeView;
class QLabel;
class TabModel;
class PaneModel;
struct Localization;

class TitleLineView : public QWidget
{
    Q_OBJECT

public:
    explicit TitleLineView(const ViewEnvironment &env, QWidget *parent = nullptr);

    // The whole summary, before any truncation.
    QString titleText() const { return m_text; }
    // What the line shows: the summary, shortened to the room there is.

    // `info` as read from the disk; without it (a vanished item), the name comes from the URL.
    [[nodiscard]] static QString summary(const FilePath &url, bool isDirectory, const std::optional<FileInfo> &info,
                                         const Localization &loc);
    // The folder text for a folder, else the type's description, else the extension in capitals.
    [[nodiscard]] static QString kind(const FilePath &url, bool isDirectory, const Localization &loc);

Q_SIGNALS:
    void titleTextChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rebind();
    void scheduleUpdate();
    void updateText();
    void showText(const QString &text);
    void elide();

    ViewEnvironment m_env;
    OwlBadgeView *m_badge;
    QLabel *m_label;
    QString m_text;
    QTimer m_coalesce;
    QPointer<TabModel> m_tab; // the tab whose changes it follows
    FutureOwner m_reads{FutureOwner::Teardown::letRunOut}; // reads copies only
};
