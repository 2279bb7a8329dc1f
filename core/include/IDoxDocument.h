#pragma once
// A template with the store that holds its bytes, as the programs see it. The slot
// order is part of the protocol; keep it.

#include "DoxCommon.h"

#include <cstdint>

class IDoxPage;
class IDoxDocElement;
class IDoxImageData;

class IDoxDocument : public ICommon
{
public:
    virtual int GetPageCount() = 0;
    // Display names compare without regard to the case of A-Z.
    virtual IDoxPage* GetPageByName(const wchar_t* name) = 0;
    virtual IDoxPage* GetPage(int index) = 0;
    // "新页面" and the next free number; valid until the next call.
    virtual const wchar_t* MakeNewPageName() = 0;
    virtual IDoxPage* AddPage(const wchar_t* name, int32_t cx, int32_t cy) = 0;
    virtual int DeletePageByName(const wchar_t* name) = 0;
    virtual int DeletePage(int index) = 0;
    // scope 0: the document's own store; otherwise the installation's store.
    virtual IDoxDocElement* GetUserElement(const wchar_t* name, int scope) = 0;
    virtual int Save() = 0;
    virtual int SaveAs(const wchar_t* path) = 0;
    virtual int IsModified() = 0;
    virtual int SaveStore() = 0;
    virtual int SetIconFromFile(const wchar_t* picturePath) = 0;
    virtual int SetIconFromData(const void* bytes, uint32_t size) = 0;
    virtual IDoxImageData* GetIcon() = 0;

protected:
    ~IDoxDocument() = default;
};
