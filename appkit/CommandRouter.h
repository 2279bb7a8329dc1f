#pragma once
// Commands by id, as the frames route them: a command is offered to a chain of
// targets until one takes it; the same chain tells whether it is enabled. Menu items
// and tool buttons are QActions whose data is the command id.

#include <QKeySequence>
#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QAction;
class QWidget;

// The state a target gives a command while the user interface is brought up to date.
struct CmdUI {
    bool enabled = true;
    bool checked = false;
};

class CmdTarget
{
public:
    virtual ~CmdTarget() = default;
    // ui null: run the command. ui set: tell its state. True when this target (or one
    // it passes the command to) handles the id.
    virtual bool OnCmdMsg(unsigned id, CmdUI* ui) = 0;
};

// One key of a frame's accelerator table and the command it runs.
struct Accelerator {
    unsigned id;
    QKeySequence keys;
};

class CommandRouter : public QObject
{
public:
    // The first target of the chain (the main frame).
    explicit CommandRouter(CmdTarget* root, QObject* parent = nullptr);

    // Makes the action carry the id and run it through the chain when triggered.
    void Bind(QAction* action, unsigned id);
    // Runs the command; false when no target handles it (or it is disabled).
    bool Execute(unsigned id);
    // The command's state; a command nobody handles is disabled.
    CmdUI State(unsigned id);
    // Brings every bound action up to date (the frame's idle update).
    void UpdateAll();
    // Gives the window its accelerator table. A key asks its command's state when it
    // is pressed, not at the last idle update, so a key pressed at once after its
    // command became enabled (a paste straight after a copy, a save straight after
    // typing) is not lost; after each key, updated brings the window up to date.
    void AddAccelerators(QWidget* window, const std::vector<Accelerator>& keys, const std::function<void()>& updated);

private:
    CmdTarget* root_;
    std::vector<QPointer<QAction>> actions_;
};

// The clipboard and undo keys of every desktop program, on the edit commands' ids:
// copy, paste, cut, select all and undo, with their older alternatives (Ctrl+Insert,
// Shift+Insert, Shift+Delete, Alt+Backspace).
std::vector<Accelerator> EditAccelerators();

// The id an action carries (0 for none).
unsigned CommandIdOf(const QAction* action);
