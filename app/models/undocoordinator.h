#pragma once
// The window's one undo history, over a QUndoStack. Two kinds of step:
//  - a reversible pair (rename, bulk rename): undo runs the inverse, redo runs the forward
//    action again, and the two alternate for as long as the user likes;
//  - an undo-only step (trash, duplicate, new folder or file): undo runs it once and leaves
//    nothing to redo, because doing the original command again is not what the step recorded.
// Actions work on the file system and may fail when the items changed meanwhile; such a failure
// is swallowed and the step is consumed all the same, so the history never gets stuck.
// Used on the main thread only.

#include <QObject>

#include <functional>

class QUndoStack;

class UndoCoordinator : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool canUndo READ canUndo NOTIFY canUndoChanged)
    Q_PROPERTY(bool canRedo READ canRedo NOTIFY canRedoChanged)

public:
    using Action = std::function<void()>;

    explicit UndoCoordinator(QObject *parent = nullptr);
    ~UndoCoordinator() override;

    // Records a step whose forward action the caller has already performed.
    void registerReversible(Action forward, Action inverse);
    // Records a step that can be undone once and never redone.
    void registerUndoOnly(Action undo);
    // Both ignore what an action registers while it runs as part of an undo or redo (an action
    // that reuses a command which records itself): the step being undone already provides its
    // own way back, and pushing mid-undo would throw away the redo history.

    // A command whose step is still to come (queued behind a long copy, say) holds the history:
    // until it releases it, undo and redo would act on the step before, so they are off. Every
    // hold() is ended by one release().
    void hold();
    void release();

    bool canUndo() const;
    bool canRedo() const;
    QUndoStack *manager() const { return m_manager; }

public Q_SLOTS:
    void undo();
    void redo();

Q_SIGNALS:
    void canUndoChanged(bool canUndo);
    void canRedoChanged(bool canRedo);

private:
    void publishState();

    QUndoStack *m_manager;
    bool m_canUndo = false;
    bool m_canRedo = false;
    bool m_replaying = false; // inside undo() or redo()
    int m_holds = 0;
};
