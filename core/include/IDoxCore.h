#pragma once
// The core module object's interface: what the programs get from
// CreateModule(500, 0) of libDoxCore.so. The slot order is part of the
// protocol; keep it.

#include "DoxCommon.h"

#include <cstdint>

class IDoxDocument;
class IDoxDesignWindow;
class IDoxPageWindow;
class IDoxImageData;
class IDoxPage;
class QWidget;
class QRect;

class IDoxCore : public IModuleCommon
{
public:
    // Documents: paths and names are NUL-terminated wide texts; cx and cy are page
    // sizes in 0.1 mm. Null on failure, with the reason in GetLastErrorText; on
    // success the caller owns the one reference.
    virtual IDoxDocument* CreateTemplate(const wchar_t* path, const wchar_t* pageName, int32_t cx,
                                         int32_t cy) = 0;
    virtual IDoxDocument* OpenTemplate(const wchar_t* path) = 0;
    virtual IDoxDocument* CreateConnection(const wchar_t* path, const wchar_t* pageName, int32_t cx,
                                           int32_t cy) = 0;
    virtual IDoxDocument* CreateConnectionFromTemplate(const wchar_t* dbPath,
                                                       const wchar_t* templatePath) = 0;
    virtual IDoxDocument* OpenComplex(const wchar_t* dbPath, const wchar_t* templatePath) = 0;

    // The two windows the programs embed (page may be null; rect in pixels of the
    // parent); owned by the caller.
    virtual IDoxDesignWindow* CreateDesignWindow(IDoxPage* page, uint32_t style, const QRect* rect,
                                                 QWidget* parent, uint32_t childId) = 0;
    virtual IDoxPageWindow* CreatePageWindow(IDoxPage* page, uint32_t style, const QRect* rect,
                                             QWidget* parent, uint32_t childId) = 0;

    // Replaces the error sink (null allowed) and returns it.
    virtual IDoxErrorSink* SetErrorSink(IDoxErrorSink* sink) = 0;
    // Never null; valid until the text next changes.
    virtual const wchar_t* GetLastErrorText() = 0;

    // The core's one image block, refilled by each call.
    virtual IDoxImageData* GetTemplatePreview(const wchar_t* path) = 0;
    virtual IDoxImageData* GetTemplateIcon(const wchar_t* path) = 0;

protected:
    ~IDoxCore() = default;
};

// The library's one export: the module object (version 500), or null.
using DoxCreateModuleFn = IDoxCore* (*)(int version, intptr_t arg);
