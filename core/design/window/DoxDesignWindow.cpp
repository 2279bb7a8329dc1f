#include "DoxDesignWindow.h"

#include <QApplication>
#include <QBuffer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QWheelEvent>

#include <algorithm>

#include "ByteStream.h"
#include "DoxControl.h"
#include "DoxControlClipboard.h"
#include "DoxDC.h"
#include "DoxDesignCursors.h"
#include "DoxEditSplit.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxPrinter.h"
#include "DrawUnits.h"
#include "IDoxWindowUISink.h"
#include "Messages.h"
#include "ModuleError.h"
#include "PictureRoutines.h"
#include "SystemColors.h"
#include "WindowDC.h"

namespace
{
constexpr uint32_t kWsVisible = 0x10000000;
constexpr int kMinZoom = 50;
constexpr int kMaxZoom = 150;
constexpr int kZoomStep = 25;
constexpr COLORREF kRubberBand = 0x404040;

const wchar_t kNoApplication[] = L"创建设计窗口失败：程序没有图形界面。";
const wchar_t kNoWindow[] = L"创建设计窗口失败。";
const wchar_t kPageShownElsewhere[] = L"该页面已在另一个设计窗口中打开。";
const wchar_t kNoPageName[] = L"页面名不能为空。";
const wchar_t kNoLayerName[] = L"层名不能为空";
const wchar_t kCreateFailed[] = L"创建控件失败!";
const wchar_t kPictureFailed[] = L"加载背景图片失败。";
const wchar_t kPrintFailed[] = L"打印网格失败。";

uint32_t MouseFlags(const QMouseEvent* event)
{
    return plat::KeyStateFromQt(event->modifiers(), event->buttons());
}

bool Empty(const wchar_t* text)
{
    return !text || !*text;
}

SIZE PixelsOf(int zoom, int cx, int cy)
{
    SIZE size{cx, cy};
    TenthMmToPixels(zoom, &size);
    return size;
}

int ScrollBarWidth()
{
    static const int width = GetSystemMetrics(SM_CXVSCROLL);
    return width;
}

int ScrollBarHeight()
{
    static const int height = GetSystemMetrics(SM_CYHSCROLL);
    return height;
}
} // namespace

// ---------------------------------------------------------------- canvas

DoxDesignClient::DoxDesignClient(DoxDesignWindow* window, QWidget* parent) : QWidget(parent), window_(window)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    ShowToolCursor();
}

DoxDesignClient::~DoxDesignClient()
{
    DetachPage();
}

bool DoxDesignClient::Create()
{
    collection_.UpdateName();
    return Init(this, this) != 0;
}

IDoxWindowUISink* DoxDesignClient::SetUISink(IDoxWindowUISink* sink)
{
    uiSink_ = sink;
    window_->SetUISink(sink);
    window_->NClient()->SetUISink(sink);
    window_->NClient()->update();
    return sink;
}

QWidget* DoxDesignClient::GetHwnd()
{
    return window_;
}

int DoxDesignClient::MoveWindow(int x, int y, int cx, int cy)
{
    window_->setGeometry(x, y, cx, cy);
    return 1;
}

void DoxDesignClient::PaintToDC(CDC* dc)
{
    if (dc)
        window_->PaintCorner(*dc);
}

void DoxDesignClient::UpdateLayout(int /*unused1*/, int /*unused2*/)
{
    if (page_)
        ApplyPageGeometry(true);
}

IDoxDesignWindowSink* DoxDesignClient::SetDesignSink(IDoxDesignWindowSink* sink)
{
    IDoxDesignWindowSink* previous = designSink_;
    designSink_ = sink;
    return previous;
}

void DoxDesignClient::RefreshSelection()
{
    OnSelectionChanged(GetPrimary());
}

IDoxPage* DoxDesignClient::GetPage()
{
    return page_;
}

int DoxDesignClient::AttachPage(IDoxPage* page)
{
    Batch batch(this);
    if (page_)
        DetachPage();
    auto* doxPage = dynamic_cast<DoxPage*>(page);
    if (!doxPage)
        return 0;
    // One page, one design window: a second view would take the page's controls
    // away from the first.
    if (doxPage->GetView() && doxPage->GetView() != this) {
        SetModuleError(kPageShownElsewhere);
        return 0;
    }
    if (!doxPage->AttachView(this)) {
        // Nothing may keep pointing at this window once the attach failed.
        doxPage->DetachView();
        return 0;
    }
    page_ = doxPage;
    ApplyPageGeometry(true);
    return 1;
}

void DoxDesignClient::DetachPage()
{
    if (!page_)
        return;
    page_->DetachView();
    page_ = nullptr;
    background_.DeleteObject();
    feedback_.clear();
    dragging_ = false;
    update();
}

void DoxDesignClient::ApplyPageGeometry(bool compose)
{
    if (!page_)
        return;
    window_->SetPageGeometry(page_->Cx(), page_->Cy());
    GrabCanvas::SetPageRect(page_->Cx(), page_->Cy(), page_->Bpx(), page_->Bpy());
    if (compose)
        ComposeBackground();
    update();
}

