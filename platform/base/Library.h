#pragma once
// Loading a library by its plain name from the application directory, and
// binding its exports by name. "DoxCore", "DoxCore.dll" and "libDoxCore.so" all
// name bin/libDoxCore.so.

#include <string>

namespace plat
{

using LibraryHandle = void*;

// The folder of the running program (every library and program of the system
// lives in it). Empty when it cannot be told.
std::string ApplicationDirectory();

// The folder of the binary (program or library) that holds an address.
std::string ModuleDirectory(const void* address);

// The file name a plain library name stands for: "DoxCore.DLL" -> "libDoxCore.so".
std::string LibraryFileName(const std::string& name);

// Loads a library from a folder; null on failure (LastLibraryError tells why).
LibraryHandle LoadLibraryFrom(const std::string& folder, const std::string& name);
// Loads a library from the application directory.
LibraryHandle LoadLibraryByName(const std::string& name);
// An export by name; null when the library has none.
void* GetLibraryExport(LibraryHandle library, const char* name);
void FreeLibrary(LibraryHandle library);
// The loader's message for the last failure of this thread.
std::string LastLibraryError();

} // namespace plat
