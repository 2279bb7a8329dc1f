#pragma once
// A page of a template: size, name, base point, background picture, layers and the
// data page that binds its fields to the bill tables.

#include <memory>
#include <string>
#include <vector>

#include "DataPage.h"
#include "DoxRunnerPage.h"
#include "IDoxPage.h"

class DoxDocument;
class DoxLayer;
class DocElement;
class DoxPrinter;
class GrabWindow;
struct PagePrintJob;

namespace plat
{
class ByteStream;
}

class DoxPage final : public IDoxPage, public DoxRunnerPage
{
public:
    explicit DoxPage(DoxDocument* document);
    ~DoxPage();
    DoxPage(const DoxPage&) = delete;
    DoxPage& operator=(const DoxPage&) = delete;

    // IDoxPage
    const wchar_t* GetName() override { return name_.c_str(); }
    SIZE* GetSize(SIZE* size) override;
    POINT* GetBasePoint(POINT* point) override;
    int HasBackgroundImage() override;
    const wchar_t* GetBackgroundName() override { return bkpic_.c_str(); }
    int GetBackgroundStretch() override { return bkpicStretch_; }
    void ClearLayerView() override { drawList_.clear(); }
    int ViewAllLayers() override;
    int ViewLayerByName(const wchar_t* name) override;
    int ViewLayer(int index) override;
    int Reserved10(intptr_t) override { return 1; }
    int Print(const wchar_t* printerName, const void* devMode, int x, int y, int copies, intptr_t reserved,
              int withBackground) override;
    int BeginPrintJob(const wchar_t* printerName, const void* devMode, int x, int y, int extraPaperLength,
                      int copies, intptr_t reserved) override;
    int PrintRecord(int64_t recordId, int load) override;
    int EndPrintJob() override;
    int GetFieldCount() override;
    const wchar_t* GetFieldName(int index) override;
    int SetFieldText(const wchar_t* name, int row, const wchar_t* text) override;
    IDoxValue* GetFieldValue(const wchar_t* name, int row) override;
    IDoxValueTest* TestFieldText(const wchar_t* name, int row, const wchar_t* text) override;
    int SaveRecord(int) override;
    int SaveRecordAsNew(int) override;
    int LoadRecord(int64_t recordId) override;
    int IsRecordModified() override;
    int64_t GetRecordId() override;
    int DeleteRecord(int64_t recordId) override;
    int QueryRecords(IDoxDataQuerySink* sink, DataQuery* query) override;
    int ForgetRecord() override;
    void KeepPreparedStore() override { keepPreparedStore_ = 1; }
    int IsPreparedStoreKept() override { return keepPreparedStore_; }
    IDoxDocElement* GetUserElement(const wchar_t* name, int scope) override;
    int HasUserElement(const wchar_t* name, int scope) override;
    IDoxDocument* GetDocument() override;
    IDoxImageData* GetBackgroundImage() override;

    // DoxRunnerPage
    SIZE GetPageSize() override { return SIZE{cx_, cy_}; }
    POINT GetStoredBasePoint() override { return POINT{bpx_, bpy_}; }
    std::vector<DoxControl*> GetRunControls() override;
    bool AttachRunner(DoxPageRunner* runner) override;
    void DetachRunner(DoxPageRunner* runner) override;
    DoxPageRunner* GetRunner() override { return runner_; }
    DataPage* GetRunDataPage() override { return &dataPage_; }
    IDoxPage* GetInterface() override { return this; }

    // Used inside the library.
    int Init(const wchar_t* id, const wchar_t* name, int32_t cx, int32_t cy);
    int SetSize(int32_t cx, int32_t cy);
    int SetName(const wchar_t* name);
    int SetBasePoint(int32_t x, int32_t y);
    int SetBackgroundImage(const plat::ByteStream& stream, const wchar_t* name);
    void RemoveBackgroundImage();
    int LoadBackgroundStream(plat::ByteStream& stream);
    void SetModified();
    // True while a print job is open (BeginPrintJob until EndPrintJob).
    bool HasPrintJob() const { return job_ != nullptr; }
    // The background element's name.
    std::wstring BackgroundElementName() const;
    // True when the element belongs to this page (its background or a user
    // element), and to no page whose id merely begins with this one's.
    bool OwnsElement(const std::wstring& elementName) const;

