#pragma once
// A presenter that shows nothing: it keeps what the pane's commands asked for, and the test
// answers as the user would.

#include "dialogpresenter.h"

#include <QStringList>
#include <QTest>

#include <memory>
#include <optional>
#include <utility>

class AnsweringPresenter : public DialogPresenter
{
public:
    struct Confirming
    {
        Confirmation kind;
        int count;
        std::function<void()> confirmed;
    };

    QStringList errors;
    std::optional<FileItem> renaming;
    std::optional<Confirming> confirming;
    CollisionAnswer collision;
    std::optional<FilePath> previewed;

    std::optional<QString> lastError() const { return errors.isEmpty() ? std::nullopt : std::optional(errors.last()); }
    // Types the name, confirms it and waits for the rename to end; the prompt stays while the
    // rename failed.
    bool rename(const QString &name)
    {
        auto renamed = std::make_shared<std::optional<bool>>();
        m_rename(name, [renamed](bool done) { *renamed = done; });
        if (!QTest::qWaitFor([&] { return renamed->has_value(); }, 10000) || !**renamed)
            return false;
        renaming.reset();
        return true;
    }
    void answer(bool yes)
    {
        const std::optional<Confirming> asked = std::exchange(confirming, std::nullopt);
        if (yes)
            asked->confirmed();
    }

    void showError(const QString &message) override { errors << message; }
    void askRename(const FileItem &item, RenameAnswer rename) override
    {
        renaming = item;
        m_rename = std::move(rename);
    }
    void confirm(Confirmation kind, int count, std::function<void()> confirmed) override
    {
        confirming = Confirming{kind, count, std::move(confirmed)};
    }
    void askCollision(CollisionAnswer answer) override { collision = std::move(answer); }
    void showPreview(const FilePath &url) override { previewed = url; }
    void showBulkRename(const QList<FileItem> &, BulkRenameAnswer) override {}
    void showInfo(const FilePath &) override {}

private:
    RenameAnswer m_rename;
};
