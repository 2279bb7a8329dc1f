#pragma once
// The designer's panes tried on a real core: the core library of this build loaded the
// way the program loads it, a template in a scratch folder, a design window over its
// first page, controls drawn with QTest drags, and message boxes scripted.

#include "IDoxAttrib.h"
#include "PathText.h"
#include "IDoxCore.h"
#include "IDoxDesignWindow.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "Prompter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace panetest
{

// A new core object of libDoxCore.so from the build's bin folder; null when missing.
IDoxCore* CreateCore();

// The last attribute set the design window handed over.
class SelectionSink : public IDoxDesignWindowSink
{
public:
    void OnSelectionChanged(IDoxAttribSet* attributes) override { last = attributes; }
    void OnModified() override { ++modified; }
    IDoxAttribSet* last = nullptr;
    int modified = 0;
};

class CoreTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::wstring Path(const char* name) const { return plat::WideOfPath(dir / name); }
    // A design window over the first page, shown (its canvas has the focus).
    IDoxDesignWindow* OpenDesign(QSize size = QSize(800, 600));
    // The canvas of the design window (where the controls are drawn).
    QWidget* Canvas() const;
    // Draws a control of the kind (0-7) by dragging on the canvas, which selects it.
    void Draw(int tool, QPoint from, QPoint to);
    // The attribute of the set with this caption, searching groups too; null if none.
    static IDoxAttrib* Find(IDoxAttribSet* set, const wchar_t* caption);
    std::vector<std::wstring> Messages() const;

    // Runs fn on the modal dialog or editor that opens next, from the event loop.
    static void WhenActive(std::function<void(QWidget*)> fn);

    doxtest::TempDir dir;
    std::optional<doxtest::ScopedEnv> home;
    std::optional<doxtest::ScopedEnv> config;
    dox::platform::ScriptedPrompter prompter;
    std::optional<dox::platform::ScopedPrompter> scope;
    IDoxCore* core = nullptr;
    IDoxDocument* document = nullptr;
    IDoxPage* page = nullptr;
    IDoxDesignWindow* window = nullptr;
    SelectionSink sink;
};

// Where screenshots go: DOX_SCREENSHOT_DIR when set, else the scratch folder.
QString ShotPath(const doxtest::TempDir& dir, const char* name);

// A picture file of the size in pixels at the resolution (dots per inch).
std::wstring WritePicture(const doxtest::TempDir& dir, const char* name, QSize pixels, int dpi);

} // namespace panetest
