#include "DoxDocument.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <random>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include "CharBuffer.h"
#include "DocElement.h"
#include "DoxDocPictures.h"
#include "DoxPage.h"
#include "DoxTemplateXml.h"
#include "ModuleError.h"

namespace
{

const wchar_t kTemplateElement[] = L"doc_dxtemplate";
const wchar_t kIconElement[] = L"doc_dxtemplate_icon";
const wchar_t kNewPagePrefix[] = L"新页面";

wchar_t LowerLatin(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EqualsLatinCaseBlind(const std::wstring& a, const wchar_t* b)
{
    size_t n = std::wcslen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (LowerLatin(a[i]) != LowerLatin(b[i]))
            return false;
    return true;
}

// The number behind a leading prefix, 0 when the name does not read so.
int NumberAfter(const std::wstring& name, const wchar_t* prefix)
{
    size_t n = std::wcslen(prefix);
    if (name.compare(0, n, prefix) != 0)
        return 0;
    int value = 0;
    if (std::swscanf(name.c_str() + n, L"%d", &value) != 1)
        return 0;
    return value;
}

std::wstring MakeDocumentId()
{
    std::random_device device;
    uint32_t data1 = device();
    wchar_t text[16];
    std::swprintf(text, 16, L"dxt%08X", data1);
    return text;
}

bool IsEmpty(const wchar_t* text)
{
    return !text || !*text;
}

// A picture decoded from bytes, redrawn at screen resolution, as JPEG bytes.
bool PictureToJpeg(const QByteArray& source, QByteArray& jpeg)
{
    QImage image;
    if (source.isEmpty() || !image.loadFromData(source) || image.isNull())
        return false;
    constexpr int kScreenDpm = 3780; // 96 dots per inch
    int dpmX = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() : kScreenDpm;
    int dpmY = image.dotsPerMeterY() > 0 ? image.dotsPerMeterY() : kScreenDpm;
    int width = std::max(1, static_cast<int>(static_cast<int64_t>(image.width()) * kScreenDpm / dpmX));
    int height = std::max(1, static_cast<int>(static_cast<int64_t>(image.height()) * kScreenDpm / dpmY));
    if (width != image.width() || height != image.height())
        image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDotsPerMeterX(kScreenDpm);
    image.setDotsPerMeterY(kScreenDpm);
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    return image.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG");
}

} // namespace

DoxDocument::DoxDocument() : id_(MakeDocumentId()) {}

DoxDocument::~DoxDocument()
{
    DestroyPages();
}

void DoxDocument::DestroyPages()
{
    for (DoxPage* page : pages_)
        delete page;
    pages_.clear();
}

IDoxPage* DoxDocument::GetPageByName(const wchar_t* name)
{
    if (!name)
        return nullptr;
    for (DoxPage* page : pages_)
        if (EqualsLatinCaseBlind(page->GetName(), name))
            return page;
    return nullptr;
}

IDoxPage* DoxDocument::GetPage(int index)
{
    if (index < 0 || index >= GetPageCount())
        return nullptr;
    return pages_[static_cast<size_t>(index)];
}

const wchar_t* DoxDocument::MakeNewPageName()
{
    int largest = 0;
    for (DoxPage* page : pages_)
        largest = std::max(largest, NumberAfter(page->GetName(), kNewPagePrefix));
    newPageName_ = kNewPagePrefix + std::to_wstring(largest + 1);
    return newPageName_.c_str();
}

int DoxDocument::CheckPageName(const wchar_t* name, const DoxPage* except)
{
    if (IsEmpty(name)) {
        SetModuleError(L"页面名不能为空。");
        return 0;
    }
    for (const wchar_t* p = name; *p; ++p) {
        wchar_t c = *p;
        bool ok = (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' ||
                  static_cast<uint32_t>(c) > 128;
        if (!ok) {
            SetModuleError(L"页面名中包含无效的字符");
            return 0;
        }
    }
    for (DoxPage* page : pages_) {
        if (page != except && EqualsLatinCaseBlind(page->GetName(), name)) {
            SetModuleErrorFormat(L"\"%ls\" 页面已经存在。", name);
            return 0;
        }
    }
    return 1;
}

DoxPage* DoxDocument::CreatePage(const wchar_t* name, int32_t cx, int32_t cy)
{
    if (cx < 400 || cx > 6000 || cy < 400 || cy > 6000) {
        SetModuleError(L"页面SIZE无效");
        return nullptr;
    }
    if (!CheckPageName(name, nullptr))
        return nullptr;
    wchar_t number[16];
    std::swprintf(number, 16, L"%d", maxpid_);
    std::wstring pageId = id_ + L"_page" + number;
    ++maxpid_;
    auto* page = new DoxPage(this);
    if (!page->Init(pageId.c_str(), name, cx, cy)) {
        delete page;
        return nullptr;
    }
    pages_.push_back(page);
    modified_ = 1;
    return page;
}

DoxPage* DoxDocument::AppendReadPage()
{
    auto* page = new DoxPage(this);
    pages_.push_back(page);
    return page;
}

IDoxPage* DoxDocument::AddPage(const wchar_t* name, int32_t cx, int32_t cy)
{
    ClearModuleError();
    return CreatePage(name, cx, cy);
}

int DoxDocument::DeletePageByName(const wchar_t* name)
{
    ClearModuleError();
    if (GetPageCount() < 2 || !name)
        return 0;
    for (size_t i = 0; i < pages_.size(); ++i)
        if (EqualsLatinCaseBlind(pages_[i]->GetName(), name))
            return DeletePage(static_cast<int>(i));
    SetModuleErrorFormat(L"“%ls” 页面不存在。", name);
    return 0;
}

int DoxDocument::DeletePage(int index)
{
    ClearModuleError();
    if (GetPageCount() < 2 || index < 0 || index >= GetPageCount())
        return 0;
    DoxPage* page = pages_[static_cast<size_t>(index)];
    RemovePageElements(page);
    pages_.erase(pages_.begin() + index);
    delete page;
    modified_ = 1;
    return 1;
}

void DoxDocument::RemovePageElements(DoxPage* page)
{
    // Only the page's own elements go: a page whose id merely begins with this
    // page's id (_page1 and _page10) keeps its background and user elements.
    std::vector<DocContainer*> stores{OwnStore()};
    for (DocContainer* store : stores) {
        for (DocElement* element : store->Elements()) {
            if (!page->OwnsElement(element->Id()))
                continue;
            bool taken = false;
            for (DoxPage* other : pages_)
                if (other != page && other->PageId().size() > page->PageId().size() &&
                    other->OwnsElement(element->Id()))
                    taken = true;
            if (taken)
                continue;
            store->MarkModified();
            store->RemoveElement(element);
        }
    }
}

IDoxDocElement* DoxDocument::GetUserElement(const wchar_t* name, int scope)
{
    ClearModuleError();
    std::wstring text = (scope == 0 ? L"doc_" : L"cof_") + id_ + L"_" + (name ? name : L"");
    return GetElement(text.c_str(), scope);
}

int DoxDocument::WriteXmlInto(DocContainer* store)
{
    DocElement* element = store->GetElement(kTemplateElement);
    if (!element)
        return 0;
    return WriteTemplateXml(element, this);
}

void DoxDocTemplate::RefreshPageIcon()
{
    if (pages_.empty())
        return;
    // An icon the author chose stays; one made from the page follows the page.
    if (HasElement(kIconElement, 0)) {
        DocElement* element = GetElement(kIconElement, 0);
        const uint8_t* data = element ? element->GetData() : nullptr;
        if (!data)
            return;
        const bool made = IsPageIcon(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(element->GetSize())));
        element->FreeData();
        if (!made)
            return;
    }
    // A template is saved with or without its icon: one that cannot be painted now
    // (a fill-in window holds the page) keeps the icon it had.
    QByteArray jpeg;
    if (!RenderPageIcon(pages_.front(), jpeg))
        return;
    DocElement* element = GetElement(kIconElement, 0);
    if (element && element->SetData(jpeg.constData(), static_cast<uint32_t>(jpeg.size())))
        element->FreeData();
}

int DoxDocument::Save()
{
    ClearModuleError();
    if (!WriteXmlInto(OwnStore()))
        return 0;
    if (!OwnStore()->Save())
        return 0;
    modified_ = 0;
    return 1;
}

int DoxDocument::SaveAs(const wchar_t*)
{
    return 0;
}

int DoxDocument::Create(const wchar_t* path, const wchar_t* pageName, int32_t cx, int32_t cy)
{
    if (!OwnStore()->Open(path, kDocOpenCreate))
        return 0;
    return CreatePage(pageName, cx, cy) ? 1 : 0;
}

int DoxDocument::ParseFrom(DocContainer* store)
{
    // A store without the template text (an empty template file, a database
    // without templates) is not a template: say so rather than fail silently.
    DocElement* element = store->HasElement(kTemplateElement) ? store->GetElement(kTemplateElement) : nullptr;
    if (!element) {
        SetModuleError(L"无法识别的文件格式,不是模板文件或者文件已经损坏。");
        return 0;
    }
    int ok = ParseTemplateXml(element, this);
    modified_ = 0;
    return ok;
}

int DoxDocument::Open(const wchar_t* path, const wchar_t*, int readOnly)
{
    if (!OwnStore()->Open(path, readOnly ? kDocOpenRead : kDocOpenReadWrite))
        return 0;
    return ParseFrom(OwnStore());
}

int DoxDocument::OpenContainer(const wchar_t* path, const wchar_t*)
{
    return OwnStore()->Open(path, kDocOpenRead);
}

DocElement* DoxDocument::GetElement(const wchar_t* name, int scope)
{
    if (scope != 0 || !name)
        return nullptr;
    return OwnStore()->GetElement(name);
}

int DoxDocument::HasElement(const wchar_t* name, int scope)
{
    if (scope != 0 || !name)
        return 0;
    return OwnStore()->HasElement(name);
}

DocElement* DoxDocument::FindElementLike(const wchar_t* text)
{
    return OwnStore()->FindElementLike(text);
}

int DoxDocument::SetIconFromFile(const wchar_t* picturePath)
{
    if (IsEmpty(picturePath))
        return SetIconFromData(nullptr, 0);
    QFile file(QString::fromWCharArray(picturePath));
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (bytes.isEmpty()) {
        // Checked before the element is touched: a failure keeps the old icon.
        if (!GetElement(kIconElement, 0)) {
            SetModuleError(L"分配模板图标元素文档失败");
            return 0;
        }
        SetModuleError(L"读取图标图片失败");
        return 0;
    }
    return SetIconFromData(bytes.constData(), static_cast<uint32_t>(bytes.size()));
}

int DoxDocument::SetIconFromData(const void* bytes, uint32_t size)
{
    const bool existed = HasElement(kIconElement, 0) != 0;
    DocElement* element = GetElement(kIconElement, 0);
    if (!element) {
        SetModuleError(L"分配模板图标元素文档失败");
        return 0;
    }
    if (!bytes || size == 0) {
        element->Remove();
        modified_ = 1;
        return 1;
    }
    QByteArray jpeg;
    if (!PictureToJpeg(QByteArray(static_cast<const char*>(bytes), static_cast<qsizetype>(size)), jpeg)) {
        if (!existed)
            element->Remove(); // made just now: a refused picture leaves no trace
        else if (!element->IsDirty())
            element->FreeData();
        SetModuleError(L"读取图标图片失败");
        return 0;
    }
    if (!element->SetData(jpeg.constData(), static_cast<uint32_t>(jpeg.size()))) {
        SetModuleError(L"写入模板图标失败");
        return 0;
    }
    element->FreeData();
    modified_ = 1;
    return 1;
}

IDoxImageData* DoxDocument::GetIcon()
{
    if (!HasElement(kIconElement, 0))
        return nullptr;
    DocElement* element = GetElement(kIconElement, 0);
    return element ? static_cast<IDoxImageData*>(element) : nullptr;
}

// ---- template file

DoxDocTemplate::~DoxDocTemplate()
{
    store_.Close();
    DestroyPages();
}

int DoxDocTemplate::Save()
{
    RefreshPageIcon();
    return DoxDocument::Save();
}

int DoxDocTemplate::SaveAs(const wchar_t* path)
{
    RefreshPageIcon();
    ClearModuleError();
    if (!WriteXmlInto(&store_))
        return 0;
    if (!IsEmpty(path) && !store_.IsPath(path)) {
        // Every element is written into the new file from memory, then the
        // document moves over to that file.
        if (!store_.LoadAll())
            return 0;
        // The target is replaced only by a complete new file: a refused save leaves
        // an existing one whole and a new one not made.
        DocTemplate target;
        if (!target.Open(path, kDocOpenCreate))
            return 0;
        target.AttachAll(&store_);
        int ok = target.SaveFrom();
        target.ForgetAttached();
        if (!ok) {
            target.Abandon();
            return 0;
        }
        target.Close();
        if (!store_.Open(path, kDocOpenReadWrite))
            return 0;
    } else if (!store_.Save()) {
        return 0;
    }
    modified_ = 0;
    return 1;
}

// ---- database store

DoxDocConnection::~DoxDocConnection()
{
    store_.Close();
    DestroyPages();
}

int DoxDocConnection::SaveAs(const wchar_t* path)
{
    ClearModuleError();
    if (!WriteXmlInto(&store_) || !store_.Save())
        return 0;
    if (IsEmpty(path)) {
        SetModuleError(L"文件名不能为空");
        return 0;
    }
    DocTemplate target;
    if (!target.Open(path, kDocOpenCreate))
        return 0;
    for (DocElement* element : store_.Elements())
        if (element->Id().compare(0, 4, L"doc_") == 0)
            target.AttachElement(element);
    int ok = target.SaveFrom();
    target.ForgetAttached();
    if (!ok) {
        target.Abandon();
        return 0;
    }
    target.Close();
    modified_ = 0;
    return 1;
}

int DoxDocConnection::SaveStore()
{
    ClearModuleError();
    return store_.Save();
}

int DoxDocConnection::CreateFromTemplateFile(const wchar_t* dbPath, const wchar_t* templatePath)
{
    {
        DocTemplate source;
        if (!source.Open(templatePath, kDocOpenRead))
            return 0;
        if (!store_.Open(dbPath, kDocOpenCreate))
            return 0;
        if (!source.LoadAll())
            return 0;
        store_.AttachAll(&source);
        int ok = store_.SaveFrom();
        store_.ForgetAttached();
        store_.Close();
        source.Close();
        if (!ok)
            return 0;
    }
    return Open(dbPath, nullptr, 0);
}

DocElement* DoxDocConnection::GetElement(const wchar_t* name, int)
{
    return name ? store_.GetElement(name) : nullptr;
}

int DoxDocConnection::HasElement(const wchar_t* name, int)
{
    return name ? store_.HasElement(name) : 0;
}

// ---- complex

DoxDocComplex::~DoxDocComplex()
{
    template_.Close();
    database_.Close();
    DestroyPages();
}

int DoxDocComplex::SaveStore()
{
    ClearModuleError();
    return database_.Save();
}

int DoxDocComplex::Open(const wchar_t* path, const wchar_t* path2, int readOnly)
{
    if (!database_.Open(path, readOnly ? kDocOpenRead : kDocOpenReadWrite))
        return 0;
    if (!template_.Open(path2, kDocOpenRead))
        return 0;
    return ParseFrom(&template_);
}

int DoxDocComplex::OpenContainer(const wchar_t*, const wchar_t* path2)
{
    return template_.Open(path2, kDocOpenRead);
}

DocElement* DoxDocComplex::GetElement(const wchar_t* name, int scope)
{
    if (!name)
        return nullptr;
    return scope == 0 ? template_.GetElement(name) : database_.GetElement(name);
}

int DoxDocComplex::HasElement(const wchar_t* name, int scope)
{
    if (!name)
        return 0;
    return scope == 0 ? template_.HasElement(name) : database_.HasElement(name);
}

DocElement* DoxDocComplex::FindElementLike(const wchar_t* text)
{
    DocElement* element = template_.FindElementLike(text);
    return element ? element : database_.FindElementLike(text);
}

// ---- front door

namespace
{

template <class Doc, class Step> IDoxDocument* MakeDocument(Step step)
{
    ClearModuleError();
    auto* document = new Doc;
    if (!step(*document)) {
        document->Release();
        return nullptr;
    }
    return document;
}

} // namespace

IDoxDocument* DocCreateTemplate(const wchar_t* path, const wchar_t* pageName, int32_t cx, int32_t cy)
{
    return MakeDocument<DoxDocTemplate>([&](DoxDocument& d) { return d.Create(path, pageName, cx, cy); });
}

IDoxDocument* DocOpenTemplate(const wchar_t* path)
{
    return MakeDocument<DoxDocTemplate>([&](DoxDocument& d) { return d.Open(path, nullptr, 0); });
}

IDoxDocument* DocCreateConnection(const wchar_t* path, const wchar_t* pageName, int32_t cx, int32_t cy)
{
    return MakeDocument<DoxDocConnection>([&](DoxDocument& d) { return d.Create(path, pageName, cx, cy); });
}

IDoxDocument* DocCreateConnectionFromTemplate(const wchar_t* dbPath, const wchar_t* templatePath)
{
    return MakeDocument<DoxDocConnection>(
        [&](DoxDocument& d) { return d.CreateFromTemplateFile(dbPath, templatePath); });
}

IDoxDocument* DocOpenComplex(const wchar_t* dbPath, const wchar_t* templatePath)
{
    if (!templatePath)
        return MakeDocument<DoxDocConnection>([&](DoxDocument& d) { return d.Open(dbPath, nullptr, 0); });
    return MakeDocument<DoxDocComplex>([&](DoxDocument& d) { return d.Open(dbPath, templatePath, 0); });
}
