#include "PrinterSettings.h"

#include "Printers.h"

#include <cwchar>

namespace
{

std::wstring PrinterMessage(const wchar_t* format, const std::wstring& printer)
{
    wchar_t text[512];
    std::swprintf(text, 512, format, printer.c_str());
    return text;
}

} // namespace

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

QString MillimetreText(int tenths)
{
    return QString::number(tenths / 10.0, 'g', 14);
}
