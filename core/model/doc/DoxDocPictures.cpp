#include "DoxDocPictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>

#include <cstdlib>

#include "ByteStream.h"
#include "DC.h"
#include "DocElement.h"
#include "DoxDocument.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxPageRunner.h"
#include "PictureRoutines.h"
#include "SystemColors.h"
#include "WindowDC.h"

namespace
{
// The text a made icon carries in its JPEG comment.
const char kPageIconKey[] = "DoxIcon";
const char kPageIconValue[] = "page";
constexpr int kIconSide = 96;
} // namespace

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

bool RenderPageBitmap(DoxPage* page, CBitmap& bitmap)
{
    if (!page)
        return false;
    page->ViewAllLayers();
    DoxPageRunner runner;
    if (!runner.CreateTools(nullptr, nullptr, nullptr) || !AttachPageRunner(page, &runner))
        return false;

    try {
        // The page size in screen pixels, through the screen's 0.1 mm mapping.
        CClientDCX screen(nullptr);
        SIZE size{page->Cx(), page->Cy()};
        const int previous = screen.SetTenthMmMapping();
        screen.LPtoDP(&size);
        screen.SetMapMode(previous);
        const int width = std::abs(size.cx);
        const int height = std::abs(size.cy);
        if (!bitmap.CreateBitmap(width, height)) {
            DetachPageRunner(&runner);
            return false;
        }

        DCX memory;
        memory.CreateCompatibleDC(&screen);
        memory.SetZoom(100);
        CBitmap* old = memory.SelectObject(&bitmap);
        memory.SetMapMode(1);
        memory.FillSolidRect(0, 0, width, height, GetSysColor(COLOR_WINDOW));

        plat::ByteStream stream;
        ImageHolder background;
        if (page->LoadBackgroundStream(stream) && GdiplusBitmapFromStream(background, stream.Bytes())) {
            if (page->GetBackgroundStretch())
                GdiplusDrawImageRect(&memory, background, 0, 0, width, height);
            else
                GdiplusDrawImage(&memory, background, 0, 0);
        }

        runner.Paint(memory);
        memory.SelectObject(old);
    } catch (const DoxResourceException&) {
        DetachPageRunner(&runner);
        return false;
    }
    DetachPageRunner(&runner);
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
    CBitmap bitmap;
    if (!page || !RenderPageBitmap(page, bitmap))
        return false;

    ImageHolder picture;
    if (!GdiplusBitmapFromHBITMAP(picture, &bitmap))
        return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!GdiplusSaveJpeg(picture, &buffer) || bytes.isEmpty())
        return false;
    jpeg.assign(bytes.begin(), bytes.end());
    return true;
}

bool RenderPageIcon(DoxPage* page, QByteArray& jpeg)
{
    jpeg.clear();
    if (!page)
        return false;
    // The bitmap is painted with every layer drawn; a window showing the page keeps
    // the layers it was given.
    const std::vector<DoxLayer*> drawn = page->DrawList();
    CBitmap bitmap;
    const bool painted = RenderPageBitmap(page, bitmap);
    page->ClearLayerView();
    for (DoxLayer* layer : drawn)
        page->ViewLayerByName(layer->GetName().c_str());
    ImageHolder picture;
    if (!painted || !GdiplusBitmapFromHBITMAP(picture, &bitmap))
        return false;
    QImage icon(kIconSide, kIconSide, QImage::Format_RGB32);
    icon.fill(Qt::white);
    {
        const QImage shrunk = picture->image.scaled(kIconSide - 2, kIconSide - 2, Qt::KeepAspectRatio,
                                                    Qt::SmoothTransformation);
        QPainter painter(&icon);
        painter.drawImage((kIconSide - shrunk.width()) / 2, (kIconSide - shrunk.height()) / 2, shrunk);
    }
    constexpr int kScreenDpm = 3780; // 96 dots per inch, as every stored icon
    icon.setDotsPerMeterX(kScreenDpm);
    icon.setDotsPerMeterY(kScreenDpm);
    icon.setText(QString::fromLatin1(kPageIconKey), QString::fromLatin1(kPageIconValue));
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    return icon.save(&buffer, "JPEG") && !jpeg.isEmpty();
}

bool IsPageIcon(const QByteArray& jpeg)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "JPEG");
    return reader.text(QString::fromLatin1(kPageIconKey)) == QLatin1String(kPageIconValue);
}
