#pragma once
// The strip under each pane: how many entries the folder holds, or how many are selected and
// what their files add up to; on the right the free space of the folder's volume. The counts
// read the tab's entries; the free space is asked for off the main thread each time the tab has
// loaded its folder, and a late answer to an earlier question is dropped.

#include "fileitem.h"
#include "futureowner.h"
#include "tabmodel.h"
#include "viewenvironment.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class QLabel;


class StatusBarView : public QWidget
{
    Q_OBJECT

public:
    explicit StatusBarView(const ViewEnvironment &env, QWidget *parent = nullptr);

    void setTab(TabModel *tab);
    TabModel *tab() const { return m_tab; }

    QString leadingText() const;

    // Bytes of the files among the items; folders add nothing.
    [[nodiscard]] static qint64 totalSize(const QList<FileItem> &items);

Q_SIGNALS:
    void freeTextChanged(const QString &text);

private:
    void recount();
    void retranslate();
    void askFreeSpace();

    ViewEnvironment m_env;
    QPointer<TabModel> m_tab;
    QLabel *m_leading;
    QLabel *m_free;
    std::optional<qint64> m_freeBytes;
    FutureOwner m_tasks{FutureOwner::Teardown::letRunOut}; // asks with copies only
};
