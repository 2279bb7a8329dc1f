// Documents, pages, layers and the template XML, in process: what a template
// keeps through save and open, the texts of refused edits, and damaged input.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <tinyxml2.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ByteStream.h"
#include "DamageSupport.h"
#include "DocElement.h"
#include "DocTemplate.h"
#include "DoxControl.h"
#include "DoxControlKinds.h"
#include "DoxDocPictures.h"
#include "DoxDocument.h"
#include "DoxLabelControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxPageRunner.h"
#include "DoxTemplateXml.h"
#include "IDoxImageData.h"
#include "IDoxValue.h"
#include "ModuleError.h"
#include "SqlConnectionPool.h"
#include "TestSupport.h"

namespace
{

std::wstring PathOf(const doxtest::TempDir& dir, const std::string& name)
{
    return (dir / name).wstring();
}

QByteArray PictureBytes(const char* format, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

DoxDocument* Doc(IDoxDocument* document)
{
    return static_cast<DoxDocument*>(document);
}

DoxPage* PageOf(IDoxDocument* document, int index)
{
    return static_cast<DoxPage*>(document->GetPage(index));
}

std::wstring LastError()
{
    return GetModuleErrorText();
}

// Writes a template file whose "doc_dxtemplate" holds exactly the given bytes.
void WriteTemplateFile(const std::wstring& path, const std::string& xml)
{
    DocTemplate store;
    ASSERT_TRUE(store.Open(path.c_str(), kDocOpenCreate));
    DocElement* element = store.GetElement(L"doc_dxtemplate");
    ASSERT_NE(element, nullptr);
    ASSERT_TRUE(element->SetData(xml.data(), static_cast<uint32_t>(xml.size())));
    ASSERT_TRUE(store.Save());
}

std::string StoredXml(DocContainer* store)
{
    DocElement* element = store->GetElement(L"doc_dxtemplate");
    const uint8_t* data = element->GetData();
    return std::string(reinterpret_cast<const char*>(data), element->GetSize());
}

class DocTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        RegisterControlKinds();
        SqlConnectionPool::Init();
    }
    static void TearDownTestSuite() { SqlConnectionPool::Shutdown(); }
    void SetUp() override { ClearModuleError(); }
    doxtest::TempDir dir_;
};

} // namespace

TEST_F(DocTest, NewTemplateAndPageEditsWithTheirTexts)
{
    IDoxDocument* document = DocCreateTemplate(PathOf(dir_, "a.dxt").c_str(), L"封面", 2100, 2970);
    ASSERT_NE(document, nullptr);
    const std::wstring id = Doc(document)->GetId();
    ASSERT_EQ(id.size(), 11u);
    EXPECT_EQ(id.compare(0, 3, L"dxt"), 0);
    EXPECT_EQ(PageOf(document, 0)->PageId(), id + L"_page0");
    EXPECT_EQ(Doc(document)->GetMaxPid(), 1);
    EXPECT_EQ(document->IsModified(), 1);

    struct Case {
        const wchar_t* name;
        int32_t cx, cy;
        std::wstring text;
    } refused[] = {
        {L"P", 399, 500, L"页面SIZE无效"},
        {L"P", 500, 6001, L"页面SIZE无效"},
        {L"", 500, 500, L"页面名不能为空。"},
        {nullptr, 500, 500, L"页面名不能为空。"},
        {L"a b", 500, 500, L"页面名中包含无效的字符"},
        {L"a-b", 500, 500, L"页面名中包含无效的字符"},
        {L"封面", 500, 500, L"\"封面\" 页面已经存在。"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(testing::Message() << c.cx << "x" << c.cy);
        EXPECT_EQ(document->AddPage(c.name, c.cx, c.cy), nullptr);
        EXPECT_EQ(LastError(), c.text);
        EXPECT_EQ(document->GetPageCount(), 1);
    }
    IDoxPage* second = document->AddPage(L"Page2", 6000, 400);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(LastError(), L"");
    EXPECT_EQ(static_cast<DoxPage*>(second)->PageId(), id + L"_page1");
    EXPECT_EQ(document->GetPageByName(L"PAGE2"), second);
    EXPECT_EQ(document->GetPage(2), nullptr);
    EXPECT_EQ(document->GetPage(-1), nullptr);
    EXPECT_EQ(document->AddPage(L"page2", 500, 500), nullptr); // names are Latin-case blind
    EXPECT_EQ(LastError(), L"\"page2\" 页面已经存在。");

    EXPECT_STREQ(document->MakeNewPageName(), L"新页面1");
    ASSERT_NE(document->AddPage(L"新页面3", 500, 500), nullptr);
    ASSERT_NE(document->AddPage(L"新页面12", 500, 500), nullptr);
    EXPECT_STREQ(document->MakeNewPageName(), L"新页面13");

    EXPECT_EQ(document->DeletePageByName(L"nope"), 0);
    EXPECT_EQ(LastError(), L"“nope” 页面不存在。");
    EXPECT_EQ(document->DeletePage(9), 0);
    EXPECT_EQ(document->DeletePageByName(L"新页面3"), 1);
    IDoxPage* next = document->AddPage(L"after", 500, 500);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(static_cast<DoxPage*>(next)->PageId(), id + L"_page4"); // numbers only grow

    // Page edits.
    DoxPage* page = PageOf(document, 0);
    struct Edit {
        int32_t x, y;
        int result;
        const wchar_t* text;
    } points[] = {{0, 1, 0, L"页面基点无效"},
                  {-1, 0, 0, L"页面基点无效"},
                  {6001, 0, 0, L"页面基点无效"},
                  {6000, -6000, 1, L""},
                  {100, -250, 1, L""}};
    for (const Edit& e : points) {
        ClearModuleError();
        EXPECT_EQ(page->SetBasePoint(e.x, e.y), e.result);
        EXPECT_EQ(LastError(), e.text);
    }
    POINT point{};
    EXPECT_EQ(page->GetBasePoint(&point), &point);
    EXPECT_EQ(point.x, 100);
    EXPECT_EQ(point.y, 250);
    EXPECT_EQ(page->SetSize(6001, 500), 0);
    EXPECT_EQ(LastError(), L"页面SIZE无效");
    EXPECT_EQ(page->SetName(L"Page2"), 0);
    EXPECT_EQ(LastError(), L"\"Page2\" 页面已经存在。");

    // One page cannot be deleted.
    IDoxDocument* single = DocCreateTemplate(PathOf(dir_, "b.dxt").c_str(), L"p", 500, 500);
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->DeletePage(0), 0);
    EXPECT_EQ(single->GetPageCount(), 1);
    single->Release();
    document->Release();
}