int DoxDesignClient::SetPageSize(int cx, int cy)
{
    ClearModuleError();
    if (!page_)
        return 0;
    if (cx == page_->Cx() && cy == page_->Cy())
        return 1;
    if (!page_->SetSize(cx, cy))
        return 0;
    ApplyPageGeometry(true);
    return 1;
}

int DoxDesignClient::SetPageName(const wchar_t* name)
{
    ClearModuleError();
    if (Empty(name)) {
        SetModuleError(kNoPageName);
        return 0;
    }
    return page_ ? page_->SetName(name) : 0;
}

int DoxDesignClient::SetPageBasePoint(int x, int y)
{
    ClearModuleError();
    if (!page_)
        return 0;
    if (page_->Bpx() == x && page_->Bpy() == -y)
        return 1;
    if (!page_->SetBasePoint(x, -y))
        return 0;
    const POINT at = Marker().GetPoint();
    if (at.x != x || at.y != -y)
        Marker().MoveTo(x, -y);
    update();
    return 1;
}

int DoxDesignClient::SetBackgroundPicture(const wchar_t* path, int applySize)
{
    ClearModuleError();
    if (!page_)
        return 0;
    if (Empty(path)) {
        if (!page_->HasBackgroundImage())
            return 1;
        page_->RemoveBackgroundImage();
        ComposeBackground();
        update();
        return 1;
    }
    ImageHolder picture;
    ImageHolder normalized;
    if (!GdiplusBitmapFromFile(picture, path) || !NormalizeImageResolution(picture, normalized)) {
        SetModuleError(kPictureFailed);
        return 0;
    }
    const SIZE pixels = GdiplusGetImageSize(picture);
    auto tenthMm = [](int count, double dpi) {
        return static_cast<int>(count * 254.0 / (dpi > 0 ? dpi : ScreenDpi));
    };
    const int cx = tenthMm(pixels.cx, GdiplusGetImageHorizontalResolution(picture));
    const int cy = tenthMm(pixels.cy, GdiplusGetImageVerticalResolution(picture));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!GdiplusSaveJpeg(normalized, &buffer) || bytes.isEmpty()) {
        SetModuleError(kPictureFailed);
        return 0;
    }
    // The size is tried before the picture is stored: a refused size leaves the
    // page's picture as it was, and a picture that cannot be stored puts the size back.
    const int oldCx = page_->Cx();
    const int oldCy = page_->Cy();
    if (applySize && !page_->SetSize(cx, cy))
        return 0;
    if (!page_->SetBackgroundImage(plat::ByteStream(bytes), path)) {
        if (applySize)
            page_->SetSize(oldCx, oldCy);
        return 0;
    }
    ApplyPageGeometry(true);
    return 1;
}

int DoxDesignClient::SetBackgroundStretch(int mode)
{
    if (!page_ || page_->GetBackgroundStretch() == mode)
        return 1;
    page_->SetRead(page_->PageId().c_str(), page_->GetName(), page_->Cx(), page_->Cy(), page_->Bpx(),
                   page_->Bpy(), mode, page_->Bkpic().c_str());
    page_->SetModified();
    ComposeBackground();
    update();
    return 1;
}

int DoxDesignClient::GetBackgroundStretch()
{
    return page_ ? page_->GetBackgroundStretch() : 0;
}

int DoxDesignClient::IsBackgroundVisible()
{
    return showBackground_ ? 1 : 0;
}

void DoxDesignClient::ShowBackground(int show)
{
    if ((show != 0) == showBackground_)
        return;
    showBackground_ = show != 0;
    ComposeBackground();
    update();
}

void DoxDesignClient::RebuildVisibleLayers()
{
    if (page_)
        page_->ViewAllLayers();
}

void DoxDesignClient::ClearVisibleLayers()
{
    if (page_)
        page_->ClearLayerView();
}

int DoxDesignClient::PrintGrid(const wchar_t* printerName)
{
    ClearModuleError();
    if (!page_)
        return 0;
    DoxPrinter printer;
    auto fail = [&printer] {
        if (!*GetModuleErrorText())
            SetModuleError(printer.GetErrorText().empty() ? kPrintFailed : printer.GetErrorText().c_str());
        return 0;
    };
    if (!printer.Open(printerName, page_->Cx(), page_->Cy(), 0, L"print grid"))
        return fail();
    // The grid is drawn on a started page, and the job is ended either way.
    if (!printer.StartPage()) {
        printer.EndDoc(false);
        return fail();
    }
    printer.SetMapMode(MM_LOMETRIC);
    DrawGrid(&printer);
    const bool ended = printer.EndPage();
    if (!printer.EndDoc(ended) || !ended)
        return fail();
    return 1;
}

void DoxDesignClient::RenumberTabOrder()
{
    // The page keeps the base point the canvas shows, then the fill-in order is
    // numbered 0..n-1.
    if (page_) {
        const POINT at = GetBasePoint();
        page_->SetBasePoint(at.x, at.y);
    }
    GrabCanvas::RenumberTabOrder();
}

