// Owning wrappers for the system's handles: each closes its handle once, when it goes.
#pragma once

#include <memory>
#include <type_traits>

#include "platform/win32/win32.h"

namespace td::win32 {

template <class Handle, auto Close>
struct HandleCloser {
    void operator()(Handle handle) const { Close(handle); }
};

template <class Handle, auto Close>
using Unique = std::unique_ptr<std::remove_pointer_t<Handle>, HandleCloser<Handle, Close>>;

using UniqueHandle = Unique<HANDLE, &CloseHandle>;
using UniqueKey = Unique<HKEY, &RegCloseKey>;
using UniqueIcon = Unique<HICON, &DestroyIcon>;
using UniqueMenu = Unique<HMENU, &DestroyMenu>;
using UniqueFont = Unique<HFONT, &DeleteObject>;
using UniqueBitmap = Unique<HBITMAP, &DeleteObject>;
using UniqueDC = Unique<HDC, &DeleteDC>;

}  // namespace td::win32