TEST_F(DocTest, LayersOfAPage)
{
    IDoxDocument* document = DocCreateTemplate(PathOf(dir_, "a.dxt").c_str(), L"p", 2100, 2970);
    ASSERT_NE(document, nullptr);
    DoxPage* page = PageOf(document, 0);
    ASSERT_EQ(page->GetLayerCount(), 1);
    EXPECT_EQ(page->GetLayer(0)->GetName(), L"默认层");
    EXPECT_EQ(page->GetLayer(0)->GetState(), 2);
    EXPECT_STREQ(page->MakeNewLayerName(), L"新建层1");
    EXPECT_EQ(page->RemoveLayer(0), 0);

    ASSERT_EQ(page->AddLayer(L"新建层2"), 1);
    EXPECT_EQ(page->AddLayer(L"新建层2"), 0);
    EXPECT_STREQ(page->MakeNewLayerName(), L"新建层3");
    ASSERT_EQ(page->AddLayer(L"c"), 1);
    EXPECT_EQ(page->GetCurrentLayer(), page->GetLayer(2));
    EXPECT_EQ(page->GetLayer(1)->GetState(), 1);

    EXPECT_EQ(page->RenameLayer(2, L"c"), 0);
    EXPECT_EQ(LastError(), L"\"c\" 层已经存在");
    EXPECT_EQ(page->RenameLayer(2, L"默认层"), 0);
    EXPECT_EQ(LastError(), L"\"默认层\" 层已经存在");

    page->ResetPasteOffset();
    EXPECT_EQ(page->GetLayer(2)->pasteX, 10);
    EXPECT_EQ(page->GetLayer(0)->pasteY, 0);

    // State changes of the current layer and of another.
    struct Step {
        int index, state, result;
        int current; // index of the current layer after, -1 for none
    } steps[] = {{2, 2, 0, 2}, {0, 0, 1, 2}, {0, 0, 0, 2}, {0, 2, 1, 0}, {0, 0, 1, -1}, {5, 1, 0, -1}};
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << s.index << "->" << s.state);
        EXPECT_EQ(page->SetLayerState(s.index, s.state), s.result);
        EXPECT_EQ(page->GetCurrentLayer(), s.current < 0 ? nullptr : page->GetLayer(s.current));
    }

    // The draw list holds a layer once, and never one that was removed.
    page->SetLayerState(2, 2);
    EXPECT_EQ(page->ViewLayer(1), 1);
    EXPECT_EQ(page->ViewLayer(1), 1);
    EXPECT_EQ(page->ViewLayerByName(L"c"), 1);
    EXPECT_EQ(page->ViewLayerByName(L"C"), 0);
    EXPECT_EQ(page->DrawList().size(), 2u);
    DoxLayer* keep = page->GetLayer(1);
    RECT rect{100, -100, 600, -300};
    ASSERT_NE(page->GetLayer(2)->CreateControl(DoxKindEdit, &rect), nullptr);
    EXPECT_EQ(page->RemoveLayer(2), 1);
    EXPECT_EQ(page->GetCurrentLayer(), keep);
    ASSERT_EQ(page->DrawList().size(), 1u);
    EXPECT_EQ(page->DrawList()[0], keep);
    EXPECT_EQ(page->GetRunControls().size(), 0u);
    document->Release();
}

TEST_F(DocTest, TemplateKeepsItsStructureThroughSaveAndOpen)
{
    const std::wstring path = PathOf(dir_, "t.dxt");
    IDoxDocument* document = DocCreateTemplate(path.c_str(), L"封面", 2100, 2970);
    ASSERT_NE(document, nullptr);
    ASSERT_NE(document->AddPage(L"Page2", 1000, 800), nullptr);
    DoxPage* first = PageOf(document, 0);
    ASSERT_EQ(first->AddLayer(L"票面"), 1);
    ASSERT_EQ(first->AddLayer(L"隐藏"), 1);
    ASSERT_EQ(first->SetLayerState(1, 2), 1);
    ASSERT_EQ(first->SetLayerState(2, 0), 1);
    first->GetLayer(1)->SetLock(1);
    RECT rect{100, -100, 600, -300};
    ASSERT_NE(first->GetLayer(1)->CreateControl(DoxKindEdit, &rect), nullptr);
    ASSERT_NE(first->GetLayer(1)->CreateControl(DoxKindEdit, &rect), nullptr);
    ASSERT_EQ(first->SetBasePoint(100, -250), 1);
    QByteArray png = PictureBytes("PNG", 40, 30);
    ASSERT_EQ(first->SetBackgroundImage(plat::ByteStream(png), L"底图.png"), 1);
    ASSERT_EQ(document->Save(), 1);
    EXPECT_EQ(document->IsModified(), 0);

    // The stored bytes: declaration, four-blank indent, the terminating NUL.
    const std::string xml = StoredXml(Doc(document)->OwnStore());
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<dox:template id=\"";
    EXPECT_EQ(xml.compare(0, head.size(), head), 0) << xml.substr(0, 80);
    ASSERT_FALSE(xml.empty());
    EXPECT_EQ(xml.back(), '\0');
    EXPECT_EQ(std::strlen(xml.c_str()) + 1, xml.size());
    EXPECT_NE(xml.find("\n    <dox:page "), std::string::npos);
    EXPECT_NE(xml.find("\n        <dox:datapage"), std::string::npos);
    EXPECT_NE(xml.find("\n            <dox:layer "), std::string::npos);

    // Elements and attributes in their order.
    tinyxml2::XMLDocument parsed;
    ASSERT_EQ(parsed.Parse(xml.c_str()), tinyxml2::XML_SUCCESS);
    auto names = [](const tinyxml2::XMLElement* e) {
        std::string out;
        for (const tinyxml2::XMLAttribute* a = e->FirstAttribute(); a; a = a->Next())
            out += std::string(a->Name()) + " ";
        return out;
    };
    auto children = [](const tinyxml2::XMLElement* e) {
        std::string out;
        for (const tinyxml2::XMLElement* c = e->FirstChildElement(); c; c = c->NextSiblingElement())
            out += std::string(c->Name()) + " ";
        return out;
    };
    const tinyxml2::XMLElement* root = parsed.RootElement();
    EXPECT_EQ(names(root), "id maxpid ");
    EXPECT_STREQ(root->Attribute("maxpid"), "2");
    EXPECT_EQ(children(root), "dox:page dox:page ");
    const tinyxml2::XMLElement* page = root->FirstChildElement();
    EXPECT_EQ(names(page), "id name cx cy bpx bpy bkpic_strecth bkpic ");
    EXPECT_STREQ(page->Attribute("bpy"), "-250");
    EXPECT_STREQ(page->Attribute("name"), "封面");
    EXPECT_EQ(children(page), "dox:datapage dox:manifest ");
    const tinyxml2::XMLElement* manifest = page->FirstChildElement("dox:manifest");
    EXPECT_EQ(children(manifest), "dox:layer dox:layer dox:layer ");
    const tinyxml2::XMLElement* layer = manifest->FirstChildElement()->NextSiblingElement();
    EXPECT_EQ(names(layer), "name lock state ");
    EXPECT_EQ(children(layer), "dox:control dox:control ");
    EXPECT_STREQ(layer->FirstChildElement()->Attribute("id"), "editcontrol");
    const std::wstring id = Doc(document)->GetId();
    document->Release();

    IDoxDocument* opened = DocOpenTemplate(path.c_str());
    ASSERT_NE(opened, nullptr) << LastError();
    EXPECT_EQ(Doc(opened)->GetId(), id);
    EXPECT_EQ(Doc(opened)->GetMaxPid(), 2);
    EXPECT_EQ(opened->IsModified(), 0);
    ASSERT_EQ(opened->GetPageCount(), 2);
    DoxPage* back = PageOf(opened, 0);
    EXPECT_STREQ(back->GetName(), L"封面");
    SIZE size{};
    back->GetSize(&size);
    EXPECT_EQ(size.cx, 2100);
    EXPECT_EQ(size.cy, 2970);
    POINT point{};
    back->GetBasePoint(&point);
    EXPECT_EQ(point.x, 100);
    EXPECT_EQ(point.y, 250);
    EXPECT_STREQ(back->GetBackgroundName(), L"底图.png");
    EXPECT_EQ(back->HasBackgroundImage(), 1);
    IDoxImageData* picture = back->GetBackgroundImage();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(picture->GetData()), picture->GetSize()), png);
    ASSERT_EQ(back->GetLayerCount(), 3);
    struct LayerCase {
        const wchar_t* name;
        int lock, state;
        size_t controls;
    } layers[] = {{L"默认层", 0, 1, 0}, {L"票面", 1, 2, 2}, {L"隐藏", 0, 0, 0}};
    for (int i = 0; i < 3; ++i) {
        DoxLayer* l = back->GetLayer(i);
        EXPECT_EQ(l->GetName(), layers[i].name);
        EXPECT_EQ(l->GetLock(), layers[i].lock);
        EXPECT_EQ(l->GetState(), layers[i].state);
        EXPECT_EQ(l->Controls().size(), layers[i].controls);
    }
    EXPECT_EQ(back->GetCurrentLayer(), back->GetLayer(1));
    EXPECT_EQ(PageOf(opened, 1)->GetLayerCount(), 1);
    EXPECT_EQ(opened->IsModified(), 0);

    // Save as a name that differs only in case is a new file on this system.
    const std::wstring other = PathOf(dir_, "T.dxt");
    ASSERT_EQ(opened->SaveAs(other.c_str()), 1);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "T.dxt"));
    EXPECT_TRUE(std::filesystem::exists(dir_ / "t.dxt"));
    opened->Release();
    IDoxDocument* copy = DocOpenTemplate(other.c_str());
    ASSERT_NE(copy, nullptr) << LastError();
    EXPECT_EQ(PageOf(copy, 0)->HasBackgroundImage(), 1);
    copy->Release();
}

