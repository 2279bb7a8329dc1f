#pragma once
// Every message box and file dialog of the libraries and programs goes through one
// prompter, so that tests can script the answers instead of clicking real dialogs.
// The message box types and answers keep the Windows numbers the callers use.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <QString>

class QAbstractButton;
class QDialog;
class QWidget;

// Default visibility, so that a process has one prompter in force even when several of
// its libraries link this one: the first definition loaded serves them all.
#define DOX_PROMPT_API __attribute__((visibility("default")))

namespace dox::platform {

// Message box types: buttons in the low nibble, icon in the next.
enum : unsigned {
    kMbOk = 0x00,
    kMbOkCancel = 0x01,
    kMbYesNoCancel = 0x03,
    kMbYesNo = 0x04,
    kMbIconError = 0x10,
    kMbIconQuestion = 0x20,
    kMbIconWarning = 0x30,
    kMbIconInformation = 0x40,
};

// Answers.
enum : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

struct FileDialogRequest {
    bool save = false;              // save mode: the target may be overwritten
    std::wstring title;
    std::wstring filter;            // "dox template|*.dxt||" form
    std::wstring defaultSuffix;     // without the dot, e.g. L"dxt"
    std::wstring initialPath;       // folder or file name to start from
    bool multiple = false;          // open several files
    bool mustExist = true;          // open mode: only an existing file may be chosen
    std::wstring okText;            // text of the accept button; empty: the dialog's own
    int filterIndex = 0;            // 1-based filter shown first; 0: the first
};

class DOX_PROMPT_API Prompter {
public:
    virtual ~Prompter() = default;
    // Shows text with the caption; returns the button pressed (kIdOk, ...).
    virtual int MessageBox(QWidget* parent, const std::wstring& text,
                           const std::wstring& caption, unsigned type) = 0;
    // Asks for one file (or several with multiple); false when cancelled.
    virtual bool FileDialog(QWidget* parent, const FileDialogRequest& request,
                            std::vector<std::wstring>* chosen) = 0;
    // Asks for a folder; false when cancelled.
    virtual bool FolderDialog(QWidget* parent, const std::wstring& title,
                              const std::wstring& initialPath, std::wstring* chosen) = 0;
};

// The prompter in force: the one installed last, else real Qt dialogs.
DOX_PROMPT_API Prompter& CurrentPrompter();

// Installs a prompter for its lifetime (tests), restoring the previous one after.
class DOX_PROMPT_API ScopedPrompter {
public:
    explicit ScopedPrompter(Prompter* prompter);
    ~ScopedPrompter();
    ScopedPrompter(const ScopedPrompter&) = delete;
    ScopedPrompter& operator=(const ScopedPrompter&) = delete;

private:
    Prompter* previous_;
};

// Answers from a queue and records every question; an unexpected question (empty
// queue) answers kIdCancel / cancelled and is recorded as well.
class DOX_PROMPT_API ScriptedPrompter : public Prompter {
public:
    struct Message {
        std::wstring text;
        std::wstring caption;
        unsigned type = 0;
    };
    std::deque<int> answers;                          // for MessageBox
    std::deque<std::vector<std::wstring>> files;      // for FileDialog (empty = cancel)
    std::deque<std::wstring> folders;                 // for FolderDialog (empty = cancel)
    std::vector<Message> messages;                    // what was shown
    std::vector<FileDialogRequest> fileRequests;
    std::function<void(const Message&)> onMessage;    // optional hook, called first

    int MessageBox(QWidget* parent, const std::wstring& text, const std::wstring& caption,
                   unsigned type) override;
    bool FileDialog(QWidget* parent, const FileDialogRequest& request,
                    std::vector<std::wstring>* chosen) override;
    bool FolderDialog(QWidget* parent, const std::wstring& title,
                      const std::wstring& initialPath, std::wstring* chosen) override;
};

// The caption of an answer's button (kIdYes, kIdNo, kIdCancel, kIdOk), with the
// mnemonic a clerk types: 是(&Y), 否(&N), 取消, 确定.
DOX_PROMPT_API QString AnswerCaption(int answer);

// Lets a question be answered from the keyboard as a message box is: the mnemonic
// letter of a button, typed alone, presses it, and Esc presses the cancelling answer
// (null: Esc is the dialog's own). For every message box and every question dialog.
DOX_PROMPT_API void AnswerFromKeyboard(QDialog* dialog, QAbstractButton* cancelling);

// Turns "desc|*.a;*.b|desc2|*.c||" into Qt's "desc (*.a *.b);;desc2 (*.c)".
DOX_PROMPT_API std::wstring QtFilterFromWindows(const std::wstring& filter);

} // namespace dox::platform
