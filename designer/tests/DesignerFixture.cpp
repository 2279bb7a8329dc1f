#include "DesignerFixture.h"

#include "CDesignPage.h"
#include "CDesignView.h"
#include "CMainFrame.h"
#include "DesignerExtensions.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "PathText.h"
#include "Ribbon.h"
#include "UITabs.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <cstring>

namespace designertest
{

namespace
{

uint32_t U32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

} // namespace

std::string TemplateXmlOfFile(const std::wstring& path)
{
    const std::string bytes = doxtest::ReadFileBytes(plat::PathFromWide(path));
    if (bytes.size() < 20 || bytes.compare(0, 7, "DOXDOT!") != 0) return {};
    const uint32_t count = U32(bytes, 8);
    size_t at = U32(bytes, 12);
    for (uint32_t i = 0; i < count && at + 13 <= bytes.size(); ++i) {
        const uint32_t offset = U32(bytes, at);
        const uint32_t size = U32(bytes, at + 4);
        const size_t length = static_cast<uint8_t>(bytes[at + 12]);
        const std::string name = bytes.substr(at + 13, length >= 2 ? length - 2 : 0);
        at += 13 + length;
        if (name == "doc_dxtemplate" && offset + size <= bytes.size()) {
            std::string xml = bytes.substr(offset, size);
            while (!xml.empty() && xml.back() == '\0') xml.pop_back();
            return xml;
        }
    }
    return {};
}

std::vector<int> ControlLefts(const std::string& xml)
{
    std::vector<int> lefts;
    const QString text = QString::fromStdString(xml);
    const QRegularExpression control(QStringLiteral("<dox:control[^>]*>.*?<dox:attribitem id=\"x\" value=\"(-?\\d+)\""),
                                     QRegularExpression::DotMatchesEverythingOption);
    for (auto it = control.globalMatch(text); it.hasNext();) lefts.push_back(it.next().captured(1).toInt());
    return lefts;
}

std::vector<std::string> ControlKinds(const std::string& xml)
{
    std::vector<std::string> kinds;
    const QRegularExpression control(QStringLiteral("<dox:control id=\"(\\w+)\""));
    for (auto it = control.globalMatch(QString::fromStdString(xml)); it.hasNext();)
        kinds.push_back(it.next().captured(1).toStdString());
    return kinds;
}

std::wstring DesignerTest::Path(const char* name) const { return plat::WideOfPath(dir_ / name); }

void DesignerTest::SetUp()
{
    home_.emplace("HOME", dir_.path().string());
    config_.emplace("XDG_CONFIG_HOME", (dir_ / ".config").string());
    data_.emplace("XDG_DATA_HOME", (dir_ / ".local").string());
    QApplication::setApplicationName(QStringLiteral("DoxDesigner"));
    scoped_.emplace(&prompter_);
    ASSERT_TRUE(LoadCoreModule(core_, L"DoxCore.DLL", plat::WideOfPath(doxtest::BinDir())));
}

void DesignerTest::TearDown()
{
    if (app_) {
        if (Frame()) Frame()->hide();
        app_->ExitInstance();
    }
    app_.reset();
    Extensions() = DesignerExtensions{};
    UnloadModule(core_);
    scoped_.reset();
}

std::wstring DesignerTest::MakeTemplate(const char* name, const std::vector<std::wstring>& pages)
{
    auto* core = static_cast<IDoxCore*>(core_.object);
    const std::wstring path = Path(name);
    IDoxDocument* document = core->CreateTemplate(path.c_str(), pages.front().c_str(), 2100, 1480);
    EXPECT_NE(document, nullptr) << QString::fromWCharArray(core->GetLastErrorText()).toStdString();
    if (!document) return path;
    for (size_t i = 1; i < pages.size(); ++i) EXPECT_NE(document->AddPage(pages[i].c_str(), 2100, 1480), nullptr);
    EXPECT_EQ(document->Save(), 1);
    document->Release();
    return path;
}

bool DesignerTest::Start(const QStringList& arguments, const std::wstring& appDirectory)
{
    app_ = std::make_unique<CDoxDesigner>(appDirectory.empty() ? plat::WideOfPath(doxtest::BinDir()) : appDirectory);
    app_->SetCommandLine(arguments);
    if (!app_->InitInstance()) return false;
    // The offscreen screen is small: a normal window of a working size.
    Frame()->showNormal();
    Frame()->resize(1400, 900);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Frame()));
    Settle();
    return true;
}

CMainFrame* DesignerTest::Frame() const { return app_ ? app_->MainFrame() : nullptr; }
CDesignPage* DesignerTest::DesignPage() const { return Frame() ? Frame()->DesignPage() : nullptr; }

void DesignerTest::Settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

QAction* DesignerTest::Action(unsigned id)
{
    Frame()->IdleUpdate();
    const std::vector<QAction*> actions = Frame()->RibbonBar()->ActionsFor(id);
    return actions.empty() ? nullptr : actions.front();
}

bool DesignerTest::Enabled(unsigned id)
{
    QAction* action = Action(id);
    return action && action->isEnabled();
}

void DesignerTest::Trigger(unsigned id)
{
    QAction* action = Action(id);
    ASSERT_NE(action, nullptr) << id;
    action->trigger();
    Settle();
    Frame()->IdleUpdate();
}

QWidget* DesignerTest::Canvas()
{
    CDesignView* view = DesignPage()->ActiveView();
    if (!view || !view->Window()) return nullptr;
    QWidget* outer = view->Window()->GetHwnd();
    return outer->childAt(outer->width() / 2, outer->height() / 2);
}

void DesignerTest::Draw(unsigned toolCommand, QPoint from, QPoint to)
{
    Trigger(toolCommand);
    QWidget* canvas = Canvas();
    ASSERT_NE(canvas, nullptr);
    QTest::mousePress(canvas, Qt::LeftButton, {}, from);
    QTest::mouseMove(canvas, (from + to) / 2);
    QTest::mouseMove(canvas, to);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
    Settle();
}

QStringList DesignerTest::TabLabels() const
{
    QStringList labels;
    UITabClient* tabs = DesignPage()->Tabs();
    for (int i = 0; i < tabs->count(); ++i) labels << tabs->tabText(i);
    return labels;
}

QImage DesignerTest::Shot(QWidget* widget, const char* name)
{
    const QByteArray folder = qgetenv("DOX_SCREENSHOT_DIR");
    const QString base = folder.isEmpty() ? QString::fromStdString(dir_.path().string()) : QString::fromUtf8(folder);
    QDir().mkpath(base);
    const QImage image = widget->grab().toImage();
    image.save(base + QLatin1Char('/') + QString::fromUtf8(name));
    return image;
}

} // namespace designertest