int DoxDesignClient::GetTool()
{
    return tool_;
}

void DoxDesignClient::SetTool(int tool)
{
    tool_ = tool;
    ShowToolCursor();
}

void DoxDesignClient::SetSnapToGrid(int on)
{
    if ((on != 0) == GetSnap())
        return;
    SetSnap(on != 0);
    ComposeBackground();
    update();
}

int DoxDesignClient::IsSnapToGrid()
{
    return GetSnap() ? 1 : 0;
}

void DoxDesignClient::SetTabOrderMode(int on)
{
    GrabCanvas::SetTabOrderMode(on);
}

int DoxDesignClient::IsTabOrderMode()
{
    return InTabOrderMode() ? 1 : 0;
}

std::vector<GrabNode*> DoxDesignClient::SelectedNodes() const
{
    std::vector<GrabNode*> selected;
    GrabLayer* layer = GetCurrentLayer();
    if (!layer)
        return selected;
    if (PrimarySelected())
        selected.push_back(layer->primary);
    selected.insert(selected.end(), layer->secondaries.rbegin(), layer->secondaries.rend());
    return selected;
}

int DoxDesignClient::GetSelectedCount()
{
    return static_cast<int>(SelectedNodes().size());
}

void DoxDesignClient::AlignTop()
{
    Batch batch(this);
    GrabCanvas::AlignTop();
}
void DoxDesignClient::AlignBottom()
{
    Batch batch(this);
    GrabCanvas::AlignBottom();
}
void DoxDesignClient::AlignLeft()
{
    Batch batch(this);
    GrabCanvas::AlignLeft();
}
void DoxDesignClient::AlignRight()
{
    Batch batch(this);
    GrabCanvas::AlignRight();
}
void DoxDesignClient::AlignVertCenterLine()
{
    Batch batch(this);
    GrabCanvas::AlignVertCenterLine();
}
void DoxDesignClient::AlignHorzCenterLine()
{
    Batch batch(this);
    GrabCanvas::AlignHorzCenterLine();
}
void DoxDesignClient::SpaceEvenlyHorz()
{
    Batch batch(this);
    GrabCanvas::SpaceEvenlyHorz();
}
void DoxDesignClient::SpaceEvenlyVert()
{
    Batch batch(this);
    GrabCanvas::SpaceEvenlyVert();
}
void DoxDesignClient::CenterHorz()
{
    Batch batch(this);
    GrabCanvas::CenterHorz();
}
void DoxDesignClient::CenterVert()
{
    Batch batch(this);
    GrabCanvas::CenterVert();
}
void DoxDesignClient::RemoveSpaceHorz()
{
    Batch batch(this);
    GrabCanvas::RemoveSpaceHorz();
}
void DoxDesignClient::RemoveSpaceVert()
{
    Batch batch(this);
    GrabCanvas::RemoveSpaceVert();
}
void DoxDesignClient::SameWidth()
{
    Batch batch(this);
    GrabCanvas::SameWidth();
}
void DoxDesignClient::SameHeight()
{
    Batch batch(this);
    GrabCanvas::SameHeight();
}
void DoxDesignClient::SameSize()
{
    Batch batch(this);
    GrabCanvas::SameSize();
}

void DoxDesignClient::MarkModified()
{
    if (page_)
        page_->SetModified();
}

void DoxDesignClient::CutSelection()
{
    Batch batch(this);
    Copy();
    if (page_ && GetSelectedCount() > 0 && DeleteSelection())
        MarkModified();
}

void DoxDesignClient::Cut()
{
    CutSelection();
}

void DoxDesignClient::Paste()
{
    Batch batch(this);
    if (page_)
        PasteControls(*page_, *this);
}

int DoxDesignClient::CanPaste()
{
    return CanPasteControls() ? 1 : 0;
}

void DoxDesignClient::Copy()
{
    if (!page_)
        return;
    // With nothing selected the user's clipboard keeps what it holds.
    if (GetSelectedCount() == 0)
        page_->ResetPasteOffset();
    else
        CopyControls(*page_, *this);
}

void DoxDesignClient::EvenCells()
{
    if (!InTabOrderMode() && GetSelectedCount() == 1 && GetPrimary())
        GetPrimary()->GetObject()->RelayoutAndRedraw();
}

int DoxDesignClient::CanEvenCells()
{
    if (InTabOrderMode() || GetSelectedCount() != 1 || !GetPrimary())
        return 0;
    return GetPrimary()->GetObject()->HasSplit() ? 1 : 0;
}

void DoxDesignClient::SelectAll()
{
    Batch batch(this);
    GrabCanvas::SelectAll();
}

DoxLayer* DoxDesignClient::LayerAt(int index) const
{
    return page_ ? page_->GetLayer(index) : nullptr;
}

const wchar_t* DoxDesignClient::MakeNewLayerName()
{
    return page_ ? page_->MakeNewLayerName() : nullptr;
}

