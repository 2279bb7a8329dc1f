#pragma once
// The designer started in-process on the core and plug-in of this build, in a scratch
// home with a scripted prompter, and sample templates made through the core.

#include "CDoxDesigner.h"
#include "ModuleLoader.h"
#include "Prompter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDesignPage;
class CMainFrame;
class IDoxCore;
class QAction;
class QWidget;

namespace designertest
{

// The template XML stored in a ".dxt" file (empty when the file cannot be read).
std::string TemplateXmlOfFile(const std::wstring& path);
// The "x" of each control's base attributes, in file order.
std::vector<int> ControlLefts(const std::string& xml);
// The kind ("editcontrol", ...) of each control, in file order.
std::vector<std::string> ControlKinds(const std::string& xml);

class DesignerTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::wstring Path(const char* name) const;
    // A template with the named pages (A4 landscape-ish, 210 x 148 mm), saved.
    std::wstring MakeTemplate(const char* name, const std::vector<std::wstring>& pages);

    // Starts the designer with the arguments; false when InitInstance failed.
    bool Start(const QStringList& arguments = {}, const std::wstring& appDirectory = {});
    CMainFrame* Frame() const;
    CDesignPage* DesignPage() const;

    // The ribbon action of a command, brought up to date.
    QAction* Action(unsigned id);
    bool Enabled(unsigned id);
    // Triggers the command's ribbon action (nothing when it is disabled); then the idle
    // update and posted events run.
    void Trigger(unsigned id);
    static void Settle();

    // The canvas of the active tab's design window.
    QWidget* Canvas();
    // Chooses the tool and drags on the canvas.
    void Draw(unsigned toolCommand, QPoint from, QPoint to);
    QStringList TabLabels() const;

    // Saves a screenshot when DOX_SCREENSHOT_DIR is set (run under Xvfb to look at
    // it), else into the scratch folder; the picture.
    QImage Shot(QWidget* widget, const char* name);

    doxtest::TempDir dir_;
    std::optional<doxtest::ScopedEnv> home_;
    std::optional<doxtest::ScopedEnv> config_;
    std::optional<doxtest::ScopedEnv> data_;
    dox::platform::ScriptedPrompter prompter_;
    std::optional<dox::platform::ScopedPrompter> scoped_;
    DoxModuleRecord core_;
    std::unique_ptr<CDoxDesigner> app_;
};

} // namespace designertest
