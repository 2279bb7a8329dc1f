#include "DoxDocPictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>

#include "ByteStream.h"
#include "DC.h"
#include "DocElement.h"
#include "DoxDocument.h"
#include "DoxPage.h"
#include "DoxPageRunner.h"

namespace
{

constexpr int kScreenDpi = 96;
constexpr int kScreenDpm = 3780;

} // namespace

int TenthMmToScreenPixels(int32_t tenthMm)
{
    return static_cast<int>((static_cast<int64_t>(tenthMm) * kScreenDpi + 127) / 254);
}

bool ReadTemplateIcon(const wchar_t* path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    DoxDocTemplate document;
    if (!document.OpenContainer(path, nullptr))
        return false;
    // Asked first, so that reading an icon that is not there changes nothing.
    if (!document.HasElement(L"doc_dxtemplate_icon", 0))
        return false;
    DocElement* element = document.GetElement(L"doc_dxtemplate_icon", 0);
    const uint8_t* data = element ? element->GetData() : nullptr;
    if (!data || element->GetSize() == 0)
        return false;
    bytes.assign(data, data + element->GetSize());
    element->FreeData();
    return true;
}

bool RenderTemplatePreview(const wchar_t* path, std::vector<uint8_t>& jpeg)
{
    jpeg.clear();
    DoxDocTemplate document;
    if (!document.OpenContainer(path, nullptr))
        return false;
    if (!document.ParseFrom(document.OwnStore()))
        return false;
    auto* page = static_cast<DoxPage*>(document.GetPage(0));
    if (!page)
        return false;
    page->ViewAllLayers();

    QImage image(TenthMmToScreenPixels(page->Cx()), TenthMmToScreenPixels(page->Cy()), QImage::Format_RGB32);
    if (image.isNull())
        return false;
    image.setDotsPerMeterX(kScreenDpm);
    image.setDotsPerMeterY(kScreenDpm);
    image.fill(Qt::white);

    plat::ByteStream stream;
    if (page->LoadBackgroundStream(stream)) {
        QImage background;
        if (background.loadFromData(stream.Bytes())) {
            QPainter painter(&image);
            if (page->GetBackgroundStretch())
                painter.drawImage(QRect(0, 0, image.width(), image.height()), background);
            else
                painter.drawImage(QPoint(0, 0), background);
        }
    }

    DoxPageRunner runner;
    if (!runner.CreateTools(nullptr, nullptr, nullptr))
        return false;
    if (!AttachPageRunner(page, &runner))
        return false;
    {
        DCX dc;
        dc.AttachImage(&image);
        dc.SetZoom(100);
        runner.Paint(dc);
    }
    DetachPageRunner(&runner);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG") || bytes.isEmpty())
        return false;
    jpeg.assign(bytes.begin(), bytes.end());
    return true;
}