int DoxDesignClient::AddLayer(const wchar_t* name)
{
    ClearModuleError();
    if (!page_)
        return 0;
    if (Empty(name)) {
        SetModuleError(kNoLayerName);
        return 0;
    }
    if (page_->FindLayerIndex(name) >= 0) {
        SetModuleErrorFormat(L"\"%ls\" 层已经存在", name);
        return 0;
    }
    if (!page_->AddLayer(name))
        return 0;
    ClearSelection(0);
    update();
    return 1;
}

int DoxDesignClient::RemoveLayer(int index)
{
    ClearModuleError();
    if (!LayerAt(index) || !page_->RemoveLayer(index))
        return 0;
    update();
    return 1;
}

int DoxDesignClient::FindLayerIndex(const wchar_t* name)
{
    return page_ ? page_->FindLayerIndex(name) : -1;
}

int DoxDesignClient::GetLayerCount()
{
    return page_ ? page_->GetLayerCount() : 0;
}

const wchar_t* DoxDesignClient::GetLayerName(int index)
{
    DoxLayer* layer = LayerAt(index);
    return layer ? layer->GetName().c_str() : nullptr;
}

int DoxDesignClient::RenameLayer(int index, const wchar_t* name)
{
    ClearModuleError();
    if (Empty(name)) {
        SetModuleError(kNoLayerName);
        return 0;
    }
    if (!LayerAt(index))
        return 0;
    return page_->RenameLayer(index, name);
}

int DoxDesignClient::GetLayerState(int index)
{
    DoxLayer* layer = LayerAt(index);
    return layer ? layer->GetState() : 0;
}

int DoxDesignClient::SetLayerState(int index, int state)
{
    if (!LayerAt(index) || !page_->SetLayerState(index, state))
        return 0;
    update();
    return 1;
}

int DoxDesignClient::IsLayerLocked(int index)
{
    DoxLayer* layer = LayerAt(index);
    return layer ? layer->GetLock() : 0;
}

void DoxDesignClient::SetLayerLocked(int index, int locked)
{
    DoxLayer* layer = LayerAt(index);
    if (!layer)
        return;
    if ((locked != 0) != (layer->GetLock() != 0)) {
        layer->SetLock(locked);
        MarkModified();
    }
    update();
}

int DoxDesignClient::GetZoom()
{
    return zoom_;
}

int DoxDesignClient::ZoomBy(int delta)
{
    window_->ApplyZoom(zoom_ + kZoomStep * (delta / kZoomStep));
    return zoom_;
}

int DoxDesignClient::SetZoom(int percent)
{
    window_->ApplyZoom(percent);
    return zoom_;
}

void DoxDesignClient::FinalRelease()
{
    DetachPage();
    // The outer window owns this canvas: deleting it deletes every part.
    delete window_;
}

void DoxDesignClient::ApplyZoom(int zoom)
{
    zoom_ = zoom;
    GrabCanvas::SetZoom(zoom);
    // The background keeps its bitmap and is stretched until the next composition.
    update();
}

void DoxDesignClient::OnBasePointMoved(int x, int y)
{
    if (page_)
        page_->SetBasePoint(x, y);
}

DoxDesignClient::Batch::~Batch()
{
    if (--client_->batchDepth_ > 0)
        return;
    if (std::exchange(client_->selectionPending_, false))
        client_->ReportSelection();
    if (std::exchange(client_->modifiedPending_, false) && client_->designSink_)
        client_->designSink_->OnModified();
}

void DoxDesignClient::OnSelectionChanged(GrabNode* /*primary*/)
{
    if (batchDepth_ > 0) {
        selectionPending_ = true;
        return;
    }
    ReportSelection();
}

void DoxDesignClient::ReportSelection()
{
    if (!designSink_)
        return;
    const std::vector<GrabNode*> selected = SelectedNodes();
    auto setOf = [](GrabNode* node) {
        return static_cast<DoxAttribSet*>(node && node->GetObject() ? node->GetObject()->CastTo(2) : nullptr);
    };
    if (selected.size() == 1 && setOf(selected.front())) {
        designSink_->OnSelectionChanged(setOf(selected.front()));
        return;
    }
    collection_.Begin(selected.empty() ? nullptr : setOf(selected.front()));
    for (size_t i = 1; i < selected.size(); ++i)
        collection_.Intersect(setOf(selected[i]));
    collection_.UpdateName();
    designSink_->OnSelectionChanged(&collection_);
}

void DoxDesignClient::OnModified()
{
    if (batchDepth_ > 0) {
        modifiedPending_ = true;
        return;
    }
    if (designSink_)
        designSink_->OnModified();
}

void DoxDesignClient::OnChange()
{
    OnModified();
}

// ---- GrabHost

RECT DoxDesignClient::ToDevice(const RECT& logical)
{
    auto dc = MakeClientDCX(2, zoom_);
    RECT px = logical;
    dc->LPtoDP(&px);
    return RECT{std::min(px.left, px.right), std::min(px.top, px.bottom), std::max(px.left, px.right),
                std::max(px.top, px.bottom)};
}

SIZE DoxDesignClient::PixelsToLogical(SIZE pixels)
{
    ::PixelsToLogical(2, zoom_, &pixels);
    return pixels;
}

