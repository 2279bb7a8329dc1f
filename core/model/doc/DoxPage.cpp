#include "DoxPage.h"

#include <QString>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <unordered_set>

#include "ByteStream.h"
#include "DataField.h"
#include "DataRow.h"
#include "DocElement.h"
#include "DoxAttribCollection.h"
#include "DoxControl.h"
#include "DoxDocument.h"
#include "DoxLayer.h"
#include "DoxPageRunner.h"
#include "DoxPrinter.h"
#include "GrabLayer.h"
#include "GrabObjectCore.h"
#include "ModuleError.h"
#include "PictureRoutines.h"
#include "Printers.h"

namespace
{

const wchar_t kDefaultLayer[] = L"默认层";
const wchar_t kNewLayerPrefix[] = L"新建层";

bool SizeValid(int32_t cx, int32_t cy)
{
    return cx >= 400 && cx <= 6000 && cy >= 400 && cy <= 6000;
}

} // namespace

DoxPage::DoxPage(DoxDocument* document) : document_(document) {}

DoxPage::~DoxPage()
{
    // An open job is aborted, so the printer is free and no partial document is left.
    AbortJob();
    // The runner holds the controls that are about to go, and would reach back into
    // this page when it is detached later.
    if (runner_)
        DetachPageRunner(runner_);
    drawList_.clear();
    current_ = nullptr;
    for (DoxLayer* layer : layers_)
        delete layer;
    layers_.clear();
}

SIZE* DoxPage::GetSize(SIZE* size)
{
    if (size)
        *size = SIZE{cx_, cy_};
    return size;
}

POINT* DoxPage::GetBasePoint(POINT* point)
{
    if (point)
        *point = POINT{bpx_, -bpy_};
    return point;
}

std::wstring DoxPage::BackgroundElementName() const
{
    return L"doc_" + id_ + L"_bkpic";
}

bool DoxPage::OwnsElement(const std::wstring& elementName) const
{
    if (id_.empty())
        return false;
    if (elementName == BackgroundElementName())
        return true;
    return elementName.compare(0, id_.size(), id_) == 0;
}

DocElement* DoxPage::FindBackgroundElement() const
{
    std::wstring name = BackgroundElementName();
    if (!document_->HasElement(name.c_str(), 0))
        return nullptr;
    return document_->GetElement(name.c_str(), 0);
}

int DoxPage::HasBackgroundImage()
{
    // A query: it makes no element when there is none.
    DocElement* element = FindBackgroundElement();
    if (!element)
        return 0;
    int has = element->GetSize() > 0 ? 1 : 0;
    if (!element->IsDirty())
        element->FreeData();
    return has;
}

IDoxImageData* DoxPage::GetBackgroundImage()
{
    DocElement* element = FindBackgroundElement();
    return element ? static_cast<IDoxImageData*>(element) : nullptr;
}

int DoxPage::SetBackgroundImage(const plat::ByteStream& stream, const wchar_t* name)
{
    std::wstring elementName = BackgroundElementName();
    DocElement* element = document_->GetElement(elementName.c_str(), 0);
    if (!element) {
        SetModuleError(L"分配图片元素失败");
        return 0;
    }
    if (!element->SetDataFromStream(stream)) {
        SetModuleError(L"写入背景图片失败");
        return 0;
    }
    bkpic_ = name ? name : L"";
    SetModified();
    return 1;
}

void DoxPage::RemoveBackgroundImage()
{
    DocElement* element = FindBackgroundElement();
    if (!element)
        return;
    element->Remove();
    SetModified();
}

int DoxPage::LoadBackgroundStream(plat::ByteStream& stream)
{
    DocElement* element = FindBackgroundElement();
    if (!element)
        return 0;
    int ok = element->SaveToStream(stream);
    if (!element->IsDirty())
        element->FreeData();
    return ok;
}

void DoxPage::SetModified()
{
    document_->SetModified();
    if (!view_)
        return;
    // Inside an edit across many controls the view hears of it once, at the end.
    if (DoxChangeBatch::Defer(this, [this] {
            if (view_)
                view_->OnChange();
        }))
        return;
    view_->OnChange();
}

