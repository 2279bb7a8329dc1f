#include "CommandRouter.h"

#include <QAction>
#include <QWidget>

CommandRouter::CommandRouter(CmdTarget* root, QObject* parent) : QObject(parent), root_(root) {}

void CommandRouter::Bind(QAction* action, unsigned id)
{
    action->setData(id);
    actions_.push_back(action);
    connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
}

bool CommandRouter::Execute(unsigned id)
{
    if (!State(id).enabled) return false;
    return root_->OnCmdMsg(id, nullptr);
}

CmdUI CommandRouter::State(unsigned id)
{
    CmdUI ui;
    if (!root_->OnCmdMsg(id, &ui)) ui.enabled = false;
    return ui;
}

void CommandRouter::UpdateAll()
{
    for (const QPointer<QAction>& action : actions_) {
        if (!action) continue;
        const CmdUI ui = State(CommandIdOf(action));
        action->setEnabled(ui.enabled);
        if (action->isCheckable()) action->setChecked(ui.checked);
    }
}

void CommandRouter::AddAccelerators(QWidget* window, const std::vector<Accelerator>& keys,
                                    const std::function<void()>& updated)
{
    for (const Accelerator& key : keys) {
        // Never disabled: Execute refuses a command that is disabled at that moment.
        auto* action = new QAction(window);
        action->setShortcut(key.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
        const unsigned id = key.id;
        connect(action, &QAction::triggered, this, [this, id, updated] {
            Execute(id);
            if (updated)
                updated();
        });
    }
}

std::vector<Accelerator> EditAccelerators()
{
    return {
        {57634, QKeySequence(Qt::CTRL | Qt::Key_C)},        {57634, QKeySequence(Qt::CTRL | Qt::Key_Insert)},
        {57637, QKeySequence(Qt::CTRL | Qt::Key_V)},        {57637, QKeySequence(Qt::SHIFT | Qt::Key_Insert)},
        {57635, QKeySequence(Qt::CTRL | Qt::Key_X)},        {57635, QKeySequence(Qt::SHIFT | Qt::Key_Delete)},
        {57642, QKeySequence(Qt::CTRL | Qt::Key_A)},        {57643, QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {57643, QKeySequence(Qt::ALT | Qt::Key_Backspace)},
    };
}

unsigned CommandIdOf(const QAction* action) { return action ? action->data().toUInt() : 0; }
