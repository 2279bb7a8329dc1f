#include "DoxTemplateXml.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <tinyxml2.h>

#include "CharBuffer.h"
#include "DocElement.h"
#include "DoxControl.h"
#include "DoxControlKinds.h"
#include "DoxDocument.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "GrabLayer.h"
#include "ModuleError.h"

namespace
{

std::string Utf8(const std::wstring& text)
{
    return WideToUtf8(text);
}

std::wstring TextAttribute(const tinyxml2::XMLElement* element, const char* name)
{
    const char* value = element->Attribute(name);
    return value ? Utf8ToWide(value, std::strlen(value)) : std::wstring();
}

// Decimal as the writer stores it; absent or not a number reads 0. Values beyond
// 32 bits are held at the type's limits.
int32_t NumberAttribute(const tinyxml2::XMLElement* element, const char* name)
{
    const char* value = element->Attribute(name);
    if (!value)
        return 0;
    char* end = nullptr;
    long long number = std::strtoll(value, &end, 10);
    if (end == value)
        return 0;
    return static_cast<int32_t>(std::clamp<long long>(number, INT32_MIN, INT32_MAX));
}

void SetNumber(tinyxml2::XMLElement* element, const char* name, int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    element->SetAttribute(name, text);
}

bool IsKnownControlKind(const char* id)
{
    for (const DoxControlKindRecord* record = GetControlKinds(); record && id; record = record->next) {
        if (std::strcmp(record->typeName, id) == 0)
            return true;
    }
    return false;
}

void SetXmlError(const tinyxml2::XMLDocument& xml)
{
    const char* text = xml.ErrorStr();
    SetModuleError(Utf8ToWide(text ? text : "", text ? std::strlen(text) : 0).c_str());
}

int WriteLayer(tinyxml2::XMLElement* element, DoxLayer* layer)
{
    element->SetAttribute("name", Utf8(layer->GetName()).c_str());
    SetNumber(element, "lock", layer->GetLock());
    SetNumber(element, "state", layer->GetState());
    // The template keeps every item, the fill-in order included.
    for (DoxControl* control : layer->Controls()) {
        tinyxml2::XMLElement* child = element->InsertNewChildElement("dox:control");
        child->SetAttribute("id", control->GetId().c_str());
        if (!static_cast<DoxAttribSet*>(control)->SaveXml(child, true))
            return 0;
    }
    return 1;
}

int WritePage(tinyxml2::XMLElement* element, DoxPage* page)
{
    if (GrabWindow* view = page->GetView()) {
        POINT point = view->GetBasePoint();
        page->SetBasePoint(point.x, point.y);
        view->RenumberTabOrder();
    }
    element->SetAttribute("id", Utf8(page->PageId()).c_str());
    element->SetAttribute("name", Utf8(page->GetName()).c_str());
    SetNumber(element, "cx", page->Cx());
    SetNumber(element, "cy", page->Cy());
    SetNumber(element, "bpx", page->Bpx());
    SetNumber(element, "bpy", page->Bpy());
    SetNumber(element, "bkpic_strecth", page->GetBackgroundStretch());
    element->SetAttribute("bkpic", Utf8(page->Bkpic()).c_str());
    tinyxml2::XMLElement* data = element->InsertNewChildElement("dox:datapage");
    if (!page->Data().WriteXml(data))
        return 0;
    tinyxml2::XMLElement* manifest = element->InsertNewChildElement("dox:manifest");
    for (int i = 0; i < page->GetLayerCount(); ++i)
        if (!WriteLayer(manifest->InsertNewChildElement("dox:layer"), page->GetLayer(i)))
            return 0;
    return 1;
}

int WriteTemplate(tinyxml2::XMLElement* root, DoxDocument* document)
{
    root->SetAttribute("id", Utf8(document->GetId()).c_str());
    SetNumber(root, "maxpid", document->GetMaxPid());
    for (DoxPage* page : document->Pages())
        if (!WritePage(root->InsertNewChildElement("dox:page"), page))
            return 0;
    return 1;
}

int ReadLayer(DoxLayer* layer, const tinyxml2::XMLElement* element, int& state)
{
    layer->ClearControls();
    layer->SetNameQuiet(TextAttribute(element, "name").c_str());
    layer->SetLock(NumberAttribute(element, "lock") != 0);
    state = NumberAttribute(element, "state");
    // A damaged state reads as the nearest one that exists.
    state = std::clamp(state, 0, 2);
    for (const tinyxml2::XMLElement* child = element->FirstChildElement("dox:control"); child;
         child = child->NextSiblingElement("dox:control")) {
        if (!layer->LoadControl(child, 0, 0)) {
            if (!IsKnownControlKind(child->Attribute("id")))
                SetModuleErrorFormat(L"无法识别的控件类型: %ls", TextAttribute(child, "id").c_str());
            return 0;
        }
    }
    return 1;
}

// The number behind "_page" at the end of a page id; -1 when there is none.
int PageNumber(const std::wstring& documentId, const std::wstring& pageId)
{
    std::wstring prefix = documentId + L"_page";
    if (pageId.compare(0, prefix.size(), prefix) != 0 || pageId.size() == prefix.size())
        return -1;
    long long value = 0;
    for (size_t i = prefix.size(); i < pageId.size(); ++i) {
        wchar_t c = pageId[i];
        if (c < L'0' || c > L'9')
            return -1;
        value = value * 10 + (c - L'0');
        if (value > INT32_MAX - 1)
            return -1;
    }
    return static_cast<int>(value);
}

int ReadPage(DoxPage* page, const tinyxml2::XMLElement* element)
{
    // Sizes and the base point are brought within the limits the page's own
    // operations keep, so a damaged template never makes a 0-sized paper.
    int32_t cx = std::clamp(NumberAttribute(element, "cx"), 400, 6000);
    int32_t cy = std::clamp(NumberAttribute(element, "cy"), 400, 6000);
    int32_t bpx = std::clamp(NumberAttribute(element, "bpx"), 0, 6000);
    int32_t bpy = std::clamp(NumberAttribute(element, "bpy"), -6000, 0);
    page->SetRead(TextAttribute(element, "id").c_str(), TextAttribute(element, "name").c_str(), cx, cy, bpx, bpy,
                  NumberAttribute(element, "bkpic_strecth") != 0 ? 1 : 0, TextAttribute(element, "bkpic").c_str());
    if (const tinyxml2::XMLElement* data = element->FirstChildElement("dox:datapage")) {
        if (!page->Data().ReadXml(const_cast<tinyxml2::XMLElement*>(data)))
            return 0;
    }
    const tinyxml2::XMLElement* manifest = element->FirstChildElement("dox:manifest");
    if (!manifest)
        return 1;
    for (const tinyxml2::XMLElement* child = manifest->FirstChildElement("dox:layer"); child;
         child = child->NextSiblingElement("dox:layer")) {
        DoxLayer* layer = page->AppendReadLayer();
        int state = 2;
        if (!ReadLayer(layer, child, state))
            return 0;
        page->SetLayerState(page->GetLayerCount() - 1, state);
    }
    if (!page->GetCurrentLayer() && page->GetLayerCount() > 0) {
        DoxLayer* first = page->GetLayer(0);
        page->MakeCurrent(first);
        first->SetStateValue(2);
    }
    return 1;
}

int ReadTemplate(DoxDocument* document, const tinyxml2::XMLElement* root)
{
    document->SetId(TextAttribute(root, "id").c_str());
    int32_t maxpid = std::max(0, NumberAttribute(root, "maxpid"));
    int read = 0;
    for (const tinyxml2::XMLElement* child = root->FirstChildElement("dox:page"); child;
         child = child->NextSiblingElement("dox:page")) {
        DoxPage* page = document->AppendReadPage();
        if (!ReadPage(page, child))
            return 0;
        ++read;
        // The counter must pass every page number in use, so a new page never
        // takes an id (and elements and bill tables) that a page already has.
        int number = PageNumber(document->GetId(), page->PageId());
        if (number >= maxpid)
            maxpid = number + 1;
    }
    document->SetMaxPid(maxpid);
    return read > 0 ? 1 : 0;
}

} // namespace

