#pragma once
// One sheet of a template as the programs see it; not reference counted (it lives
// as long as its document). The slot order is part of the protocol; keep it.

#include <cstdint>

#include "GdiTypes.h"

class IDoxDocument;
class IDoxDocElement;
class IDoxImageData;
class IDoxValue;
class IDoxValueTest;
class IDoxDataQuerySink;
class DataQuery;

class IDoxPage
{
public:
    virtual const wchar_t* GetName() = 0;
    // Size in 0.1 mm.
    virtual SIZE* GetSize(SIZE* size) = 0;
    // The base point with y counted downwards from the top.
    virtual POINT* GetBasePoint(POINT* point) = 0;
    virtual int HasBackgroundImage() = 0;
    virtual const wchar_t* GetBackgroundName() = 0;
    virtual int GetBackgroundStretch() = 0;
    // The draw list: the layers the runner paints.
    virtual void ClearLayerView() = 0;
    virtual int ViewAllLayers() = 0;
    virtual int ViewLayerByName(const wchar_t* name) = 0;
    virtual int ViewLayer(int index) = 0;
    virtual int Reserved10(intptr_t unused) = 0;
    // Printing and records need an attached page runner; without one they return
    // 0 (GetRecordId -1).
    virtual int Print(const wchar_t* printerName, const void* devMode, int x, int y, int copies,
                      intptr_t reserved, int withBackground) = 0;
    virtual int BeginPrintJob(const wchar_t* printerName, const void* devMode, int x, int y,
                              int extraPaperLength, int copies, intptr_t reserved) = 0;
    virtual int PrintRecord(int64_t recordId, int load) = 0;
    virtual int EndPrintJob() = 0;
    virtual int GetFieldCount() = 0;
    virtual const wchar_t* GetFieldName(int index) = 0;
    virtual int SetFieldText(const wchar_t* name, int row, const wchar_t* text) = 0;
    virtual IDoxValue* GetFieldValue(const wchar_t* name, int row) = 0;
    virtual IDoxValueTest* TestFieldText(const wchar_t* name, int row, const wchar_t* text) = 0;
    virtual int SaveRecord(int unused) = 0;
    virtual int SaveRecordAsNew(int unused) = 0;
    virtual int LoadRecord(int64_t recordId) = 0;
    virtual int IsRecordModified() = 0;
    virtual int64_t GetRecordId() = 0;
    virtual int DeleteRecord(int64_t recordId) = 0;
    virtual int QueryRecords(IDoxDataQuerySink* sink, DataQuery* query) = 0;
    virtual int ForgetRecord() = 0;
    virtual void KeepPreparedStore() = 0;
    virtual int IsPreparedStoreKept() = 0;
    // Elements named by the page id followed by name.
    virtual IDoxDocElement* GetUserElement(const wchar_t* name, int scope) = 0;
    virtual int HasUserElement(const wchar_t* name, int scope) = 0;
    virtual IDoxDocument* GetDocument() = 0;
    virtual IDoxImageData* GetBackgroundImage() = 0;

protected:
    ~IDoxPage() = default;
};
