#pragma once
// Run-time binding of the core and the plug-in: dlopen of the library from the
// application folder, its "CreateModule" export, and the release in reverse.

#include "DoxCommon.h"

#include <string>

class IDoxHost;

struct DoxModuleRecord {
    void* module = nullptr;           // the library as loaded
    IModuleCommon* object = nullptr;  // what its CreateModule returned
};

// Loads fileName ("DoxCore.DLL" names libDoxCore.so) from the folder and calls
// CreateModule(500, 0); false when the library, the export or the object is missing
// (an exception thrown by CreateModule counts as no object). A record that already
// holds a library only makes the object.
bool LoadCoreModule(DoxModuleRecord& record, const std::wstring& fileName, const std::wstring& directory);
// The same for "DoxKQPlus.dll" with CreateModule(200, host).
bool LoadPlusModule(DoxModuleRecord& record, const std::wstring& directory, IDoxHost* host);
// Releases the object, then frees the library; non-zero when a library was freed.
int UnloadModule(DoxModuleRecord& record);