void DoxDesignClient::Invalidate(const RECT* device, bool /*erase*/)
{
    if (device)
        update(QRect(device->left, device->top, device->right - device->left, device->bottom - device->top));
    else
        update();
}

void DoxDesignClient::RedrawNow(const RECT& device)
{
    Invalidate(&device, false);
}

void DoxDesignClient::Validate(const RECT& /*device*/)
{
    // Qt keeps no update region to take an area out of; the next paint draws the
    // same state again.
}

void DoxDesignClient::UpdateWindow()
{
    update();
}

void DoxDesignClient::SetCapture()
{
    grabMouse();
}

void DoxDesignClient::ReleaseCapture()
{
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

bool DoxDesignClient::HasCapture()
{
    return QWidget::mouseGrabber() == this;
}

void DoxDesignClient::ShowToolCursor()
{
    QWidget::setCursor(DesignToolCursor(tool_));
    toolCursor_ = true;
}

void DoxDesignClient::SetCursor(GrabCursor cursor)
{
    toolCursor_ = false;
    switch (cursor) {
    case GrabCursor::SizeNS:
        QWidget::setCursor(Qt::SizeVerCursor);
        break;
    case GrabCursor::SizeWE:
        QWidget::setCursor(Qt::SizeHorCursor);
        break;
    case GrabCursor::SizeNESW:
        QWidget::setCursor(Qt::SizeBDiagCursor);
        break;
    case GrabCursor::SizeNWSE:
        QWidget::setCursor(Qt::SizeFDiagCursor);
        break;
    case GrabCursor::SizeAll:
        QWidget::setCursor(Qt::SizeAllCursor);
        break;
    case GrabCursor::Hand:
        QWidget::setCursor(Qt::PointingHandCursor);
        break;
    case GrabCursor::Copy:
        QWidget::setCursor(Qt::DragCopyCursor);
        break;
    default:
        ShowToolCursor();
        break;
    }
}

// Outlines are kept as a list that toggles: drawing one twice removes it, and
// every paint shows exactly the list, so a repaint in the middle of a drag never
// leaves a stray outline behind nor loses one.
void DoxDesignClient::Toggle(const Outline& outline)
{
    auto it = std::find(feedback_.begin(), feedback_.end(), outline);
    if (it != feedback_.end())
        feedback_.erase(it);
    else
        feedback_.push_back(outline);
    update();
}

void DoxDesignClient::DrawFeedbackRect(const RECT& logical)
{
    Toggle(Outline{false, logical});
}

void DoxDesignClient::DrawFeedbackLine(int x1, int y1, int x2, int y2)
{
    Toggle(Outline{true, RECT{x1, y1, x2, y2}});
}

// ---- background and painting

void DoxDesignClient::ComposeBackground()
{
    background_.DeleteObject();
    if (!page_ || !background_.CreateBitmap(std::max(1, width()), std::max(1, height())))
        return;
    DCX mem;
    if (!mem.CreateCompatibleDC(nullptr))
        return;
    mem.SelectObject(&background_);
    const SIZE size = background_.GetSize();
    const RECT client{0, 0, size.cx, size.cy};
    mem.FillSolidRect(client, GetSysColor(COLOR_WINDOW));
    if (showBackground_) {
        plat::ByteStream stream;
        ImageHolder picture;
        if (page_->LoadBackgroundStream(stream) && GdiplusBitmapFromStream(picture, stream.Bytes())) {
            if (page_->GetBackgroundStretch()) {
                GdiplusDrawImageRect(&mem, picture, 0, 0, size.cx, size.cy);
            } else {
                // At its physical size from its own resolution, as the fill-in window and
                // the printed page place it, scaled by the zoom like the canvas itself.
                const SIZE natural = GdiplusGetImageDeviceSize(&mem, picture, zoom_);
                GdiplusDrawImageRect(&mem, picture, 0, 0, natural.cx, natural.cy);
            }
        }
    }
    const CPen edge(PS_SOLID, 1, 0);
    const CPen old = mem.SelectObject(edge);
    mem.MoveTo(client.right - 1, client.top);
    mem.LineTo(client.right - 1, client.bottom);
    mem.MoveTo(client.left, client.bottom - 1);
    mem.LineTo(client.right, client.bottom - 1);
    mem.SelectObject(old);
    mem.SetZoom(zoom_);
    DrawGrid(&mem);
    mem.DeleteDC();
}

void DoxDesignClient::paintEvent(QPaintEvent* /*event*/)
{
    try {
        DoxPaintDC dc(this, nullptr, zoom_);
        if (background_.IsCreated()) {
            const int saved = dc.SetMapMode(1);
            dc.CDC::SetMapMode(MM_TEXT);
            background_.StretchTo(&dc, width(), height());
            dc.SetMapMode(saved);
        } else {
            dc.FillSolidRect(RECT{0, 0, width(), height()}, GetSysColor(COLOR_WINDOW));
            dc.SetMapMode(1);
        }
        if (!page_)
            return;
        Paint(&dc);
        if (feedback_.empty())
            return;
        dc.SetMapMode(2);
        const CPen pen(PS_DOT, 1, kRubberBand);
        const CPen oldPen = dc.SelectObject(pen);
        CBrush hollow;
        hollow.CreateHollowBrush();
        const CBrush oldBrush = dc.SelectObject(hollow);
        const int rop = dc.SetROP2(R2_NOTXORPEN);
        for (const Outline& outline : feedback_) {
            if (outline.line) {
                dc.MoveTo(outline.r.left, outline.r.top);
                dc.LineTo(outline.r.right, outline.r.bottom);
            } else {
                dc.Rectangle(outline.r);
            }
        }
        dc.SetROP2(rop);
        dc.SelectObject(oldBrush);
        dc.SelectObject(oldPen);
    } catch (const DoxResourceException&) {
        // Nothing to paint into: the next paint tries again.
    }
}

// ---- mouse and keys

POINT DoxDesignClient::ToLogical(QPoint point, bool clamp) const
{
    if (clamp) {
        point.setX(std::clamp(point.x(), 0, std::max(0, width() - 1)));
        point.setY(std::clamp(point.y(), 0, std::max(0, height() - 1)));
    }
    auto dc = MakeClientDCX(2, zoom_);
    POINT p{point.x(), point.y()};
    dc->DPtoLP(&p);
    return p;
}

void DoxDesignClient::ButtonDown(QPoint point, uint32_t flags, bool right)
{
    Batch batch(this);
    setFocus(Qt::MouseFocusReason);
    if (right || !page_)
        return;
    if (tool_ == kDesignPointerTool) {
        const POINT at = ToLogical(point, false);
        const bool taken = OnLButtonDown(static_cast<int>(flags), at.x, at.y) != 0;
        // Only the current layer's controls can be selected: a click on another
        // layer's control would otherwise select nothing without a word.
        const DoxLayer* other = taken || InTabOrderMode() ? nullptr : OtherLayerAt(at);
        if (other || layerPromptShown_) {
            layerPromptShown_ = other != nullptr;
            const QString name = other ? QString::fromStdWString(other->GetName()) : QString();
            QStatusTipEvent tip(other ? QStringLiteral("该控件在“%1”层，不是当前层，不能选中。").arg(name)
                                      : QString());
            QCoreApplication::sendEvent(this, &tip);
        }
        if (taken)
            return;
    }
    ClearSelection(1);
    ShowToolCursor();
    start_ = current_ = ToLogical(point, true);
    DrawFeedbackRect(RECT{start_.x, start_.y, current_.x, current_.y});
    dragging_ = true;
    grabMouse();
}

const DoxLayer* DoxDesignClient::OtherLayerAt(POINT at) const
{
    // Later layers are drawn over earlier ones, so they are asked first.
    for (int i = page_->GetLayerCount() - 1; i >= 0; --i) {
        const DoxLayer* layer = page_->GetLayer(i);
        if (layer->GetState() != 1)
            continue;
        for (DoxControl* control : layer->Controls()) {
            RECT r{};
            control->GetRect(&r);
            if (at.x >= std::min(r.left, r.right) && at.x <= std::max(r.left, r.right) &&
                at.y >= std::min(r.top, r.bottom) && at.y <= std::max(r.top, r.bottom))
                return layer;
        }
    }
    return nullptr;
}

void DoxDesignClient::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        ButtonDown(event->position().toPoint(), MouseFlags(event), event->button() == Qt::RightButton);
}

