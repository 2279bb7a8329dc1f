#pragma once
// Start-up and shut-down of the widget library. A program calls Initialize before
// it creates any window of the library and Finalize once at exit.

#include "BrindleExport.h"

// Window classes of the library's windows.
inline constexpr const wchar_t* kBrindleClass = L"BrindleClass";
inline constexpr const wchar_t* kBrindleShadowClass = L"BrindleShadowClass";

class BRINDLE_API Brindle
{
public:
    // Registers the library's window classes (each only when no class of that name
    // is registered yet, so a second start or another registrant keeps its entry)
    // and binds the drawing support. 1 on success, 0 when a class cannot be
    // registered. `instance` names the module; all modules share one class table.
    static int Initialize(void* instance = nullptr);
    // Lets the drawing support go; the window classes stay registered.
    static void Finalize();
};
