// What both stores share: element lookup and creation, data, modification
// tracking, attaching elements of another store and the lifetime of elements.

#include "DocElement.h"
#include "DocTemplate.h"
#include "StoreTestUtil.h"
#include "TestSupport.h"

#include "ByteStream.h"

#include <gtest/gtest.h>

#include <string>

using namespace storetest;
using doxtest::TempDir;

namespace
{

struct CountingSink : DocContainerSink {
    int calls = 0;
    void OnModified(int modified) override
    {
        EXPECT_EQ(modified, 1);
        ++calls;
    }
};

// A new, writable template-file store in a scratch folder.
struct Fixture {
    TempDir dir;
    CountingSink sink;
    DocTemplate store{&sink};
    Fixture() { EXPECT_EQ(store.Open(Path(dir, "f.dxt").c_str(), kDocOpenCreate), 1); }
};

} // namespace

TEST(StoreContainer, LookupAndCreation)
{
    Fixture f;
    EXPECT_EQ(f.sink.calls, 1); // a new file starts modified
    EXPECT_EQ(f.store.GetElement(L""), nullptr);
    EXPECT_EQ(f.store.GetElement(nullptr), nullptr);
    DocElement* a = f.store.GetElement(L"Doc_A");
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->IsLoaded());
    EXPECT_TRUE(a->IsDirty());
    EXPECT_EQ(f.sink.calls, 1); // making an element is no modification
    EXPECT_EQ(f.store.GetElement(L"doc_a"), a);
    EXPECT_EQ(f.store.HasElement(L"DOC_A"), 1);
    EXPECT_EQ(f.store.HasElement(L""), 0);
    EXPECT_EQ(f.store.IsIdFree(L"doc_a"), 0);
    EXPECT_EQ(f.store.IsIdFree(L""), 0);
    EXPECT_EQ(f.store.IsIdFree(L"other"), 1);

    f.store.GetElement(L"page1_bkpic");
    f.store.GetElement(L"page2_bkpic");
    EXPECT_EQ(f.store.FindElementLike(L"bkpic")->Id(), L"page1_bkpic");
    EXPECT_EQ(f.store.FindElementLike(L"BKPIC"), nullptr); // case matters here
    EXPECT_EQ(f.store.FindElementLike(L""), nullptr);

    EXPECT_EQ(f.store.AddElement(L"DOC_a"), nullptr);
    EXPECT_EQ(LastError(), L"无效的文档元素ID或者文档元素已经存在。[DOC_a]");
    EXPECT_EQ(f.store.AddElement(L""), nullptr);
    EXPECT_EQ(LastError(), L"无效的文档元素ID或者文档元素已经存在。[]");

    // Renaming refuses any id the store has (whatever the case) and the empty id.
    EXPECT_EQ(a->SetId(L"PAGE1_BKPIC"), 0);
    EXPECT_EQ(a->SetId(L""), 0);
    EXPECT_EQ(a->SetId(L"renamed"), 1);
    EXPECT_EQ(f.store.GetElement(L"RENAMED"), a);
}

TEST(StoreContainer, DataAndModification)
{
    Fixture f;
    DocElement* e = f.store.GetElement(L"e");
    ASSERT_EQ(e->SetData("hello", 5), 1);
    EXPECT_EQ(f.sink.calls, 2);
    EXPECT_EQ(Bytes(e), "hello");
    // Setting from its own bytes is safe, shorter or the same.
    ASSERT_EQ(e->SetData(e->GetData() + 1, 3), 1);
    EXPECT_EQ(Bytes(e), "ell");
    ASSERT_EQ(e->SetData(nullptr, 0), 1);
    EXPECT_EQ(e->GetSize(), 0u);
    EXPECT_EQ(f.sink.calls, 4);
    ASSERT_EQ(e->SetData("bytes", 5), 1);

    // Unsaved bytes survive ReleaseData; after the save they are dropped and read
    // back from the file.
    e->ReleaseData();
    EXPECT_TRUE(e->IsLoaded());
    ASSERT_EQ(e->SaveContainer(), 1);
    e->ReleaseData();
    EXPECT_FALSE(e->IsLoaded());
    EXPECT_EQ(e->Buffer(), nullptr);
    EXPECT_EQ(Bytes(e), "bytes");
    // The picture face of the element reads and frees the same bytes.
    IDoxImageData* image = e;
    EXPECT_EQ(image->GetSize(), 5u);
    image->Release();
    EXPECT_FALSE(e->IsLoaded());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image->GetData()), 5), "bytes");

    int before = f.sink.calls;
    f.store.GetElement(L"gone")->Remove();
    EXPECT_EQ(f.sink.calls, before + 1);
    EXPECT_EQ(f.store.HasElement(L"gone"), 0);
}

TEST(StoreContainer, StreamsTakeTheWholeBlock)
{
    Fixture f;
    plat::ByteStream stream;
    stream.Write("0123456789", 10);
    stream.Seek(4);
    DocElement* e = f.store.GetElement(L"s");
    ASSERT_EQ(e->SetDataFromStream(stream), 1);
    EXPECT_EQ(Bytes(e), "0123456789");
    plat::ByteStream out;
    out.Seek(3);
    ASSERT_EQ(e->SaveToStream(out), 1);
    EXPECT_EQ(out.Bytes(), QByteArray("0123456789"));
}

TEST(StoreContainer, AttachedElementsAreSafe)
{
    TempDir dir;
    Fixture source;
    source.store.GetElement(L"a")->SetData("A", 1);
    source.store.GetElement(L"b")->SetData("B", 1);
    DocTemplate target;
    ASSERT_EQ(target.Open(Path(dir, "t.dxt").c_str(), kDocOpenCreate), 1);

    // Attaching an element twice keeps one entry.
    target.AttachElement(source.store.GetElement(L"a"));
    target.AttachElement(source.store.GetElement(L"a"));
    EXPECT_EQ(target.AttachedCount(), 1);
    target.AttachAll(&source.store);
    EXPECT_EQ(target.AttachedCount(), 2);

    // An own element is only a modification.
    CountingSink sink;
    target.SetSink(&sink);
    target.AttachElement(target.GetElement(L"own"));
    EXPECT_EQ(target.AttachedCount(), 2);
    EXPECT_EQ(sink.calls, 1);

    // An element destroyed while attached leaves the list.
    source.store.GetElement(L"a")->Remove();
    ASSERT_EQ(target.AttachedCount(), 1);
    EXPECT_EQ(target.AttachedElements()[0]->Id(), L"b");

    // Attached to a second target, it leaves the first one's list.
    DocTemplate other;
    ASSERT_EQ(other.Open(Path(dir, "o.dxt").c_str(), kDocOpenCreate), 1);
    other.AttachElement(source.store.GetElement(L"b"));
    EXPECT_EQ(target.AttachedCount(), 0);
    EXPECT_EQ(other.AttachedCount(), 1);
    ASSERT_EQ(other.SaveFrom(), 1);

    // A target destroyed first leaves no link behind in the element.
    {
        DocTemplate shortLived;
        ASSERT_EQ(shortLived.Open(Path(dir, "s.dxt").c_str(), kDocOpenCreate), 1);
        shortLived.AttachAll(&source.store);
        EXPECT_EQ(other.AttachedCount(), 0);
    }
    EXPECT_EQ(source.store.GetElement(L"b")->SecondContainer(), nullptr);
    other.AttachElement(source.store.GetElement(L"b"));
    source.store.Close(); // destroys the elements: no list may point at them
    EXPECT_EQ(other.AttachedCount(), 0);
}