    // Layers.
    const wchar_t* MakeNewLayerName();
    int AddLayer(const wchar_t* name);
    int RemoveLayer(int index);
    int SetLayerState(int index, int state);
    int RenameLayer(int index, const wchar_t* name);
    DoxLayer* FindLayer(const wchar_t* name) const;
    int FindLayerIndex(const wchar_t* name) const;
    // How far each paste lands from the one before it (0.1 mm). The copy lies above
    // its original, so a click on it takes the copy; stored layers keep this step.
    static constexpr int kPasteStep = 10;
    void ResetPasteOffset();
    int AttachView(GrabWindow* view);
    void DetachView();
    int GetLayerCount() const { return static_cast<int>(layers_.size()); }
    DoxLayer* GetLayer(int index) const;
    DoxLayer* GetCurrentLayer() const { return current_; }
    const std::vector<DoxLayer*>& DrawList() const { return drawList_; }
    // Appends a layer being read from the template XML.
    DoxLayer* AppendReadLayer();
    void MakeCurrent(DoxLayer* layer);
    GrabWindow* GetView() const { return view_; }
    DoxDocument* Document() const { return document_; }

    // Values as stored; the reader fills them after checking.
    const std::wstring& PageId() const { return id_; }
    int32_t Cx() const { return cx_; }
    int32_t Cy() const { return cy_; }
    int32_t Bpx() const { return bpx_; }
    int32_t Bpy() const { return bpy_; }
    const std::wstring& Bkpic() const { return bkpic_; }
    DataPage& Data() { return dataPage_; }
    void SetRead(const wchar_t* id, const wchar_t* name, int32_t cx, int32_t cy, int32_t bpx, int32_t bpy,
                 int stretch, const wchar_t* bkpic);

private:
    DocElement* FindBackgroundElement() const;
    // Opens the printer document for the page: the given settings, else user paper of
    // the page's size (plus extraLength in 0.1 mm); the page name names the document.
    // Whether a print may start (else the reason is the module error, and false).
    bool MayStartPrint(int copies, bool job);
    // A print that failed on the way: the printer's reason, unless one is set already.
    static void ReportPrinterFailure(const DoxPrinter& printer);
    bool StartPrinterDocument(DoxPrinter& printer, const wchar_t* printerName, const void* devMode,
                              int extraLength);
    // Ends an open print job: the document is ended when every page went well and
    // aborted otherwise. True when it was ended.
    bool CloseJob();
    // Aborts an open print job and frees its printer.
    void AbortJob();
    // The view lets go of every object of the layer, and the layer of the view.
    void DropFromView(DoxLayer* layer);

    std::wstring id_;
    std::wstring newLayerName_;
    int32_t cx_ = 0;
    int32_t cy_ = 0;
    std::wstring name_;
    int32_t bpx_ = 0;
    int32_t bpy_ = 0;
    std::wstring bkpic_;
    int bkpicStretch_ = 0;
    DataPage dataPage_;
    DataTestResult testResult_;
    std::vector<DoxLayer*> layers_;
    DoxDocument* document_;
    GrabWindow* view_ = nullptr;
    DoxLayer* current_ = nullptr;
    DoxPageRunner* runner_ = nullptr;
    std::vector<DoxLayer*> drawList_;
    // Names of the fields GetFieldCount last listed, kept as texts so that a field
    // removed since then leaves nothing dangling.
    std::vector<std::wstring> fields_;
    int keepPreparedStore_ = 0;
    std::unique_ptr<PagePrintJob> job_;
};

// Lets the page runner find the page behind an IDoxPage of this library.
void RegisterDocPageResolver();
