#pragma once
// The whole program's window for the window tests: opened at a size with both panes listed, and
// the parts of it those tests reach for.

#include "contentview.h"
#include "panemodel.h"
#include "paneview.h"
#include "programhome.h"
#include "tabmodel.h"
#include "workspacemodel.h"
#include "workspaceview.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

#include <algorithm>
#include <memory>

inline PaneView *paneOf(TallowmereApp *app, int index) { return app->window()->workspaceView()->paneView(index); }
inline TabModel *tabOf(TallowmereApp *app, int index) { return paneOf(app, index)->pane()->activeTab(); }

// True once the active tab of each pane has its listing.
inline bool panesListed(TallowmereApp *app)
{
    return QTest::qWaitFor([app] {
        const auto &panes = app->environment().workspace->panes();
        return std::none_of(panes.begin(), panes.end(), [](PaneModel *pane) { return pane->activeTab()->isLoading(); });
    });
}

// Null when the window never showed or a pane never listed its folder.
inline std::unique_ptr<TallowmereApp> openWindow(QSize size = {1200, 700})
{
    auto app = std::make_unique<TallowmereApp>();
    app->window()->resize(size);
    app->window()->show();
    if (!QTest::qWaitForWindowExposed(app->window()) || !panesListed(app.get()))
        return nullptr;
    return app;
}

// Presses Return, Escape or a button's letter on the box, or clicks its button of that object
// name or text.
inline void answerBox(QMessageBox *box, const QString &answer)
{
    if (answer.size() == 1) {
        QTest::keyClick(box, answer.front().toLatin1());
        return;
    }
    if (answer == QLatin1String("Return") || answer == QLatin1String("Escape")) {
        QTest::keyClick(box, answer == QLatin1String("Return") ? Qt::Key_Return : Qt::Key_Escape);
        return;
    }
    for (QAbstractButton *button : box->buttons()) {
        if (button->objectName() == answer || button->text() == answer)
            return button->click();
    }
    QFAIL(qPrintable(QStringLiteral("no button ") + answer));
}

// As the window manager would once a prompt closed: the offscreen platform leaves no window
// active when a prompt closes on its own rather than by a key or click.
inline bool reactivate(TallowmereApp *app)
{
    app->window()->activateWindow();
    return QTest::qWaitForWindowActive(app->window());
}