int DoxPage::Init(const wchar_t* id, const wchar_t* name, int32_t cx, int32_t cy)
{
    if (!SizeValid(cx, cy)) {
        SetModuleError(L"页面SIZE无效");
        return 0;
    }
    if (!document_->CheckPageName(name, this))
        return 0;
    id_ = id ? id : L"";
    name_ = name;
    cx_ = cx;
    cy_ = cy;
    return AddLayer(kDefaultLayer);
}

void DoxPage::SetRead(const wchar_t* id, const wchar_t* name, int32_t cx, int32_t cy, int32_t bpx,
                      int32_t bpy, int stretch, const wchar_t* bkpic)
{
    id_ = id ? id : L"";
    name_ = name ? name : L"";
    cx_ = cx;
    cy_ = cy;
    bpx_ = bpx;
    bpy_ = bpy;
    bkpicStretch_ = stretch;
    bkpic_ = bkpic ? bkpic : L"";
}

int DoxPage::SetSize(int32_t cx, int32_t cy)
{
    if (cx == cx_ && cy == cy_)
        return 1;
    if (!SizeValid(cx, cy)) {
        SetModuleError(L"页面SIZE无效");
        return 0;
    }
    cx_ = cx;
    cy_ = cy;
    SetModified();
    return 1;
}

int DoxPage::SetName(const wchar_t* name)
{
    if (name && name_ == name)
        return 1;
    if (!document_->CheckPageName(name, this))
        return 0;
    name_ = name;
    SetModified();
    return 1;
}

int DoxPage::SetBasePoint(int32_t x, int32_t y)
{
    if (x == bpx_ && y == bpy_)
        return 1;
    if (x < 0 || x > 6000 || y < -6000 || y > 0) {
        SetModuleError(L"页面基点无效");
        return 0;
    }
    bpx_ = x;
    bpy_ = y;
    SetModified();
    return 1;
}

// ---- draw list

int DoxPage::ViewAllLayers()
{
    drawList_ = layers_;
    return 1;
}

int DoxPage::ViewLayer(int index)
{
    DoxLayer* layer = GetLayer(index);
    if (!layer)
        return 0;
    if (std::find(drawList_.begin(), drawList_.end(), layer) == drawList_.end())
        drawList_.push_back(layer);
    return 1;
}

int DoxPage::ViewLayerByName(const wchar_t* name)
{
    return ViewLayer(FindLayerIndex(name));
}

std::vector<DoxControl*> DoxPage::GetRunControls()
{
    // A layer the author hid stays hidden however the host filled the draw list: what
    // the clerk sees and changes on the screen is what is printed, and a hidden
    // control is neither.
    std::vector<DoxControl*> controls;
    for (DoxLayer* layer : drawList_) {
        if (layer->GetState() != 0)
            controls.insert(controls.end(), layer->Controls().begin(), layer->Controls().end());
    }
    return controls;
}

bool DoxPage::AttachRunner(DoxPageRunner* runner)
{
    if (!runner || runner_)
        return false;
    runner_ = runner;
    int keep = keepPreparedStore_;
    keepPreparedStore_ = 0;
    if (keep && dataPage_.IsStoreReady())
        return true;
    if (dataPage_.PrepareStore(document_->GetSqlConnection(), id_.c_str()))
        return true;
    // The runner forgets the page when it is refused: a page that kept it would refuse
    // every later runner and keep working through one that is not attached.
    runner_ = nullptr;
    return false;
}

void DoxPage::DetachRunner(DoxPageRunner* runner)
{
    if (runner_ != runner)
        return;
    // The job prints through this runner: without it nothing more can be printed or
    // ended, and the open job would refuse every later one. Its pages were never
    // confirmed by EndPrintJob, so they are not delivered.
    AbortJob();
    runner_ = nullptr;
}

// ---- printing

