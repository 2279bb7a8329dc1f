#pragma once
// The window-class name table. Registering a class only records its name and
// the few properties the widgets read (class style, background, cursor); it
// cannot fail, and registering a name again replaces its record (a library that
// is started again registers its classes again).

#include <cstdint>
#include <optional>
#include <string>

namespace plat
{

// Class style bits the widgets honour.
constexpr uint32_t kClassVRedraw = 0x0001;
constexpr uint32_t kClassHRedraw = 0x0002;
constexpr uint32_t kClassDblClks = 0x0008;
constexpr uint32_t kClassSaveBits = 0x0800;

enum class ClassCursor { None, Arrow };

struct WindowClass {
    std::wstring name;
    uint32_t style = 0;
    // A system colour index + 1 (16 = the button face), or 0 for no background.
    int background = 0;
    ClassCursor cursor = ClassCursor::None;
};

void RegisterWindowClass(const WindowClass& windowClass);
// Names compare ignoring the case of ASCII letters, as class names always have.
std::optional<WindowClass> FindWindowClass(const std::wstring& name);
bool UnregisterWindowClass(const std::wstring& name);

} // namespace plat
