#include "PaneFixture.h"
#include "PathText.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <dlfcn.h>

namespace panetest
{

IDoxCore* CreateCore()
{
    static void* library = dlopen((doxtest::BinDir() / "libDoxCore.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    using Create = IDoxCore* (*)(int, intptr_t);
    auto create = reinterpret_cast<Create>(dlsym(library, "CreateModule"));
    return create ? create(500, 0) : nullptr;
}

void CoreTest::SetUp()
{
    home.emplace("HOME", dir.path().string());
    config.emplace("XDG_CONFIG_HOME", (dir / ".config").string());
    QDir().mkpath(QString::fromStdString((dir / "Documents").string()));
    scope.emplace(&prompter);
    core = CreateCore();
    ASSERT_NE(core, nullptr);
    document = core->CreateTemplate(Path("t.dxt").c_str(), L"凭证", 2100, 1480);
    ASSERT_NE(document, nullptr) << core->GetLastErrorText();
    page = document->GetPage(0);
}

void CoreTest::TearDown()
{
    if (window)
        window->Release();
    if (document)
        document->Release();
    if (core)
        core->Release();
    scope.reset();
}

IDoxDesignWindow* CoreTest::OpenDesign(QSize size)
{
    const QRect rect(0, 0, size.width(), size.height());
    window = core->CreateDesignWindow(page, 0x10000000, &rect, nullptr, 1);
    EXPECT_NE(window, nullptr) << core->GetLastErrorText();
    if (!window)
        return nullptr;
    window->SetDesignSink(&sink);
    QWidget* outer = window->GetHwnd();
    outer->show();
    outer->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(outer));
    return window;
}

QWidget* CoreTest::Canvas() const
{
    QWidget* outer = window->GetHwnd();
    QWidget* hit = outer->childAt(QPoint(200, 200));
    return hit ? hit : outer;
}

void CoreTest::Draw(int tool, QPoint from, QPoint to)
{
    QWidget* canvas = Canvas();
    window->SetTool(tool);
    QTest::mousePress(canvas, Qt::LeftButton, {}, from);
    QTest::mouseMove(canvas, (from + to) / 2);
    QTest::mouseMove(canvas, to);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
}

IDoxAttrib* CoreTest::Find(IDoxAttribSet* set, const wchar_t* caption)
{
    if (!set)
        return nullptr;
    for (int32_t i = 0; i < set->GetCount(); ++i) {
        IDoxAttrib* a = set->GetAt(i);
        if (!a)
            continue;
        if (std::wstring(a->GetCaption()) == caption)
            return a;
        for (int32_t j = 0; j < a->GetChildCount(); ++j)
            if (IDoxAttrib* c = a->GetChild(j); c && std::wstring(c->GetCaption()) == caption)
                return c;
    }
    return nullptr;
}

std::vector<std::wstring> CoreTest::Messages() const
{
    std::vector<std::wstring> texts;
    for (const auto& m : prompter.messages)
        texts.push_back(m.text);
    return texts;
}

void CoreTest::WhenActive(std::function<void(QWidget*)> fn)
{
    QTimer::singleShot(0, [fn] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w)
            w = QApplication::focusWidget();
        fn(w);
    });
}

QString ShotPath(const doxtest::TempDir& dir, const char* name)
{
    const QByteArray folder = qgetenv("DOX_SCREENSHOT_DIR");
    const QString base = folder.isEmpty() ? QString::fromStdString(dir.path().string()) : QString::fromUtf8(folder);
    return base + "/" + QString::fromUtf8(name);
}

std::wstring WritePicture(const doxtest::TempDir& dir, const char* name, QSize pixels, int dpi)
{
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(Qt::darkBlue, 4));
    p.drawRect(image.rect().adjusted(4, 4, -4, -4));
    p.end();
    const int dpm = static_cast<int>(dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    const std::filesystem::path file = dir / name;
    image.save(QString::fromStdString(file.string()));
    return plat::WideOfPath(file);
}

} // namespace panetest