TEST_F(DocTest, DeletingAPageRemovesOnlyItsOwnElements)
{
    const std::wstring path = PathOf(dir_, "t.dxt");
    IDoxDocument* document = DocCreateTemplate(path.c_str(), L"p0", 500, 500);
    ASSERT_NE(document, nullptr);
    for (int i = 1; i <= 10; ++i)
        ASSERT_NE(document->AddPage((L"p" + std::to_wstring(i)).c_str(), 500, 500), nullptr);
    DoxPage* one = PageOf(document, 1);
    DoxPage* ten = PageOf(document, 10);
    ASSERT_EQ(ten->PageId(), one->PageId() + L"0");
    QByteArray png = PictureBytes("PNG", 4, 4);
    for (DoxPage* p : {one, ten}) {
        ASSERT_EQ(p->SetBackgroundImage(plat::ByteStream(png), L"b.png"), 1);
        ASSERT_NE(p->GetUserElement(L"kqxfieldmap", 0), nullptr);
        ASSERT_EQ(static_cast<DocElement*>(p->GetUserElement(L"kqxfieldmap", 0))->SetData("x", 1), 1);
    }
    ASSERT_EQ(document->DeletePage(1), 1);
    EXPECT_EQ(ten->HasBackgroundImage(), 1);
    EXPECT_EQ(ten->HasUserElement(L"kqxfieldmap", 0), 1);
    EXPECT_EQ(Doc(document)->HasElement((L"doc_" + Doc(document)->GetId() + L"_page1_bkpic").c_str(), 0), 0);
    EXPECT_EQ(Doc(document)->HasElement((Doc(document)->GetId() + L"_page1kqxfieldmap").c_str(), 0), 0);
    document->Release();
}

TEST_F(DocTest, QueriesLeaveTheStoreAlone)
{
    const std::wstring path = PathOf(dir_, "t.dxt");
    IDoxDocument* document = DocCreateTemplate(path.c_str(), L"p", 500, 500);
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->Save(), 1);
    document->Release();
    {
        // A template from before saved templates carried an icon of their page.
        DocTemplate store;
        ASSERT_TRUE(store.Open(path.c_str(), kDocOpenReadWrite));
        ASSERT_TRUE(store.HasElement(L"doc_dxtemplate_icon"));
        store.GetElement(L"doc_dxtemplate_icon")->Remove();
        ASSERT_TRUE(store.Save());
    }
    IDoxDocument* opened = DocOpenTemplate(path.c_str());
    ASSERT_NE(opened, nullptr);
    DoxPage* page = PageOf(opened, 0);
    const int elements = Doc(opened)->OwnStore()->ElementCount();
    EXPECT_EQ(page->HasBackgroundImage(), 0);
    EXPECT_EQ(page->GetBackgroundImage(), nullptr);
    EXPECT_EQ(opened->GetIcon(), nullptr);
    EXPECT_EQ(page->HasUserElement(L"x", 0), 0);
    EXPECT_EQ(Doc(opened)->OwnStore()->ElementCount(), elements);
    EXPECT_EQ(opened->IsModified(), 0);
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(ReadTemplateIcon(path.c_str(), bytes));
    opened->Release();
}

