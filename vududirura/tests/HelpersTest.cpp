#include "CDevMode.h"
#include "CMmEdit.h"
#include "TiXmlW.h"
#include "SystemError.h"
#include "UIUitl.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QString>

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace
{

std::wstring W(const fs::path& p) { return QString::fromStdString(p.string()).toStdWString(); }

TEST(Helpers, TemplateFilesAreRecognisedByNameAndHeader)
{
    doxtest::TempDir dir;
    const std::string header = std::string("DOXDOT!\x01", 8) + std::string(12, '\0');
    struct Case {
        const char* name;
        std::string bytes; // empty: make a folder of that name
        bool accepted;
    };
    const Case cases[] = {
        {"a.dxt", header, true},
        {"票据.DXT", header + "more", true},
        {"b.dxt", "DOXDOT?" + header.substr(7), false}, // another magic
        {"c.dxt", header.substr(0, 19), false},          // shorter than a header
        {"d.dxb", header, false},
        {"e.dxt.bak", header, false},
        {"folder.dxt", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir.path() / c.name;
        if (c.bytes.empty())
            fs::create_directory(path);
        else
            ASSERT_TRUE(doxtest::WriteFileBytes(path, c.bytes));
        EXPECT_EQ(UIUitl::CheckTemplateFile(W(path)), c.accepted);
    }
    EXPECT_FALSE(UIUitl::CheckTemplateFile(W(dir.path() / "missing.dxt")));
    EXPECT_TRUE(UIUitl::CheckFileExist(W(dir.path() / "folder.dxt")));
    EXPECT_FALSE(UIUitl::CheckFileExist(W(dir.path() / "missing.dxt")));
}

TEST(Helpers, CreateDirectoryReportsTheSystemReason)
{
    doxtest::TempDir dir;
    EXPECT_TRUE(UIUitl::CreateDirectoryW(W(dir.path() / "分类")));
    EXPECT_TRUE(fs::is_directory(dir.path() / "分类"));
    // The system's own text of the number, in whatever language it speaks.
    EXPECT_FALSE(UIUitl::CreateDirectoryW(W(dir.path() / "分类")));
    EXPECT_EQ(UIUitl::GetLastErrorInfo(), plat::SystemErrorText(EEXIST));
    EXPECT_FALSE(UIUitl::CreateDirectoryW(W(dir.path() / "no" / "deeper")));
    EXPECT_EQ(UIUitl::GetLastErrorInfo(), plat::SystemErrorText(ENOENT));
}

TEST(Helpers, EachFailureTellsItsOwnReason)
{
    // Each failure follows an earlier one with another reason, which must not show.
    doxtest::TempDir dir;
    const std::wstring folder = W(dir.path() / "分类");
    ASSERT_TRUE(UIUitl::CreateDirectoryW(folder));
    const std::wstring missing = W(dir.path() / "无此模板.dxt");
    auto folderAgain = [&] { return UIUitl::CreateDirectoryW(folder); };
    auto deleteMissing = [&] { return UIUitl::DeleteFileW(missing); };
    struct Case {
        const char* name;
        std::function<bool()> earlier, fails;
        int reason; // the system's error number, whose text must show
    };
    const Case cases[] = {
        {"removing a missing file", folderAgain, deleteMissing, ENOENT},
        {"a system call after a helper", folderAgain, [&] { return ::rmdir(dir.path().c_str()) == 0; }, ENOTEMPTY},
        {"a folder that exists", deleteMissing, folderAgain, EEXIST},
        {"removing a folder as a file", folderAgain, [&] { return UIUitl::DeleteFileW(folder); }, EISDIR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(c.earlier());
        EXPECT_FALSE(c.fails());
        EXPECT_EQ(UIUitl::GetLastErrorInfo(), plat::SystemErrorText(c.reason));
    }
    ASSERT_TRUE(doxtest::WriteFileBytes(dir.path() / "模板.dxt", "DOXDOT!"));
    EXPECT_TRUE(UIUitl::DeleteFileW(W(dir.path() / "模板.dxt")));
    EXPECT_FALSE(fs::exists(dir.path() / "模板.dxt"));
}

TEST(Helpers, FileNamesSplit)
{
    struct Case {
        std::wstring path, folder, name, title;
        bool ok;
    };
    const Case cases[] = {
        {L"/a/b/模板.dxt", L"/a/b/", L"模板.dxt", L"模板", true},
        {L"C:\\t\\x.y.dxt", L"C:\\t\\", L"x.y.dxt", L"x.y", true},
        {L"name", L"", L"name", L"name", true},
        {L"/a/.hidden", L"/a/", L".hidden", L".hidden", true},
        {L"/a/b/", L"", L"", L"", false},
    };
    for (const Case& c : cases) {
        std::wstring folder, name;
        EXPECT_EQ(UIUitl::SpliteFileName(c.path, &folder, &name), c.ok);
        if (c.ok) {
            EXPECT_EQ(folder, c.folder);
            EXPECT_EQ(name, c.name);
        }
        EXPECT_EQ(UIUitl::SpliteFileTitle(c.path), c.title);
    }
    const UISHFileOpString list(L"/a/分类");
    EXPECT_EQ(std::wstring(list.Get(), 7), std::wstring(L"/a/分类\0\0", 7));
    EXPECT_EQ(list.Get()[5], L'\0');
    EXPECT_EQ(list.Get()[6], L'\0');
}

TEST(Helpers, VersionOfTheProgramAndOfOtherModules)
{
    QCoreApplication::setApplicationVersion(QStringLiteral("3.2.1.0"));
    EXPECT_EQ(UIUitl::GetFileVersion(QCoreApplication::applicationFilePath().toStdWString()), L"3.2.1.0");
    EXPECT_EQ(UIUitl::GetFileVersion(L"/usr/lib/other.so"), L"1.0.0.1");
    QCoreApplication::setApplicationVersion(QString());
    EXPECT_EQ(UIUitl::GetFileVersion(QCoreApplication::applicationFilePath().toStdWString()), L"1.0.0.1");
}

TEST(Helpers, MillimetreEditTypesTenthsAndKeepsTheRange)
{
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"210", true, 2100}, {"210.5", true, 2105}, {"0.1", true, 1},  {"-12.5", true, -125},
        {"-0.5", true, -5},  {"3.", true, 30},      {"", false, 0},    {"1.25", false, 0},
        {"abc", false, 0},   {".5", false, 0},      {"1,5", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        int value = 0;
        EXPECT_EQ(CMmEdit::ParseMm(QString::fromUtf8(c.text), &value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
    for (int v : {0, 5, 2100, -125, -5, 9999}) {
        int back = 1;
        EXPECT_TRUE(CMmEdit::ParseMm(CMmEdit::FormatMm(v), &back));
        EXPECT_EQ(back, v);
    }
    EXPECT_EQ(CMmEdit::FormatMm(-5), QStringLiteral("-0.5"));
    EXPECT_EQ(CMmEdit::FormatMm(2105), QStringLiteral("210.5"));

    CMmEdit edit;
    edit.SetRange(-999, 999);
    edit.SetValue(-125);
    EXPECT_EQ(edit.text(), QStringLiteral("-12.5"));
    EXPECT_EQ(edit.GetValue(), -125);
    edit.setText(QStringLiteral("150"));
    EXPECT_EQ(edit.GetValue(), 999); // beyond the range
    edit.SetValue(5000);
    EXPECT_EQ(edit.text(), QStringLiteral("99.9"));
    edit.clear();
    EXPECT_EQ(edit.GetValue(), -999);
}

TEST(Helpers, XmlWrappersCarryWideTextsAndNumbers)
{
    TiXmlDocumentW doc;
    ASSERT_TRUE(doc.AddDeclaration());
    TiXmlElementP root = doc.InsertEndChild("page_setup");
    root.InsertEndChild("Orientation").SetAttribute("value", 2);
    root.InsertEndChild("LeftOffset").SetAttribute("value", -35);
    root.InsertEndChild("Name").SetAttribute("value", std::wstring(L"转账支票 <&\"'>"));
    const std::string text = doc.Print();
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);

    TiXmlDocumentW back;
    ASSERT_TRUE(back.Parse(text.c_str(), static_cast<long>(text.size())));
    TiXmlElementP r = back.RootElement();
    EXPECT_EQ(r.Value(), "page_setup");
    int orientation = 0, left = 0, missing = 77;
    std::wstring name;
    EXPECT_TRUE(r.FirstChildElement("Orientation").Attribute("value", &orientation));
    EXPECT_TRUE(r.FirstChildElement("LeftOffset").Attribute("value", &left));
    EXPECT_TRUE(r.FirstChildElement("Name").Attribute("value", &name));
    EXPECT_FALSE(r.FirstChildElement("PaperSize").Attribute("value", &missing));
    EXPECT_FALSE(r.FirstChildElement("Name").Attribute("value", &missing)); // not a number
    EXPECT_EQ(orientation, 2);
    EXPECT_EQ(left, -35);
    EXPECT_EQ(name, L"转账支票 <&\"'>");
    EXPECT_EQ(missing, 77);
    EXPECT_FALSE(back.Parse("<page_setup><a></page_setup>"));
    EXPECT_FALSE(back.Parse(nullptr));
}

TEST(Helpers, DevModeBufferHoldsTheDriverBytesToo)
{
    CDevMode holder;
    EXPECT_EQ(holder.Create(sizeof(DEVMODEW) - 1), nullptr);
    EXPECT_EQ(holder.Create(1u << 20), nullptr);
    DEVMODEW* dm = holder.Create(sizeof(DEVMODEW) + 40);
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->dmSize, sizeof(DEVMODEW));
    EXPECT_EQ(dm->dmDriverExtra, 40);
    EXPECT_EQ(dm->dmPaperSize, DMPAPER_A4);
    EXPECT_EQ(holder.Get(), dm);
    EXPECT_EQ(holder.Size(), sizeof(DEVMODEW) + 40);
    holder.Free();
    EXPECT_EQ(holder.Get(), nullptr);
}

} // namespace