void DoxDesignClient::mouseMoveEvent(QMouseEvent* event)
{
    Batch batch(this);
    const QPoint p = event->position().toPoint();
    if (tool_ == kDesignPointerTool && page_) {
        const POINT at = ToLogical(p, false);
        if (OnMouseMove(static_cast<int>(MouseFlags(event)), at.x, at.y))
            return;
    }
    // Nothing under the mouse took the move: a resize or move cursor set over a
    // handle gives way to the tool's own.
    if (!toolCursor_)
        ShowToolCursor();
    const POINT at = ToLogical(p, true);
    window_->HRuler()->Track(at.x, at.y);
    window_->VRuler()->Track(at.x, at.y);
    if (!dragging_ || (at.x == current_.x && at.y == current_.y))
        return;
    DrawFeedbackRect(RECT{start_.x, start_.y, current_.x, current_.y});
    current_ = at;
    DrawFeedbackRect(RECT{start_.x, start_.y, current_.x, current_.y});
}

void DoxDesignClient::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const uint32_t flags = MouseFlags(event);
    if (event->button() == Qt::RightButton) {
        // The program's menu runs its own commands, each reported as it goes.
        if (uiSink_)
            uiSink_->OnRButtonUp(flags, p.x(), p.y());
        return;
    }
    Batch batch(this);
    if (event->button() != Qt::LeftButton)
        return;
    if (tool_ == kDesignPointerTool && page_) {
        const POINT at = ToLogical(p, false);
        if (OnLButtonUp(static_cast<int>(flags), at.x, at.y))
            return;
    }
    if (dragging_) {
        DrawFeedbackRect(RECT{start_.x, start_.y, current_.x, current_.y});
        const POINT end = ToLogical(p, true);
        // y points up: the top edge is the larger y.
        const RECT rect{std::min(start_.x, end.x), std::max(start_.y, end.y), std::max(start_.x, end.x),
                        std::min(start_.y, end.y)};
        if (tool_ == kDesignPointerTool) {
            SelectInRect(rect);
        } else if (page_ && page_->GetCurrentLayer()) {
            if (page_->GetCurrentLayer()->CreateControl(tool_, &rect)) {
                MarkModified();
                update();
            } else {
                SetModuleError(kCreateFailed);
            }
        }
        if (tool_ != kDesignPointerTool)
            SetTool(kDesignPointerTool);
    }
    ShowToolCursor();
    dragging_ = false;
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