TEST_F(DocTest, DamagedTemplateXml)
{
    const std::string prologue = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n";
    struct Case {
        const char* what;
        std::string xml;
        bool opens;
        std::wstring text; // checked when not empty
    } cases[] = {
        {"root without prefix", prologue + "<template id=\"dxt1\"/>", false, L"模板文档格式不正确!"},
        {"no page", prologue + "<dox:template id=\"dxt1\" maxpid=\"3\"/>", false, L"模板文档格式不正确!"},
        {"unknown control kind",
         prologue +
             "<dox:template id=\"dxt1\" maxpid=\"1\"><dox:page id=\"dxt1_page0\" name=\"a\" cx=\"500\" "
             "cy=\"500\"><dox:manifest><dox:layer name=\"x\" state=\"1\"><dox:control id=\"dox:nosuchkind\"/>"
             "</dox:layer></dox:manifest></dox:page></dox:template>",
         false, L"无法识别的控件类型: dox:nosuchkind"},
        {"field type out of range",
         prologue +
             "<dox:template id=\"dxt1\" maxpid=\"1\"><dox:page id=\"dxt1_page0\" name=\"a\" cx=\"500\" "
             "cy=\"500\"><dox:datapage><dox:datafield name=\"amount\" type=\"7\"/></dox:datapage>"
             "</dox:page></dox:template>",
         false, L"字段amount的类型7无效，模板文件可能已经损坏。"},
        {"not XML", "<dox:template <", false,
         L"Error=XML_ERROR_PARSING_ELEMENT ErrorID=6 (0x6) Line number=1"},
        {"page without manifest or data page",
         prologue +
             "<dox:template id=\"dxt1\" maxpid=\"1\"><dox:page id=\"dxt1_page0\" name=\"a\" cx=\"500\" "
             "cy=\"500\"/></dox:template>",
         true, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring path = PathOf(dir_, "d.dxt");
        WriteTemplateFile(path, c.xml + std::string(1, '\0'));
        ClearModuleError();
        IDoxDocument* document = DocOpenTemplate(path.c_str());
        EXPECT_EQ(document != nullptr, c.opens);
        if (!c.text.empty()) {
            EXPECT_EQ(LastError(), c.text);
        }
        if (document) {
            EXPECT_EQ(PageOf(document, 0)->GetLayerCount(), 0);
            document->Release();
        }
    }

    // Out-of-range values are held at their limits; a missing or small counter
    // never hands out a page id in use; two current layers leave the later one.
    std::string xml =
        prologue + "<dox:template id=\"dxt1\">"
                   "<dox:page id=\"dxt1_page0\" name=\"a\" cx=\"0\" cy=\"99999999999\" bpx=\"-5\" bpy=\"7\">"
                   "<dox:manifest><dox:layer name=\"x\" state=\"2\"/><dox:layer name=\"y\" state=\"9\"/>"
                   "<dox:layer name=\"z\" state=\"2\"/><dox:layer name=\"w\"/></dox:manifest></dox:page>"
                   "<dox:page id=\"dxt1_page7\" name=\"b\" cx=\"500\" cy=\"500\"/>"
                   "</dox:template>";
    const std::wstring path = PathOf(dir_, "v.dxt");
    WriteTemplateFile(path, xml); // no terminating NUL: read by the element's size
    IDoxDocument* document = DocOpenTemplate(path.c_str());
    ASSERT_NE(document, nullptr) << LastError();
    DoxPage* page = PageOf(document, 0);
    EXPECT_EQ(page->Cx(), 400);
    EXPECT_EQ(page->Cy(), 6000);
    EXPECT_EQ(page->Bpx(), 0);
    EXPECT_EQ(page->Bpy(), 0);
    ASSERT_EQ(page->GetLayerCount(), 4);
    EXPECT_EQ(page->GetLayer(0)->GetState(), 1);
    EXPECT_EQ(page->GetLayer(1)->GetState(), 1); // stored 9: read as current, then passed on
    EXPECT_EQ(page->GetLayer(2)->GetState(), 2);
    EXPECT_EQ(page->GetLayer(3)->GetState(), 0);
    EXPECT_EQ(page->GetCurrentLayer(), page->GetLayer(2));
    EXPECT_EQ(Doc(document)->GetMaxPid(), 8);
    IDoxPage* added = document->AddPage(L"c", 500, 500);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(static_cast<DoxPage*>(added)->PageId(), L"dxt1_page8");
    document->Release();

    // A layer stored without a state is hidden; with none current the first is.
    xml =
        prologue +
        "<dox:template id=\"dxt1\" maxpid=\"1\"><dox:page id=\"dxt1_page0\" name=\"a\" cx=\"500\" cy=\"500\">"
        "<dox:manifest><dox:layer name=\"x\"/><dox:layer name=\"y\" state=\"1\"/></dox:manifest></dox:page>"
        "</dox:template>";
    WriteTemplateFile(path, xml + std::string(1, '\0'));
    document = DocOpenTemplate(path.c_str());
    ASSERT_NE(document, nullptr);
    page = PageOf(document, 0);
    EXPECT_EQ(page->GetCurrentLayer(), page->GetLayer(0));
    EXPECT_EQ(page->GetLayer(0)->GetState(), 2);
    EXPECT_EQ(page->GetLayer(1)->GetState(), 1);
    document->Release();
}

TEST_F(DocTest, RefusedFilesSayWhy)
{
    // A bare 20-byte header: a valid, empty store, but no template in it.
    const std::wstring empty = PathOf(dir_, "empty.dxt");
    {
        std::string header("DOXDOT!\x01", 8);
        header.resize(DocTemplate::kHeaderSize, '\0');
        ASSERT_TRUE(doxtest::WriteFileBytes(dir_ / "empty.dxt", header));
    }
    // A template whose XML bytes no longer match their checksum.
    const std::wstring damaged = PathOf(dir_, "crc.dxt");
    WriteTemplateFile(damaged, "<?xml version=\"1.0\"?><dox:template id=\"x\"/>");
    {
        std::string bytes = doxtest::ReadFileBytes(dir_ / "crc.dxt");
        ASSERT_GT(bytes.size(), static_cast<size_t>(DocTemplate::kHeaderSize + 3));
        bytes[DocTemplate::kHeaderSize + 3] ^= 0x20;
        ASSERT_TRUE(doxtest::WriteFileBytes(dir_ / "crc.dxt", bytes));
    }
    const struct {
        std::wstring path;
        std::wstring reason;
    } cases[] = {
        {empty, L"无法识别的文件格式,不是模板文件或者文件已经损坏。"},
        {damaged, L"文档元素校验错误。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::filesystem::path(c.path).filename().string());
        ClearModuleError();
        IDoxDocument* document = DocOpenTemplate(c.path.c_str());
        EXPECT_EQ(document, nullptr);
        EXPECT_EQ(LastError(), c.reason);
        if (document)
            document->Release();
    }
}

void SaveNewTemplate(const std::wstring& path, const wchar_t* pageName)
{
    IDoxDocument* document = DocCreateTemplate(path.c_str(), pageName, 500, 500);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->Save(), 1);
    document->Release();
}

int TemporaryFilesIn(const doxtest::TempDir& dir)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        count += entry.path().filename().string().rfind(".doxsave-", 0) == 0 ? 1 : 0;
    return count;
}

