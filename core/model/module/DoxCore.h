#pragma once
// The core module object: the library's front door. One exists per process at a
// time; CreateModule makes it and hands out references to it.

#include "DoxImageData.h"
#include "IDoxCore.h"

class DoxCore final : public InterfaceImpl<IDoxCore>
{
public:
    DoxCore() = default;
    ~DoxCore() override = default;

    int Init(intptr_t arg) override;

    IDoxDocument* CreateTemplate(const wchar_t* path, const wchar_t* pageName, int32_t cx,
                                 int32_t cy) override;
    IDoxDocument* OpenTemplate(const wchar_t* path) override;
    IDoxDocument* CreateConnection(const wchar_t* path, const wchar_t* pageName, int32_t cx,
                                   int32_t cy) override;
    IDoxDocument* CreateConnectionFromTemplate(const wchar_t* dbPath, const wchar_t* templatePath) override;
    IDoxDocument* OpenComplex(const wchar_t* dbPath, const wchar_t* templatePath) override;
    IDoxDesignWindow* CreateDesignWindow(IDoxPage* page, uint32_t style, const QRect* rect, QWidget* parent,
                                         uint32_t childId) override;
    IDoxPageWindow* CreatePageWindow(IDoxPage* page, uint32_t style, const QRect* rect, QWidget* parent,
                                     uint32_t childId) override;
    IDoxErrorSink* SetErrorSink(IDoxErrorSink* sink) override;
    const wchar_t* GetLastErrorText() override;
    IDoxImageData* GetTemplatePreview(const wchar_t* path) override;
    IDoxImageData* GetTemplateIcon(const wchar_t* path) override;

    // Shuts the library's services down, forgets the module object and deletes it.
    void FinalRelease() override;

    // The current module object, or null.
    static DoxCore* Instance();

private:
    friend IDoxCore* CreateDoxCore(int version, intptr_t arg);

    // Holds the bytes of the last preview or icon handed out.
    DoxImageData imageData_;
};

// What the export CreateModule does.
IDoxCore* CreateDoxCore(int version, intptr_t arg);
