// The Windows API as the program uses it: Unicode, without the rarely used parts of
// windows.h, and without the min and max macros, which would collide with the C++ library's.
// Every file of the Win32 layer includes this instead of windows.h, so that it builds the same
// whatever its build system defines.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>

namespace td::win32 {

// A function of a library in the system folder, never one beside the program or in the
// current folder; null where the system has no such library or function. The library is
// loaded at the first call and stays.
template <class Function>
Function systemFunction(const wchar_t* library, const char* name) {
    const HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
               : nullptr;
}

}  // namespace td::win32