TEST_F(DocTest, RefusedSaveAsLeavesTheTargetAsItWas)
{
    const std::wstring existing = PathOf(dir_, "existing.dxt");
    ASSERT_NO_FATAL_FAILURE(SaveNewTemplate(existing, L"旧"));
    const std::string before = doxtest::ReadFileBytes(dir_ / "existing.dxt");
    ASSERT_FALSE(before.empty());

    IDoxDocument* document = DocCreateTemplate(PathOf(dir_, "new.dxt").c_str(), L"新", 500, 500);
    ASSERT_NE(document, nullptr);
    // An element whose name the file's directory cannot hold: the save is refused.
    DocElement* element = Doc(document)->GetElement(std::wstring(300, L'x').c_str(), 0);
    ASSERT_NE(element, nullptr);
    ASSERT_TRUE(element->SetData("abc", 3));
    const std::wstring fresh = PathOf(dir_, "fresh.dxt");
    for (const std::wstring& target : {existing, fresh}) {
        ClearModuleError();
        EXPECT_EQ(document->SaveAs(target.c_str()), 0);
        EXPECT_NE(LastError(), L"");
    }
    EXPECT_EQ(doxtest::ReadFileBytes(dir_ / "existing.dxt"), before);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "fresh.dxt"));
    EXPECT_EQ(TemporaryFilesIn(dir_), 0);
    document->Release();

    IDoxDocument* reopened = DocOpenTemplate(existing.c_str());
    ASSERT_NE(reopened, nullptr) << LastError();
    EXPECT_EQ(std::wstring(reopened->GetPage(0)->GetName()), L"旧");
    reopened->Release();
}

// A template that may not be written (marked read-only, or in a folder that takes no
// new file) opens and takes edits; a save in place is refused with the read-only
// message and leaves the file as it was; a save under another name writes the edits
// and the document goes on in the new, writable file.
TEST_F(DocTest, ATemplateThatMayNotBeWrittenOpensAndSavesOnlyUnderAnotherName)
{
    enum Way { kMarked, kRefusedFile, kRefusedFolder };
    const struct {
        const char* what;
        Way way;
    } cases[] = {{"the file is marked read-only", kMarked},
                 {"the file refuses writing", kRefusedFile},
                 {"its folder takes no new file", kRefusedFolder}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        doxtest::TempDir dir;
        std::filesystem::create_directory(dir / "shared");
        const std::wstring path = PathOf(dir, "shared/t.dxt");
        ASSERT_NO_FATAL_FAILURE(SaveNewTemplate(path, L"甲"));
        const std::string before = doxtest::ReadFileBytes(dir / "shared/t.dxt");
        // Marked: no write bits, which root may ignore but the read-only mark means.
        std::optional<doxtest::ScopedUnwritable> unwritable;
        if (c.way == kMarked)
            std::filesystem::permissions(dir / "shared/t.dxt", std::filesystem::perms(0444));
        else
            unwritable.emplace(c.way == kRefusedFolder ? dir / "shared" : dir / "shared/t.dxt");
        if (c.way == kRefusedFolder && !unwritable->Refused()) {
            std::cout << "[ SKIPPED  ] root cannot be refused a folder here" << std::endl;
            continue;
        }
        ClearModuleError();
        IDoxDocument* document = DocOpenTemplate(path.c_str());
        ASSERT_NE(document, nullptr) << LastError();
        EXPECT_EQ(std::wstring(document->GetPage(0)->GetName()), L"甲");
        ASSERT_NE(document->AddPage(L"乙", 500, 500), nullptr);
        EXPECT_EQ(document->Save(), 0);
        EXPECT_EQ(LastError(), L"无效文件或者是只读模板文件。");
        EXPECT_EQ(doxtest::ReadFileBytes(dir / "shared/t.dxt"), before);

        const std::wstring copy = PathOf(dir, "copy.dxt");
        ASSERT_EQ(document->SaveAs(copy.c_str()), 1) << LastError();
        ASSERT_NE(document->AddPage(L"丙", 500, 500), nullptr);
        EXPECT_EQ(document->Save(), 1) << LastError();
        document->Release();
        EXPECT_EQ(doxtest::ReadFileBytes(dir / "shared/t.dxt"), before);
        EXPECT_EQ(TemporaryFilesIn(dir), 0);

        IDoxDocument* saved = DocOpenTemplate(copy.c_str());
        ASSERT_NE(saved, nullptr) << LastError();
        EXPECT_EQ(saved->GetPageCount(), 3);
        saved->Release();
    }
}

TEST_F(DocTest, SaveAsKilledHalfWayLeavesTheTargetWholeAndItsLeftoversGoAtTheNextSave)
{
    const std::wstring existing = PathOf(dir_, "existing.dxt");
    ASSERT_NO_FATAL_FAILURE(SaveNewTemplate(existing, L"旧"));
    const std::string before = doxtest::ReadFileBytes(dir_ / "existing.dxt");

    // A template big enough that writing it takes a while.
    const std::wstring source = PathOf(dir_, "big.dxt");
    IDoxDocument* big = DocCreateTemplate(source.c_str(), L"新", 500, 500);
    ASSERT_NE(big, nullptr);
    const std::string payload(8 << 20, 'p');
    ASSERT_TRUE(Doc(big)->GetElement(L"doc_payload", 0)->SetData(payload.data(),
                                                                   static_cast<uint32_t>(payload.size())));
    ASSERT_EQ(big->Save(), 1);

    // The save is killed while it writes the new file.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        big->SaveAs(existing.c_str());
        _exit(0);
    }
    bool leftover = false;
    for (int wait = 0; wait < 20000 && !leftover; ++wait) {
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            std::error_code error;
            if (entry.path().filename().string().rfind(".doxsave-", 0) == 0 &&
                std::filesystem::file_size(entry.path(), error) >= (1u << 20))
                leftover = true;
        }
        if (!leftover)
            usleep(500);
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(leftover) << "the save never started writing";
    // Killed before it replaced the target (the old template stays), or just after.
    const std::string after = doxtest::ReadFileBytes(dir_ / "existing.dxt");
    if (after != before) {
        IDoxDocument* replaced = DocOpenTemplate(existing.c_str());
        ASSERT_NE(replaced, nullptr) << QString::fromStdWString(LastError()).toStdString();
        EXPECT_EQ(std::wstring(replaced->GetPage(0)->GetName()), L"新");
        replaced->Release();
    }
    big->Release();

    IDoxDocument* document = DocOpenTemplate(existing.c_str());
    ASSERT_NE(document, nullptr);
    Doc(document)->SetModified();
    ASSERT_EQ(document->Save(), 1) << QString::fromStdWString(LastError()).toStdString();
    EXPECT_EQ(TemporaryFilesIn(dir_), 0);
    document->Release();
}