// One open print job of a page: several bills in one printer document.
struct PagePrintJob {
    DoxPageRunner* runner = nullptr;
    int x = 0;
    int y = 0;
    int copies = 0;
    intptr_t reserved = 0; // kept for the caller, not used
    DoxPrinter printer;
    int savedState = 0;
    int ok = 0; // 0 once a step failed
};

bool DoxPage::StartPrinterDocument(DoxPrinter& printer, const wchar_t* printerName, const void* devMode,
                                   int extraLength)
{
    // The printer is described once for the job: every later question about it (its
    // papers, whether it takes the page's size, why it refused) reads the description.
    const std::wstring name = printerName ? printerName : L"";
    const plat::PrinterDescription description = plat::DescribePrinter(QString::fromStdWString(name));
    const bool started =
        devMode ? printer.StartDoc(static_cast<const DEVMODEW*>(devMode), description, extraLength, name_.c_str())
                : printer.Open(description, cx_, cy_, extraLength, name_.c_str());
    if (started)
        return true;
    // Every refusal says why; the caller shows the text after its own words.
    const long paper = devMode ? static_cast<const DEVMODEW*>(devMode)->dmPaperLength : cy_;
    const long length = paper + extraLength;
    if (!description.exists)
        SetModuleErrorFormat(L"打印机“%ls”不存在", name.c_str());
    else if (extraLength != 0 && (length <= 0 || length > SHRT_MAX))
        SetModuleErrorFormat(L"页间距 %.1f 毫米超出范围：纸张长度加页间距须在 0.1 至 %.1f 毫米之间",
                             extraLength / 10.0, SHRT_MAX / 10.0);
    else if (!printer.GetErrorText().empty())
        SetModuleErrorFormat(L"打印机“%ls”无法开始打印（%ls）", name.c_str(), printer.GetErrorText().c_str());
    else
        SetModuleErrorFormat(L"打印机“%ls”不接受这张纸（%.1f x %.1f 毫米）", name.c_str(),
                             (devMode ? static_cast<const DEVMODEW*>(devMode)->dmPaperWidth : cx_) / 10.0,
                             length / 10.0);
    return false;
}

int DoxPage::Print(const wchar_t* printerName, const void* devMode, int x, int y, int copies, intptr_t,
                   int withBackground)
{
    // A count below 1 would open a document, print no page and still report success.
    if (!MayStartPrint(copies, false))
        return 0;
    DoxPrinter printer;
    if (!StartPrinterDocument(printer, printerName, devMode, 0))
        return 0;

    ImageHolder picture;
    if (withBackground) {
        plat::ByteStream stream;
        if (LoadBackgroundStream(stream)) {
            if (bkpicStretch_)
                LoadScaledImage(picture, stream.Bytes(), cx_, cy_);
            else
                GdiplusBitmapFromStream(picture, stream.Bytes());
        }
    }

    for (int copy = 0; copy < copies; ++copy) {
        if (!printer.StartPage()) {
            printer.EndDoc(false);
            return 0;
        }
        if (picture) {
            printer.SetMapMode(MM_TEXT);
            GdiplusDrawImage(&printer, picture, 0, 0);
        }
        if (!runner_->Render(&printer, x, y) || !printer.EndPage()) {
            ReportPrinterFailure(printer);
            printer.EndDoc(false);
            return 0;
        }
    }
    if (!printer.EndDoc(true)) {
        ReportPrinterFailure(printer);
        return 0;
    }
    return 1;
}

void DoxPage::ReportPrinterFailure(const DoxPrinter& printer)
{
    if (!printer.GetErrorText().empty())
        SetModuleErrorFormat(L"打印机没有完成打印（%ls）", printer.GetErrorText().c_str());
    else if (!*GetModuleErrorText())
        SetModuleError(L"打印机没有完成打印");
}

bool DoxPage::MayStartPrint(int copies, bool job)
{
    ClearModuleError();
    // Without a runner the page is no bill page at all: a caller's mistake, refused
    // quietly as every record operation is.
    if (!runner_)
        return false;
    if (copies < 1)
        SetModuleErrorFormat(L"打印份数 %d 无效：至少打印 1 份", copies);
    else if (job && job_)
        SetModuleError(L"上一个打印任务还没有结束");
    else
        return true;
    return false;
}

