#include "PageSetup.h"

#include "HeaderDialog.h"
#include "IDoxDocElement.h"
#include "IDoxPage.h"
#include "Printers.h"
#include "TiXmlW.h"

#include <QString>

#include <cstring>
#include <cwchar>

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

std::wstring PrinterMessage(const wchar_t* format, const std::wstring& printer)
{
    wchar_t text[512];
    std::swprintf(text, 512, format, printer.c_str());
    return text;
}

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
    CWaitCursor wait;
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
    CWaitCursor wait;
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

const DEVMODEW* BuildPrinterDevMode(CDevMode& holder, const std::wstring& printerName, int orientation, int paperId,
                                    int width, int height, std::wstring* error)
{
    const QString name = QString::fromStdWString(printerName);
    if (!plat::PrinterExists(name)) {
        *error = PrinterMessage(L"打开打印机失败:%ls，请确认是否正确安装打印机。", printerName);
        return nullptr;
    }
    DEVMODEW* dm = holder.Create(sizeof(DEVMODEW));
    if (!dm) {
        *error = L"内存不足！";
        return nullptr;
    }
    *dm = plat::DefaultDevMode(name);
    dm->dmFields |= DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH;
    dm->dmOrientation = static_cast<int16_t>(orientation);
    dm->dmPaperSize = static_cast<int16_t>(paperId);
    dm->dmPaperWidth = static_cast<int16_t>(width);
    dm->dmPaperLength = static_cast<int16_t>(height);
    // What the driver would refuse: a paper it cannot size. A user size the printer
    // does not take prints on the nearest paper that holds it (or the printer's
    // default), as the same page without a setup does.
    if (!plat::PageSizeOf(*dm).isValid() || plat::FitUserPaper(name, *dm) == plat::PaperFit::None) {
        holder.Free();
        *error = PrinterMessage(L"设置打印机属性失败:%ls，请确认是否正确安装打印机。", printerName);
        return nullptr;
    }
    return dm;
}

bool ApplyPageSetupToDevMode(PageSetupRecord& record, const std::wstring& printerName, const DEVMODEW** devMode)
{
    *devMode = nullptr;
    if (!record.set || record.PaperWidth == 0 || record.PaperHeight == 0)
        return true;
    *devMode = BuildPrinterDevMode(record.devMode, printerName, record.Orientation, record.PaperSize, record.PaperWidth,
                                   record.PaperHeight, &record.errorText);
    return *devMode != nullptr;
}

QString MillimetreText(int tenths)
{
    return QString::number(tenths / 10.0, 'g', 14);
}
