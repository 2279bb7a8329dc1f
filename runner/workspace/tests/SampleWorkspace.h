#pragma once
// A sample template in a scratch data folder and a workspace over it, with a host that
// records what the workspace asks of the program.

#include "TestSupport.h"
#include "Workspace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "GdiTypes.h"

class CMainClient;
class IDoxPage;
class IDoxPageWindow;

namespace wstest
{

struct SampleField {
    std::wstring name;
    std::wstring type; // "文本", "数值", "日期"
    RECT rect;         // 0.1 mm, y up from the page's top (negative downwards)
};

struct SamplePage {
    std::wstring name;
    int width = 2100;
    int height = 990;
    std::vector<SampleField> fields;
};

// Writes a template with the pages; false when the core refuses.
bool WriteSampleTemplate(IDoxCore* core, const std::wstring& path, const std::vector<SamplePage>& pages);

class RecordingHost : public IWorkspaceHost
{
public:
    RecordingHost(IDoxCore* core, std::wstring dataDirectory) : core_(core), data_(std::move(dataDirectory)) {}
    IDoxCore* Core() override { return core_; }
    IDoxPlusIn* PlusIn() override { return plusIn; }
    std::wstring DataDirectory() override { return data_; }
    std::wstring DefaultPrinter() override { return printer; }
    void SetDefaultPrinter(const std::wstring& p) override { printer = p; }
    void ShowHomePage() override { ++homePages; }
    void SetDocumentTitle(const std::wstring& fileName) override { title = fileName; }
    void AddRecentFile(const std::wstring& path) override { recent.push_back(path); }

    IDoxPlusIn* plusIn = nullptr;
    std::wstring printer = L"PDF";
    int homePages = 0;
    std::wstring title;
    std::vector<std::wstring> recent;

private:
    IDoxCore* core_;
    std::wstring data_;
};

// A workspace over a core of its own, in a scratch home in the test's folder, with a
// host that records what it asks of the program.
class WorkspaceFixture : public ::testing::Test
{
protected:
    // Makes the core, the host, the search pane (paneWidth wide; 0: its own size) and
    // the workspace of width x height, shown.
    void MakeWorkspace(int width, int height, int paneWidth);
    void TearDown() override;

    CMainClient* Client() { return workspace_->Client(); }
    IDoxPage* Page();
    IDoxPageWindow* Window();
    // The text a field of the shown bill has (its formatted value; empty for none).
    std::wstring FieldText(const wchar_t* field, int row = 0);
    // Gives the page the keyboard in the active workspace and opens the editor of the
    // field it starts on (Enter); *client is the page's widget that takes the keys.
    void BeginTyping(QWidget** client);

    doxtest::TempDir dir_;
    std::optional<doxtest::ScratchHome> home_;
    IDoxCore* core_ = nullptr;
    std::unique_ptr<RecordingHost> host_;
    std::unique_ptr<CSearchPane> pane_;
    std::unique_ptr<CMainPageWnd> workspace_;
};

// The widget of the fill-in window that takes the keys (the page).
QWidget* PageClient(IDoxPageWindow* window);

// Runs `step` on the next modal dialog that opens (checked every 20 ms for 10 s);
// tells whether one opened.
class OnNextDialog
{
public:
    explicit OnNextDialog(std::function<void(QWidget*)> step);
    ~OnNextDialog();
    bool Opened() const { return opened_; }

private:
    std::function<void(QWidget*)> step_;
    bool opened_ = false;
    class QTimer* timer_;
    int ticks_ = 0;
};

// Clicks the dialog's button with that id (its object name); false when it has none.
bool ClickButton(QWidget* dialog, int id);

} // namespace wstest