int DoxPage::BeginPrintJob(const wchar_t* printerName, const void* devMode, int x, int y,
                           int extraPaperLength, int copies, intptr_t reserved)
{
    // A count below 1 would leave a job that prints nothing and reports success.
    if (!MayStartPrint(copies, true))
        return 0;
    auto job = std::make_unique<PagePrintJob>();
    job->runner = runner_;
    job->x = x;
    job->y = y;
    job->copies = copies;
    job->reserved = reserved;
    // A job whose document did not start is not kept: nothing could print through
    // it, and a kept one would refuse every later job of the page.
    if (!StartPrinterDocument(job->printer, printerName, devMode, extraPaperLength))
        return 0;
    job->ok = 1;
    job_ = std::move(job);
    return 1;
}

int DoxPage::PrintRecord(int64_t recordId, int load)
{
    if (!runner_ || !job_)
        return 0;
    if (load) {
        if (!dataPage_.LoadRecord(recordId))
            return 0;
        // A bill that is not stored loads as an empty page: printing that would put
        // a blank form through the printer and report success.
        if (dataPage_.GetConnection()) {
            const int64_t loaded = GetRecordId();
            if (loaded <= 0 || (recordId > 0 && loaded != recordId))
                return 0;
        }
    }
    PagePrintJob& job = *job_;
    for (int copy = 0; copy < job.copies; ++copy) {
        if (!job.ok)
            return 0;
        if (!job.printer.StartPage()) {
            job.ok = 0;
            return 0;
        }
        job.savedState = job.printer.SaveDC();
        if (!job.runner->Render(&job.printer, job.x, job.y)) {
            job.ok = 0;
            return 0;
        }
        job.printer.RestoreDC(job.savedState);
        if (!job.printer.EndPage()) {
            job.ok = 0;
            return 0;
        }
    }
    return job.ok;
}

bool DoxPage::CloseJob()
{
    std::unique_ptr<PagePrintJob> job = std::move(job_);
    if (!job)
        return false;
    const bool ok = job->ok != 0;
    const bool ended = job->printer.EndDoc(ok);
    // An aborted document printed nothing: that is not a success.
    if (!ok || !ended)
        ReportPrinterFailure(job->printer);
    return ok && ended;
}

void DoxPage::AbortJob()
{
    std::unique_ptr<PagePrintJob> job = std::move(job_);
    if (job)
        job->printer.EndDoc(false);
}

int DoxPage::EndPrintJob()
{
    if (!runner_ || !job_)
        return 0;
    return CloseJob() ? 1 : 0;
}

// ---- fields and records

int DoxPage::GetFieldCount()
{
    fields_.clear();
    for (DataField* field : dataPage_.GetFieldList(&dataPage_))
        fields_.push_back(field->GetQualifiedName());
    return static_cast<int>(fields_.size());
}

const wchar_t* DoxPage::GetFieldName(int index)
{
    if (index < 0 || index >= static_cast<int>(fields_.size()))
        return L"";
    return fields_[static_cast<size_t>(index)].c_str();
}

int DoxPage::SetFieldText(const wchar_t* name, int row, const wchar_t* text)
{
    return runner_ ? dataPage_.SetFieldText(name, row, text) : 0;
}

IDoxValue* DoxPage::GetFieldValue(const wchar_t* name, int row)
{
    return runner_ ? dataPage_.GetFieldValue(name, row) : nullptr;
}

IDoxValueTest* DoxPage::TestFieldText(const wchar_t* name, int row, const wchar_t* text)
{
    testResult_.Reset();
    if (runner_) {
        std::wstring message;
        int status = dataPage_.TestFieldText(name, row, text, &message);
        testResult_.Set(status, message);
    }
    return &testResult_;
}

int DoxPage::SaveRecord(int)
{
    return runner_ ? dataPage_.SaveRecord() : 0;
}

