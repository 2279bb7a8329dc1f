#include "PrintedFile.h"

#include "UIUitl.h"

#include <QDir>
#include <QFileInfo>

QString PdfFileOf(const std::wstring& printer, const std::wstring& documentName)
{
    return plat::IsPdfPrinter(QString::fromStdWString(printer))
               ? plat::PdfPrinterOutputPath(QString::fromStdWString(documentName))
               : QString();
}

QString PrinterPlace(const plat::PrinterDetails& printer, const std::wstring& documentName)
{
    if (!plat::IsPdfPrinter(printer.name) || documentName.empty())
        return printer.port;
    return QDir::toNativeSeparators(plat::PdfPrinterOutputPath(QString::fromStdWString(documentName)));
}

void ReportPdfFile(const QString& path)
{
    if (!path.isEmpty() && QFileInfo(path).isFile())
        UIUitl::MessageBoxFormat(64, L"已打印到文件：%ls", QDir::toNativeSeparators(path).toStdWString().c_str());
}