TEST_F(DocTest, ConnectionAndComplexDocuments)
{
    const std::wstring tpl = PathOf(dir_, "t.dxt");
    IDoxDocument* source = DocCreateTemplate(tpl.c_str(), L"p", 800, 600);
    ASSERT_NE(source, nullptr);
    ASSERT_NE(source->AddPage(L"q", 500, 500), nullptr);
    ASSERT_EQ(source->Save(), 1);
    const std::wstring id = Doc(source)->GetId();
    source->Release();

    const std::wstring db = PathOf(dir_, "bills.db");
    IDoxDocument* connection = DocCreateConnectionFromTemplate(db.c_str(), tpl.c_str());
    ASSERT_NE(connection, nullptr) << LastError();
    EXPECT_EQ(connection->GetPageCount(), 2);
    EXPECT_EQ(Doc(connection)->GetId(), id);
    ASSERT_NE(connection->AddPage(L"r", 500, 500), nullptr);
    IDoxDocElement* own = connection->GetUserElement(L"x", 0);
    ASSERT_NE(own, nullptr);
    EXPECT_STREQ(own->GetId(), (L"doc_" + id + L"_x").c_str());
    ASSERT_EQ(own->SetData("abc", 3), 1);
    ASSERT_EQ(connection->Save(), 1);
    EXPECT_EQ(connection->SaveAs(L""), 0);
    EXPECT_EQ(LastError(), L"文件名不能为空");
    const std::wstring exported = PathOf(dir_, "out.dxt");
    ASSERT_EQ(connection->SaveAs(exported.c_str()), 1) << LastError();
    connection->Release();

    IDoxDocument* back = DocOpenTemplate(exported.c_str());
    ASSERT_NE(back, nullptr) << LastError();
    EXPECT_EQ(back->GetPageCount(), 3);
    EXPECT_EQ(Doc(back)->HasElement((L"doc_" + id + L"_x").c_str(), 0), 1);
    EXPECT_EQ(back->GetUserElement(L"x", 1), nullptr); // a template file has no scope 1
    back->Release();

    IDoxDocument* reopened = DocOpenComplex(db.c_str(), nullptr);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->GetPageCount(), 3);
    reopened->Release();

    IDoxDocument* complex = DocOpenComplex(db.c_str(), tpl.c_str());
    ASSERT_NE(complex, nullptr) << LastError();
    EXPECT_EQ(complex->GetPageCount(), 2); // the pages of the template file
    IDoxDocElement* app = complex->GetUserElement(L"x", 1);
    ASSERT_NE(app, nullptr);
    EXPECT_STREQ(app->GetId(), (L"cof_" + id + L"_x").c_str());
    ASSERT_EQ(app->SetData("1", 1), 1);
    EXPECT_EQ(complex->SaveStore(), 1);
    EXPECT_EQ(complex->Save(), 0);
    complex->Release();
    DocConnection check;
    ASSERT_TRUE(check.Open(db.c_str(), kDocOpenRead));
    EXPECT_EQ(check.HasElement((L"cof_" + id + L"_x").c_str()), 1);
    check.Close();

    EXPECT_EQ(DocOpenComplex(db.c_str(), PathOf(dir_, "missing.dxt").c_str()), nullptr);
}

TEST_F(DocTest, IconAndPreview)
{
    const std::wstring path = PathOf(dir_, "t.dxt");
    IDoxDocument* document = DocCreateTemplate(path.c_str(), L"p", 2100, 1000);
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->SetIconFromData("not a picture", 13), 0);
    EXPECT_EQ(LastError(), L"读取图标图片失败");
    EXPECT_EQ(document->GetIcon(), nullptr);
    QByteArray png = PictureBytes("PNG", 32, 24);
    ASSERT_EQ(document->SetIconFromData(png.constData(), static_cast<uint32_t>(png.size())), 1);
    // A label with its default text, which the preview must paint.
    RECT labelRect{1000, -400, 1800, -700};
    ASSERT_NE(PageOf(document, 0)->GetLayer(0)->CreateControl(DoxKindLabel, &labelRect), nullptr);
    const std::string text = "not a picture";
    doxtest::WriteFileBytes(dir_ / "x.txt", text);
    ClearModuleError();
    EXPECT_EQ(document->SetIconFromFile(PathOf(dir_, "x.txt").c_str()), 0);
    EXPECT_EQ(LastError(), L"读取图标图片失败");
    IDoxImageData* icon = document->GetIcon();
    ASSERT_NE(icon, nullptr);
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(icon->GetData(), static_cast<int>(icon->GetSize()), "JPEG"));
    EXPECT_EQ(decoded.size(), QSize(32, 24));
    ASSERT_EQ(document->Save(), 1);
    document->Release(); // the file is shared for reading only once it is closed

    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadTemplateIcon(path.c_str(), bytes)) << LastError();
    ASSERT_TRUE(decoded.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "JPEG"));
    ASSERT_TRUE(RenderTemplatePreview(path.c_str(), bytes));
    ASSERT_TRUE(decoded.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "JPEG"));
    // 210 x 100 mm at the screen's 96 dpi, through the screen's 0.1 mm mapping, whose
    // scale comes from the screen's size in whole millimetres: within a pixel.
    EXPECT_NEAR(decoded.width(), 794, 1);
    EXPECT_NEAR(decoded.height(), 378, 1);
    // The window colour, with the label's text painted over it (pixels at 96 dpi).
    auto darkIn = [&](QRect area) {
        int dark = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                dark += qGray(decoded.pixel(x, y)) < 100 ? 1 : 0;
        return dark;
    };
    EXPECT_GT(darkIn(QRect(QPoint(378, 151), QPoint(680, 265))), 20);
    EXPECT_EQ(darkIn(QRect(QPoint(20, 20), QPoint(300, 300))), 0);
    EXPECT_GT(qGray(decoded.pixel(200, 200)), 240);

    document = DocOpenTemplate(path.c_str());
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->SetIconFromData(nullptr, 0), 1);
    EXPECT_EQ(document->IsModified(), 1);
    EXPECT_EQ(document->GetIcon(), nullptr);
    document->Release();

    doxtest::WriteFileBytes(dir_ / "plain.dxt", std::string(64, 'x'));
    ClearModuleError();
    EXPECT_FALSE(RenderTemplatePreview(PathOf(dir_, "plain.dxt").c_str(), bytes));
    EXPECT_FALSE(LastError().empty());
}