void DoxDesignClient::wheelEvent(QWheelEvent* event)
{
    const QPointF at = window_->mapFromGlobal(event->globalPosition());
    QWheelEvent forwarded(at, event->globalPosition(), event->pixelDelta(), event->angleDelta(), event->buttons(),
                          event->modifiers(), event->phase(), event->inverted());
    QApplication::sendEvent(window_, &forwarded);
    event->setAccepted(forwarded.isAccepted());
}

bool DoxDesignClient::event(QEvent* event)
{
    // The canvas wants Tab and the arrows itself.
    if (event->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // The canvas keeps its own keys (the plain ones, the arrows with Shift or Ctrl,
        // Delete, Ctrl+A and Ctrl+X); the program's accelerators (Ctrl+C, Ctrl+V,
        // Ctrl+S, Shift+Delete, the function keys, Alt+...) stay the program's.
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        const int k = key->key();
        const bool arrow = k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_Up || k == Qt::Key_Down;
        const bool own = (mods == Qt::NoModifier && !(k >= Qt::Key_F1 && k <= Qt::Key_F35)) ||
                         (mods == Qt::ShiftModifier && (k == Qt::Key_Tab || k == Qt::Key_Backtab || arrow)) ||
                         ((mods & ~(Qt::ShiftModifier | Qt::ControlModifier)) == Qt::NoModifier && arrow) ||
                         (mods == Qt::ControlModifier && (k == Qt::Key_A || k == Qt::Key_X));
        if (own) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void DoxDesignClient::keyPressEvent(QKeyEvent* event)
{
    Batch batch(this);
    const uint32_t key = plat::VirtualKeyFromQt(event->key());
    const uint32_t state = plat::KeyStateFromQt(event->modifiers(), QApplication::mouseButtons());
    const int flags = static_cast<int>(state & (plat::MK_SHIFT | plat::MK_CONTROL));
    const bool control = (state & plat::MK_CONTROL) != 0;
    auto engineKey = [&](GrabCanvas::Key k) {
        // While the mouse drags, keys that change or remove objects wait: the
        // drag's outline and its end belong to the objects as they were.
        if (Dragging())
            return;
        GrabCanvas::OnKeyDown(k, flags);
    };
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        engineKey(KeyTab);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        engineKey(KeyEnter);
        return;
    case Qt::Key_Escape:
        if (tool_ != kDesignPointerTool)
            SetTool(kDesignPointerTool);
        else
            engineKey(KeyEscape);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        window_->DoKeyScroll(key);
        return;
    case Qt::Key_Left:
        engineKey(KeyLeft);
        return;
    case Qt::Key_Right:
        engineKey(KeyRight);
        return;
    case Qt::Key_Up:
        engineKey(KeyUp);
        return;
    case Qt::Key_Down:
        engineKey(KeyDown);
        return;
    case Qt::Key_Delete:
        // Not while the mouse drags: the outline of the drag belongs to the objects.
        if (!Dragging() && DeleteSelection())
            MarkModified();
        return;
    case Qt::Key_A:
        if (control)
            GrabCanvas::SelectAll();
        return;
    case Qt::Key_X:
        if (control && !Dragging())
            CutSelection();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
}

// ---------------------------------------------------------------- around the page

DoxDesignNClient::DoxDesignNClient(QWidget* parent) : DoxScrollClient(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DoxDesignNClient::paintEvent(QPaintEvent* /*event*/)
{
    try {
        CPaintDCX dc(this);
        const RECT rect{0, 0, width(), height()};
        if (sink_)
            sink_->OnEraseBackground(&dc, &rect);
        else
            dc.FillSolidRect(rect, GetSysColor(COLOR_BTNFACE));
    } catch (const DoxResourceException&) {
    }
}

void DoxDesignNClient::mousePressEvent(QMouseEvent* event)
{
    static_cast<DoxDesignWindow*>(parentWidget())->mousePressEvent(event);
}

// ---------------------------------------------------------------- outer window

DoxDesignWindow::DoxDesignWindow() : DoxScrollBarWindow(nullptr) {}
DoxDesignWindow::~DoxDesignWindow() = default;

bool DoxDesignWindow::Create(IDoxPage* page, uint32_t style, const QRect* rect, QWidget* parent, uint32_t id)
{
    if (parent)
        setParent(parent);
    if (rect)
        setGeometry(*rect);
    setObjectName(QString::number(id));
    setFocusPolicy(Qt::StrongFocus);
    CreateBars();
    vruler_ = new DoxRulerWindow(this, true);
    hruler_ = new DoxRulerWindow(this, false);
    plate_ = new DoxPlateWindow(this);
    nclient_ = new DoxDesignNClient(this);
    client_ = new DoxDesignClient(this, nclient_);
    if (!client_->Create())
        return false;
    created_ = true;
    ApplyZoom(zoom_);
    client_->AttachPage(page);
    Layout();
    if (style & kWsVisible)
        show();
    return true;
}

bool DoxDesignWindow::ApplyZoom(int zoom)
{
    if (zoom < kMinZoom || zoom > kMaxZoom)
        return false;
    zoom_ = zoom;
    hruler_->SetZoom(zoom);
    vruler_->SetZoom(zoom);
    client_->ApplyZoom(zoom);
    if (DoxPage* page = client_->Page()) {
        SetPageGeometry(page->Cx(), page->Cy());
        client_->GrabCanvas::SetPageRect(page->Cx(), page->Cy(), page->Bpx(), page->Bpy());
    }
    return true;
}

void DoxDesignWindow::SetPageGeometry(int cx, int cy)
{
    hruler_->SetRange(0, cx + 100);
    vruler_->SetRange(0, cy + 100);
    SetScrollSizes(2, zoom_, cx + 200, cy + 200, 0, 0, 0, 0);
    if (!created_)
        return;
    const SIZE page = PixelsOf(zoom_, cx, cy);
    client_->resize(page.cx, page.cy);
    Layout();
}

void DoxDesignWindow::UpdateScroll()
{
    if (created_)
        UpdateBars(width() - kBand, height() - kBand, ScrollBarWidth(), ScrollBarHeight());
}

void DoxDesignWindow::Layout()
{
    if (!created_)
        return;
    UpdateScroll();
    const int v = ScrollBarWidth();
    const int h = ScrollBarHeight();
    const bool needV = VBar()->isEnabled();
    const bool needH = HBar()->isEnabled();
    const int w = width();
    const int ht = height();
    plate_->setGeometry(0, 0, kBand, kBand);
    vruler_->setGeometry(0, kBand, kBand, std::max(0, ht - kBand));
    hruler_->setGeometry(kBand, 0, std::max(0, w - kBand), kBand);
    nclient_->setGeometry(kBand, kBand, std::max(0, w - kBand - (needV ? v : 0)),
                          std::max(0, ht - kBand - (needH ? h : 0)));
    if (needH)
        HBar()->setGeometry(kBand, ht - h, std::max(0, w - kBand - (needV ? v : 0)), h);
    if (needV)
        VBar()->setGeometry(w - v, kBand, v, std::max(0, ht - kBand - (needH ? h : 0)));
    OnBarMoved();
    update();
}

void DoxDesignWindow::OnBarMoved()
{
    if (!created_)
        return;
    const int x = -HBar()->value();
    const int y = -VBar()->value();
    client_->move(x, y);
    hruler_->SetScrollOffset(x);
    vruler_->SetScrollOffset(y);
}

void DoxDesignWindow::DoScrollWindow(int /*dx*/, int /*dy*/)
{
    // The bars hold the positions; the canvas and the rulers follow them.
    OnBarMoved();
}

void DoxDesignWindow::DoUpdateWindow()
{
    hruler_->update();
    vruler_->update();
    nclient_->update();
}

bool DoxDesignWindow::OnCtrlMouseWheel(int delta, int /*x*/, int /*y*/)
{
    const int step = static_cast<int16_t>(delta & 0xFFFF) >= 0 ? kZoomStep : -kZoomStep;
    return ApplyZoom(zoom_ + step);
}

void DoxDesignWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void DoxDesignWindow::focusInEvent(QFocusEvent* /*event*/)
{
    if (client_)
        client_->setFocus(Qt::OtherFocusReason);
}

void DoxDesignWindow::mousePressEvent(QMouseEvent* event)
{
    if (!client_ || (event->button() != Qt::LeftButton && event->button() != Qt::RightButton))
        return;
    const QPoint global = event->globalPosition().toPoint();
    client_->ButtonDown(client_->mapFromGlobal(global), MouseFlags(event), event->button() == Qt::RightButton);
}

IDoxDesignWindow* CreateDoxDesignWindow(IDoxPage* page, uint32_t style, const QRect* rect, QWidget* parent,
                                        uint32_t id)
{
    ClearModuleError();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        SetModuleError(kNoApplication);
        return nullptr;
    }
    // From here on the process designs templates: the fill-in window (the test page)
    // marks texts that do not fit their boxes, as the design window does.
    ShowOverflowMarks(true);
    auto* window = new DoxDesignWindow;
    if (!window->Create(page, style, rect, parent, id)) {
        delete window;
        SetModuleError(kNoWindow);
        return nullptr;
    }
    return window->Client();
}
