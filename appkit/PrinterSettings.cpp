#include "PrinterSettings.h"

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

const DEVMODEW* HoldPrinterSettings(CDevMode& holder, const plat::PrinterDescription& printer, int orientation,
                                    int paperId, int width, int height, std::wstring* error)
{
    const std::wstring name = printer.name.toStdWString();
    if (!printer.exists) {
        *error = PrinterMessage(L"打开打印机失败:%ls，请确认是否正确安装打印机。", name);
        return nullptr;
    }
    DEVMODEW settings;
    if (plat::BuildPrinterSettings(printer, orientation, paperId, width, height, &settings) == plat::PaperFit::None) {
        holder.Free();
        *error = PrinterMessage(L"设置打印机属性失败:%ls，请确认是否正确安装打印机。", name);
        return nullptr;
    }
    DEVMODEW* dm = holder.Create(sizeof(DEVMODEW));
    if (!dm) {
        *error = L"内存不足！";
        return nullptr;
    }
    *dm = settings;
    return dm;
}

QString MillimetreText(int tenths)
{
    return QString::number(tenths / 10.0, 'g', 14);
}