// A saved template carries a picture of its first page as its icon, the way the
// library lists templates: the shown layers only, and following the page from save to
// save, also after the template was closed and opened again. An icon the author chose
// stays.
TEST_F(DocTest, SavedTemplatesCarryAPictureOfTheirPageUnlessTheAuthorChoseOne)
{
    const std::wstring path = PathOf(dir_, "t.dxt");
    // A black block as a label's background, placed by its share of the page.
    auto block = [](DoxLayer* layer, double left, double top) {
        RECT rect{static_cast<int32_t>(left * 2000), static_cast<int32_t>(-top * 1000),
                  static_cast<int32_t>(left * 2000 + 400), static_cast<int32_t>(-top * 1000 - 300)};
        auto* label = static_cast<DoxLabelControl*>(layer->CreateControl(DoxKindLabel, &rect));
        ASSERT_NE(label, nullptr);
        ASSERT_TRUE(label->BgColor().SetValueText(L"#00000000"));
    };
    auto icon = [&path]() {
        std::vector<uint8_t> bytes;
        QImage decoded;
        if (ReadTemplateIcon(path.c_str(), bytes))
            decoded.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "JPEG");
        return decoded;
    };
    // Dark share of the icon over a part of the page given by its shares (the page,
    // twice as wide as high, fills the icon's width and the middle of its height).
    auto darkAt = [](const QImage& picture, double left, double top) {
        const int x0 = static_cast<int>(1 + left * 94) + 2;
        const int y0 = static_cast<int>(24.5 + top * 47) + 2;
        int dark = 0;
        for (int y = y0; y < y0 + 8; ++y)
            for (int x = x0; x < x0 + 12; ++x)
                dark += qGray(picture.pixel(x, y)) < 100 ? 1 : 0;
        return dark;
    };

    IDoxDocument* document = DocCreateTemplate(path.c_str(), L"p", 2000, 1000);
    ASSERT_NE(document, nullptr);
    DoxPage* page = PageOf(document, 0);
    block(page->GetLayer(0), 0.1, 0.1);
    ASSERT_EQ(page->AddLayer(L"备注"), 1);
    block(page->GetLayer(1), 0.6, 0.5);
    ASSERT_EQ(page->SetLayerState(0, 2), 1);
    ASSERT_EQ(page->SetLayerState(1, 0), 1);
    // The layers a host chose to draw are still the ones drawn after the save.
    page->ClearLayerView();
    ASSERT_EQ(page->ViewLayer(1), 1);
    ASSERT_EQ(document->Save(), 1);
    EXPECT_EQ(document->IsModified(), 0);
    EXPECT_EQ(page->DrawList(), std::vector<DoxLayer*>{page->GetLayer(1)});
    document->Release();
    QImage saved = icon();
    ASSERT_EQ(saved.size(), QSize(96, 96));
    EXPECT_GT(darkAt(saved, 0.1, 0.1), 60);
    EXPECT_EQ(darkAt(saved, 0.6, 0.5), 0);
    EXPECT_GT(qGray(saved.pixel(48, 5)), 240);

    // Opened again, changed and saved: the icon shows the change.
    document = DocOpenTemplate(path.c_str());
    ASSERT_NE(document, nullptr);
    block(PageOf(document, 0)->GetLayer(0), 0.1, 0.6);
    ASSERT_EQ(document->Save(), 1);
    document->Release(); // the file is shared for reading only once it is closed
    saved = icon();
    ASSERT_EQ(saved.size(), QSize(96, 96));
    EXPECT_EQ(darkAt(saved, 0.6, 0.5), 0);
    EXPECT_GT(darkAt(saved, 0.1, 0.6), 60);

    // The author's own icon is kept through later saves.
    document = DocOpenTemplate(path.c_str());
    ASSERT_NE(document, nullptr);
    const QByteArray png = PictureBytes("PNG", 32, 24);
    ASSERT_EQ(document->SetIconFromData(png.constData(), static_cast<uint32_t>(png.size())), 1);
    ASSERT_EQ(document->Save(), 1);
    block(PageOf(document, 0)->GetLayer(0), 0.6, 0.1);
    ASSERT_EQ(document->Save(), 1);
    document->Release();
    EXPECT_EQ(icon().size(), QSize(32, 24));
}

