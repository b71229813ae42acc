#include "platform/win32/com.h"

namespace td::win32 {

namespace {

constexpr DWORD kApartment = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE;

template <class Function>
Function entry(HMODULE library, const char* name) {
    return library
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)))
               : nullptr;
}

HMODULE ole32() {
    static const HMODULE library =
        LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return library;
}

struct Com {
    decltype(&CoCreateInstance) createInstance = nullptr;
    bool started = false;
};

const Com& com() {
    static const Com loaded = [] {
        Com c;
        const auto initialize = entry<decltype(&CoInitializeEx)>(ole32(), "CoInitializeEx");
        c.createInstance = entry<decltype(&CoCreateInstance)>(ole32(), "CoCreateInstance");
        c.started = initialize && c.createInstance && SUCCEEDED(initialize(nullptr, kApartment));
        return c;
    }();
    return loaded;
}

}  // namespace

bool startCom() {
    return com().started;
}

bool startThreadCom() {
    const auto initialize = entry<decltype(&CoInitializeEx)>(ole32(), "CoInitializeEx");
    return initialize && SUCCEEDED(initialize(nullptr, kApartment));
}

void endThreadCom() {
    if (const auto end = entry<decltype(&CoUninitialize)>(ole32(), "CoUninitialize")) end();
}

HRESULT createComObject(REFCLSID type, REFIID interfaceId, void** object) {
    if (!startCom()) return E_FAIL;
    return com().createInstance(type, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object);
}

}  // namespace td::win32
