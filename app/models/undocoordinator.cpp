#include "undocoordinator.h"

#include <QScopedValueRollback>
#include <QUndoCommand>
#include <QUndoStack>

namespace {

void runSwallowingFailures(const UndoCoordinator::Action &action)
{
    if (!action)
        return;
    try {
        action();
    } catch (...) {
        // The items moved on since the step was recorded; the step is spent all the same.
    }
}

class ReversibleStep : public QUndoCommand
{
public:
    ReversibleStep(UndoCoordinator::Action forward, UndoCoordinator::Action inverse)
        : m_forward(std::move(forward)), m_inverse(std::move(inverse))
    {
    }

    void undo() override { runSwallowingFailures(m_inverse); }

    // QUndoStack::push() redoes at once, but the caller has done the forward action already.
    void redo() override
    {
        if (m_pushed)
            runSwallowingFailures(m_forward);
        m_pushed = true;
    }

private:
    UndoCoordinator::Action m_forward;
    UndoCoordinator::Action m_inverse;
    bool m_pushed = false;
};

// Obsolete after undoing, so the stack drops it instead of offering it for redo.
class UndoOnlyStep : public QUndoCommand
{
public:
    explicit UndoOnlyStep(UndoCoordinator::Action undo) : m_undo(std::move(undo)) {}

    void undo() override
    {
        runSwallowingFailures(m_undo);
        setObsolete(true);
    }
    void redo() override {}

private:
    UndoCoordinator::Action m_undo;
};

} // namespace

UndoCoordinator::UndoCoordinator(QObject *parent) : QObject(parent), m_manager(new QUndoStack(this))
{
    // The stack announces both states on every index move; the menus hear only real changes.
    connect(m_manager, &QUndoStack::indexChanged, this, &UndoCoordinator::publishState);
    connect(m_manager, &QUndoStack::canRedoChanged, this, &UndoCoordinator::publishState);
}

UndoCoordinator::~UndoCoordinator() = default;

void UndoCoordinator::registerReversible(Action forward, Action inverse)
{
    if (m_replaying)
        return;
    m_manager->push(new ReversibleStep(std::move(forward), std::move(inverse)));
}

void UndoCoordinator::registerUndoOnly(Action undo)
{
    if (m_replaying)
        return;
    m_manager->push(new UndoOnlyStep(std::move(undo)));
}

void UndoCoordinator::hold()
{
    ++m_holds;
    publishState();
}

void UndoCoordinator::release()
{
    --m_holds;
    publishState();
}

void UndoCoordinator::publishState()
{
    if (m_canUndo != canUndo()) {
        m_canUndo = !m_canUndo;
        Q_EMIT canUndoChanged(m_canUndo);
    }
    if (m_canRedo != canRedo()) {
        m_canRedo = !m_canRedo;
        Q_EMIT canRedoChanged(m_canRedo);
    }
}

bool UndoCoordinator::canUndo() const
{
    return m_holds == 0 && m_manager->canUndo();
}

bool UndoCoordinator::canRedo() const
{
    return m_holds == 0 && m_manager->canRedo();
}

void UndoCoordinator::undo()
{
    if (m_holds > 0)
        return;
    const QScopedValueRollback replaying(m_replaying, true);
    m_manager->undo();
}

void UndoCoordinator::redo()
{
    if (m_holds > 0)
        return;
    const QScopedValueRollback replaying(m_replaying, true);
    m_manager->redo();
}