int DoxPage::SaveRecordAsNew(int)
{
    return runner_ ? dataPage_.SaveRecordAsNew() : 0;
}

int DoxPage::LoadRecord(int64_t recordId)
{
    if (!runner_ || !dataPage_.LoadRecord(recordId))
        return 0;
    // Another bill on the page: the operator starts at its first field, not where the
    // last one was left.
    runner_->StartAtFirstField();
    return 1;
}

int DoxPage::IsRecordModified()
{
    return runner_ ? dataPage_.IsModified() : 0;
}

int64_t DoxPage::GetRecordId()
{
    if (!runner_)
        return -1;
    // The page is the main table: its first row carries the record id.
    return dataPage_.Rows().empty() ? 0 : dataPage_.Rows()[0]->GetRecordId();
}

int DoxPage::DeleteRecord(int64_t recordId)
{
    return runner_ ? dataPage_.DeleteRecord(recordId) : 0;
}

int DoxPage::QueryRecords(IDoxDataQuerySink* sink, DataQuery* query)
{
    if (!runner_)
        return 0;
    // The page itself is the main table: a page without child tables lists its bills too.
    if (!sink || !dataPage_.GetConnection())
        return 1;
    return dataPage_.QueryRecords(sink, query);
}

int DoxPage::ForgetRecord()
{
    if (!runner_)
        return 0;
    dataPage_.ResetRecordIds();
    runner_->StartAtFirstField();
    return 1;
}

// ---- user elements

IDoxDocElement* DoxPage::GetUserElement(const wchar_t* name, int scope)
{
    std::wstring text = id_ + (name ? name : L"");
    return document_->GetElement(text.c_str(), scope);
}

int DoxPage::HasUserElement(const wchar_t* name, int scope)
{
    std::wstring text = id_ + (name ? name : L"");
    return document_->HasElement(text.c_str(), scope);
}

IDoxDocument* DoxPage::GetDocument()
{
    return document_;
}

// ---- layers

DoxLayer* DoxPage::GetLayer(int index) const
{
    if (index < 0 || index >= static_cast<int>(layers_.size()))
        return nullptr;
    return layers_[static_cast<size_t>(index)];
}

const wchar_t* DoxPage::MakeNewLayerName()
{
    int largest = 0;
    size_t n = std::wcslen(kNewLayerPrefix);
    for (DoxLayer* layer : layers_) {
        const std::wstring& name = layer->GetName();
        int value = 0;
        if (name.compare(0, n, kNewLayerPrefix) == 0 && std::swscanf(name.c_str() + n, L"%d", &value) == 1)
            largest = std::max(largest, value);
    }
    newLayerName_ = kNewLayerPrefix + std::to_wstring(largest + 1);
    return newLayerName_.c_str();
}

DoxLayer* DoxPage::FindLayer(const wchar_t* name) const
{
    return GetLayer(FindLayerIndex(name));
}

int DoxPage::FindLayerIndex(const wchar_t* name) const
{
    if (!name)
        return -1;
    for (size_t i = 0; i < layers_.size(); ++i)
        if (layers_[i]->GetName() == name)
            return static_cast<int>(i);
    return -1;
}

void DoxPage::MakeCurrent(DoxLayer* layer)
{
    if (current_ == layer)
        return;
    if (current_ && current_->GetState() != 1)
        current_->SetStateValue(1);
    current_ = layer;
    if (layer->GetState() != 2) {
        layer->SetStateValue(2);
        if (layer->GetView())
            layer->GetView()->SetCurrentLayer(layer);
    }
}

int DoxPage::AddLayer(const wchar_t* name)
{
    if (FindLayerIndex(name) >= 0)
        return 0;
    auto* layer = new DoxLayer(this, name, view_);
    layers_.push_back(layer);
    MakeCurrent(layer);
    SetModified();
    return 1;
}

DoxLayer* DoxPage::AppendReadLayer()
{
    auto* layer = new DoxLayer(this, nullptr, nullptr);
    layers_.push_back(layer);
    return layer;
}

