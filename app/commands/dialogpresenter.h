#pragma once
// How the pane's commands ask the user and tell them: the error alert, the rename prompt, the
// trash and permanent-delete confirmations, the name-collision prompt of a transfer, the
// preview, the bulk rename sheet and the information sheet. A command hands over what the
// dialog shows and what to do with the answer; the presenter keeps the dialog and calls back
// once it is answered. A dialog closed without a choice calls back with none (or not at all
// where no choice means nothing happens), so a command never waits on a dialog gone away.
//
// The window shows them as dialogs of the pane (DialogHost); tests answer them directly.

#include "fileitem.h"
#include "filepath.h"
#include "renamepair.h"
#include "transferoutcome.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class DialogPresenter
{
public:
    enum class Confirmation { trash, permanentDelete };
    // Told once the rename asked for has ended: true once renamed, false to keep the prompt open
    // (the failure having been shown).
    using RenameDone = std::function<void(bool renamed)>;
    // Given each name confirmed in the prompt, and what to tell when the rename has ended.
    using RenameAnswer = std::function<void(const QString &name, const RenameDone &done)>;
    // The prompt's choice; none when it was closed without one.
    using CollisionAnswer = std::function<void(std::optional<ConflictResolution>)>;
    using BulkRenameAnswer = std::function<void(const QList<RenamePair> &)>;

    virtual ~DialogPresenter() = default;

    virtual void showError(const QString &message) = 0;
    virtual void askRename(const FileItem &item, RenameAnswer rename) = 0;
    // Asks whether `count` items may go; `confirmed` runs only on a yes.
    virtual void confirm(Confirmation kind, int count, std::function<void()> confirmed) = 0;
    virtual void askCollision(CollisionAnswer answer) = 0;
    virtual void showPreview(const FilePath &url) = 0;
    virtual void showBulkRename(const QList<FileItem> &items, BulkRenameAnswer apply) = 0;
    virtual void showInfo(const FilePath &url) = 0;
};