TEST_F(DocTest, RecordOperationsNeedARunner)
{
    IDoxDocument* document = DocCreateTemplate(PathOf(dir_, "t.dxt").c_str(), L"p", 2100, 1000);
    ASSERT_NE(document, nullptr);
    DoxPage* page = PageOf(document, 0);
    struct Case {
        const char* what;
        int64_t (*call)(DoxPage*);
        int64_t result;
    } cases[] = {
        {"Print", [](DoxPage* p) -> int64_t { return p->Print(L"pdf", nullptr, 0, 0, 1, 0, 1); }, 0},
        {"BeginPrintJob",
         [](DoxPage* p) -> int64_t { return p->BeginPrintJob(L"pdf", nullptr, 0, 0, 0, 1, 0); }, 0},
        {"PrintRecord", [](DoxPage* p) -> int64_t { return p->PrintRecord(1, 1); }, 0},
        {"EndPrintJob", [](DoxPage* p) -> int64_t { return p->EndPrintJob(); }, 0},
        {"SetFieldText", [](DoxPage* p) -> int64_t { return p->SetFieldText(L"主表.a", 0, L"1"); }, 0},
        {"GetFieldValue", [](DoxPage* p) -> int64_t { return p->GetFieldValue(L"主表.a", 0) != nullptr; }, 0},
        {"SaveRecord", [](DoxPage* p) -> int64_t { return p->SaveRecord(0); }, 0},
        {"SaveRecordAsNew", [](DoxPage* p) -> int64_t { return p->SaveRecordAsNew(0); }, 0},
        {"LoadRecord", [](DoxPage* p) -> int64_t { return p->LoadRecord(1); }, 0},
        {"IsRecordModified", [](DoxPage* p) -> int64_t { return p->IsRecordModified(); }, 0},
        {"GetRecordId", [](DoxPage* p) -> int64_t { return p->GetRecordId(); }, -1},
        {"DeleteRecord", [](DoxPage* p) -> int64_t { return p->DeleteRecord(1); }, 0},
        {"QueryRecords", [](DoxPage* p) -> int64_t { return p->QueryRecords(nullptr, nullptr); }, 0},
        {"ForgetRecord", [](DoxPage* p) -> int64_t { return p->ForgetRecord(); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearModuleError();
        EXPECT_EQ(c.call(page), c.result);
        EXPECT_EQ(LastError(), L""); // refused silently
    }
    IDoxValueTest* test = page->TestFieldText(L"主表.a", 0, L"1");
    ASSERT_NE(test, nullptr);
    EXPECT_EQ(test->GetResult(), 0);
    EXPECT_STREQ(test->GetMessage(), L"");
    EXPECT_STREQ(page->GetFieldName(5), L"");

    // Attached (as the preview does): a query without a sink runs nothing.
    DoxPageRunner runner;
    ASSERT_TRUE(runner.CreateTools(nullptr, nullptr, nullptr));
    ASSERT_EQ(AttachPageRunner(page, &runner), 1);
    EXPECT_EQ(page->GetRunner(), &runner);
    EXPECT_EQ(page->QueryRecords(nullptr, nullptr), 1);
    EXPECT_EQ(page->Print(L"pdf", nullptr, 0, 0, 0, 0, 1), 0);
    DetachPageRunner(&runner);
    EXPECT_EQ(page->GetRunner(), nullptr);
    document->Release();
}

namespace
{

struct FakeSelection : GrabSelection {
    GrabObjectCore* object;
    explicit FakeSelection(GrabObjectCore* o) : object(o) {}
    GrabObjectCore* GetObject() const override { return object; }
};

// A design view that records what the model asks of it.
struct FakeView : GrabWindow {
    std::vector<std::unique_ptr<FakeSelection>> made;
    std::vector<GrabSelection*> removed;
    std::vector<int> createdFlags;
    GrabLayer* current = nullptr;
    int rect[4] = {};
    int renumbered = 0;
    int changes = 0;

    GrabSelection* CreateSelection(GrabLayer*, GrabObjectCore* object, int created, int) override
    {
        createdFlags.push_back(created);
        made.push_back(std::make_unique<FakeSelection>(object));
        return made.back().get();
    }
    void RemoveObject(GrabSelection* node) override { removed.push_back(node); }
    void SetCurrentLayer(GrabLayer* layer) override { current = layer; }
    void SetPageRect(int cx, int cy, int bpx, int bpy) override
    {
        rect[0] = cx;
        rect[1] = cy;
        rect[2] = bpx;
        rect[3] = bpy;
    }
    void InvalidateObject(GrabObjectCore*, int) override {}
    void RenumberTabOrder() override { ++renumbered; }
    POINT GetBasePoint() const override { return POINT{200, -300}; }
    void OnChange() override { ++changes; }
    void CloseEditor(GrabObjectCore*) override {}
    void* GetFillBrush(GrabObjectCore*, COLORREF) override { return nullptr; }
};

} // namespace

TEST_F(DocTest, DesignViewFollowsLayersAndControls)
{
    IDoxDocument* document = DocCreateTemplate(PathOf(dir_, "t.dxt").c_str(), L"p", 2100, 1000);
    ASSERT_NE(document, nullptr);
    DoxPage* page = PageOf(document, 0);
    RECT rect{100, -100, 600, -300};
    ASSERT_NE(page->GetLayer(0)->CreateControl(DoxKindEdit, &rect), nullptr);
    ASSERT_EQ(page->AddLayer(L"b"), 1);
    DoxControl* onB = page->GetLayer(1)->CreateControl(DoxKindEdit, &rect);
    ASSERT_NE(onB, nullptr);
    ASSERT_EQ(page->SetBasePoint(50, -60), 1);

    FakeView view;
    ASSERT_EQ(page->AttachView(&view), 1);
    EXPECT_EQ(std::vector<int>(view.rect, view.rect + 4), (std::vector<int>{2100, 1000, 50, -60}));
    EXPECT_EQ(view.createdFlags, (std::vector<int>{0, 0}));
    EXPECT_EQ(view.current, page->GetCurrentLayer());
    ASSERT_NE(page->GetLayer(1)->CreateControl(DoxKindEdit, &rect), nullptr);
    EXPECT_EQ(view.createdFlags.back(), 1); // drawn new

    // Removing a layer makes its objects leave the view first.
    ASSERT_EQ(page->RemoveLayer(1), 1);
    EXPECT_EQ(view.removed.size(), 2u);
    EXPECT_EQ(view.renumbered, 1);
    EXPECT_GT(view.changes, 0);

    // Saving takes the view's base point.
    ASSERT_EQ(document->Save(), 1);
    POINT point{};
    page->GetBasePoint(&point);
    EXPECT_EQ(point.x, 200);
    EXPECT_EQ(point.y, 300);

    page->DetachView();
    EXPECT_EQ(view.removed.size(), 3u);
    EXPECT_EQ(page->GetView(), nullptr);
    EXPECT_EQ(page->GetLayer(0)->GetView(), nullptr);
    EXPECT_TRUE(page->GetLayer(0)->Objects().empty());
    EXPECT_EQ(page->GetLayer(0)->Controls()[0]->GetDesignLink(), nullptr);
    document->Release();
}

TEST_F(DocTest, DamagedTemplatesOpenOrAreRefusedAndPaintTheirPreview)
{
    // A template holding every kind; its XML gets values replaced by extremes and
    // nonsense and some elements dropped. Each variant opens or is refused; none may
    // crash, overflow or read outside its data (run under the sanitizers).
    const std::wstring path = PathOf(dir_, "all.dxt");
    IDoxDocument* document = DocCreateTemplate(path.c_str(), L"p", 2100, 2970);
    ASSERT_NE(document, nullptr);
    DoxLayer* layer = static_cast<DoxPage*>(document->GetPage(0))->GetLayer(0);
    for (int32_t kind = DoxKindEdit; kind < DoxKindNone; ++kind) {
        RECT rect{100, -100 - kind * 300, 1500, -350 - kind * 300};
        DoxControl* control = layer->CreateControl(kind, &rect);
        ASSERT_NE(control, nullptr);
        controltest::AddSampleGrids(control);
    }
    ASSERT_EQ(document->Save(), 1) << GetModuleErrorText();
    document->Release();
    std::string xml;
    {
        DocTemplate store;
        ASSERT_TRUE(store.Open(path.c_str(), 0));
        xml = StoredXml(&store);
    }
    while (!xml.empty() && xml.back() == '\0')
        xml.pop_back();
    ASSERT_FALSE(xml.empty());

    std::mt19937 random(20261210);
    int opened = 0;
    for (int round = 0; round < 150; ++round) {
        tinyxml2::XMLDocument doc;
        ASSERT_EQ(doc.Parse(xml.c_str()), tinyxml2::XML_SUCCESS);
        controltest::DamageXml(doc.RootElement(), random, 15, false);
        tinyxml2::XMLPrinter printer;
        doc.Print(&printer);
        const std::wstring damaged = PathOf(dir_, "d" + std::to_string(round) + ".dxt");
        WriteTemplateFile(damaged, std::string(printer.CStr()) + std::string(1, '\0'));
        if (IDoxDocument* reopened = DocOpenTemplate(damaged.c_str())) {
            ++opened;
            reopened->Release();
            std::vector<uint8_t> jpeg;
            EXPECT_TRUE(RenderTemplatePreview(damaged.c_str(), jpeg));
        }
    }
    // Much of the damage is survivable: values are held at their limits.
    EXPECT_GT(opened, 0);
}