int DoxPage::RemoveLayer(int index)
{
    if (index < 0 || index >= GetLayerCount() || GetLayerCount() < 2)
        return 0;
    DoxLayer* layer = layers_[static_cast<size_t>(index)];
    DropFromView(layer);
    layers_.erase(layers_.begin() + index);
    // The draw list must not keep a layer that is about to be freed.
    drawList_.erase(std::remove(drawList_.begin(), drawList_.end(), layer), drawList_.end());
    if (current_ == layer) {
        current_ = nullptr;
        MakeCurrent(layers_[static_cast<size_t>(index == 0 ? 0 : index - 1)]);
    }
    delete layer;
    if (view_)
        view_->RenumberTabOrder();
    SetModified();
    return 1;
}

int DoxPage::SetLayerState(int index, int state)
{
    DoxLayer* layer = GetLayer(index);
    if (!layer)
        return 0;
    if (layer != current_) {
        if (state == 2) {
            MakeCurrent(layer);
            return 1;
        }
        if (layer->GetState() == state)
            return 0;
        layer->SetStateValue(state);
        return 1;
    }
    if (state == 2)
        return 0;
    current_ = nullptr;
    if (layer->GetState() == state)
        return 0;
    layer->SetStateValue(state);
    return 1;
}

int DoxPage::RenameLayer(int index, const wchar_t* name)
{
    DoxLayer* layer = GetLayer(index);
    if (!layer)
        return 0;
    if (FindLayerIndex(name) >= 0) {
        SetModuleErrorFormat(L"\"%ls\" 层已经存在", name);
        return 0;
    }
    return layer->SetName(name);
}

void DoxPage::ResetPasteOffset()
{
    for (DoxLayer* layer : layers_)
        layer->pasteX = layer->pasteY = 0;
    if (current_)
        current_->pasteX = current_->pasteY = kPasteStep;
}

int DoxPage::AttachView(GrabWindow* view)
{
    if (!view)
        return 0;
    view_ = view;
    view->SetPageRect(cx_, cy_, bpx_, bpy_);
    // Showing a page numbers the controls that carry no fill-in order yet and fits
    // their rectangles to the handles: that makes the page editable, it is no edit of
    // it, so a template that was unchanged stays unchanged.
    const bool wasModified = document_->IsModified() != 0;
    int result = 1;
    for (DoxLayer* layer : layers_) {
        layer->SetView(view);
        view->SetCurrentLayer(layer);
        // The controls the view already holds, looked up at once rather than by a walk
        // of the whole list for every control.
        std::unordered_set<GrabObjectCore*> held;
        for (GrabSelection* node : layer->Objects())
            held.insert(node->GetObject());
        for (DoxControl* control : layer->Controls()) {
            if (!held.count(static_cast<GrabObjectCore*>(control)) && !layer->AddObject(view, control, 0, 0))
                result = 0;
        }
    }
    if (current_)
        view->SetCurrentLayer(current_);
    if (!wasModified)
        document_->ClearModified();
    return result;
}

void DoxPage::DropFromView(DoxLayer* layer)
{
    GrabWindow* view = layer->GetView();
    if (!view)
        return;
    // Copied first: the view may touch the layer's list while it lets go.
    const std::vector<GrabSelection*> nodes = layer->Objects();
    for (GrabSelection* node : nodes) {
        GrabObjectCore* object = node->GetObject();
        view->RemoveObject(node);
        if (object)
            object->SetDesignLink(nullptr);
    }
    layer->RemoveAllObjects();
    layer->SetView(nullptr);
}

void DoxPage::DetachView()
{
    for (DoxLayer* layer : layers_)
        DropFromView(layer);
    view_ = nullptr;
}

// ---- runner lookup

namespace
{

DoxRunnerPage* ResolvePage(IDoxPage* page)
{
    return page ? static_cast<DoxPage*>(page) : nullptr;
}

} // namespace

void RegisterDocPageResolver()
{
    SetRunnerPageResolver(&ResolvePage);
}
