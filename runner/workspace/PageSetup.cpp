#include "PageSetup.h"

#include "IDoxDocElement.h"
#include "IDoxPage.h"
#include "PrinterSettings.h"
#include "TiXmlW.h"

#include <cstring>

namespace
{

struct SetupField {
    const char* name;
    int PageSetupRecord::*field;
};

// Stored in this order.
const SetupField kFields[] = {
    {"Orientation", &PageSetupRecord::Orientation}, {"PaperSize", &PageSetupRecord::PaperSize},
    {"PaperWidth", &PageSetupRecord::PaperWidth},   {"PaperHeight", &PageSetupRecord::PaperHeight},
    {"TopOffset", &PageSetupRecord::TopOffset},     {"LeftOffset", &PageSetupRecord::LeftOffset},
    {"PageSpacing", &PageSetupRecord::PageSpacing},
};

const wchar_t kElementName[] = L"pager_param";

} // namespace

void PageSetupRecord::Reset()
{
    Orientation = 1;
    PaperSize = 256;
    PaperWidth = PaperHeight = TopOffset = LeftOffset = PageSpacing = 0;
    templateWidth = templateHeight = 0;
    set = 0;
    devMode.Free();
    errorText.clear();
}

bool ReadPageSetup(const TiXmlDocumentW& document, PageSetupRecord& record)
{
    TiXmlElementP root = document.RootElement();
    if (!root || QString::fromStdString(root.Value()).compare(QLatin1String("page_setup"), Qt::CaseInsensitive) != 0)
        return false;
    for (const SetupField& f : kFields) {
        if (TiXmlElementP child = root.FirstChildElement(f.name))
            child.Attribute("value", &(record.*f.field));
    }
    record.set = 1;
    return true;
}

bool WritePageSetup(const PageSetupRecord& record, TiXmlDocumentW& document)
{
    TiXmlElementP root = document.InsertEndChild("page_setup");
    if (!root)
        return false;
    for (const SetupField& f : kFields) {
        TiXmlElementP child = root.InsertEndChild(f.name);
        if (!child)
            return false;
        child.SetAttribute("value", record.*f.field);
    }
    return true;
}

void ReadPageSetupElement(IDoxPage* page, PageSetupRecord& record)
{
    if (!page)
        return;
    IDoxDocElement* element = page->GetUserElement(kElementName, 1);
    if (!element || element->GetSize() == 0) {
        if (element)
            element->ReleaseData();
        return;
    }
    const uint8_t* bytes = element->GetData();
    TiXmlDocumentW document;
    // The stored text ends with its NUL.
    const bool parsed = bytes && document.Parse(reinterpret_cast<const char*>(bytes),
                                                static_cast<long>(strnlen(reinterpret_cast<const char*>(bytes),
                                                                          element->GetSize())));
    element->ReleaseData();
    if (parsed)
        ReadPageSetup(document, record);
}

bool WritePageSetupElement(IDoxPage* page, const PageSetupRecord& record)
{
    if (!page)
        return false;
    TiXmlDocumentW document;
    if (!document.AddDeclaration() || !WritePageSetup(record, document))
        return false;
    const std::string text = document.Print();
    IDoxDocElement* element = page->GetUserElement(kElementName, 1);
    if (!element)
        return false;
    const bool ok = element->SetData(text.c_str(), static_cast<uint32_t>(text.size() + 1)) &&
                    element->SaveContainer();
    element->ReleaseData();
    return ok;
}

bool ApplyPageSetupToDevMode(PageSetupRecord& record, const plat::PrinterDescription& printer,
                             const DEVMODEW** devMode)
{
    *devMode = nullptr;
    if (!record.set || record.PaperWidth == 0 || record.PaperHeight == 0)
        return true;
    *devMode = HoldPrinterSettings(record.devMode, printer, record.Orientation, record.PaperSize, record.PaperWidth,
                                   record.PaperHeight, &record.errorText);
    return *devMode != nullptr;
}