int WriteTemplateXml(DocElement* element, DoxDocument* document)
{
    if (!element || !document)
        return 0;
    tinyxml2::XMLDocument xml;
    xml.InsertEndChild(xml.NewDeclaration("xml version=\"1.0\" encoding=\"UTF-8\" "));
    tinyxml2::XMLElement* root = xml.NewElement("dox:template");
    xml.InsertEndChild(root);
    if (!WriteTemplate(root, document))
        return 0;
    tinyxml2::XMLPrinter printer;
    xml.Print(&printer);
    if (xml.Error()) {
        SetXmlError(xml);
        return 0;
    }
    // CStrSize counts the terminating NUL, which is stored with the text.
    if (!element->SetData(printer.CStr(), static_cast<uint32_t>(printer.CStrSize())))
        return 0;
    element->FreeData();
    return 1;
}

int ParseTemplateXmlBytes(const char* bytes, size_t size, DoxDocument* document)
{
    // The text ends at the stored NUL or at the element's end, whichever comes first.
    size_t length = bytes ? ::strnlen(bytes, size) : 0;
    tinyxml2::XMLDocument xml;
    if (xml.Parse(bytes ? bytes : "", length) != tinyxml2::XML_SUCCESS) {
        SetXmlError(xml);
        return 0;
    }
    const tinyxml2::XMLElement* root = xml.FirstChildElement();
    if (!root || std::strcmp(root->Name(), "dox:template") != 0) {
        SetModuleError(L"模板文档格式不正确!");
        return 0;
    }
    // Every refusal leaves a reason: the parts that know better set their own.
    ClearModuleError();
    if (ReadTemplate(document, root))
        return 1;
    if (!*GetModuleErrorText())
        SetModuleError(L"模板文档格式不正确!");
    return 0;
}

int ParseTemplateXml(DocElement* element, DoxDocument* document)
{
    if (!element || !document)
        return 0;
    bool wasLoaded = element->IsLoaded();
    const uint8_t* data = element->GetData();
    uint32_t size = element->GetSize();
    // Bytes that could not be read (a checksum or length failure) keep the store's
    // reason: they are not a damaged XML text.
    if (!data && size)
        return 0;
    std::string text(reinterpret_cast<const char*>(data ? data : reinterpret_cast<const uint8_t*>("")),
                     data ? size : 0);
    if (!wasLoaded && !element->IsDirty())
        element->FreeData();
    return ParseTemplateXmlBytes(text.data(), text.size(), document);
}
