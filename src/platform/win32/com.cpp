#include "platform/win32/com.h"

namespace td::win32 {

namespace {

struct Com {
    decltype(&CoCreateInstance) createInstance = nullptr;
    bool started = false;
};

const Com& com() {
    static const Com loaded = [] {
        Com c;
        HMODULE ole = LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!ole) return c;
        auto initialize = reinterpret_cast<decltype(&CoInitializeEx)>(
            reinterpret_cast<void*>(GetProcAddress(ole, "CoInitializeEx")));
        c.createInstance = reinterpret_cast<decltype(&CoCreateInstance)>(
            reinterpret_cast<void*>(GetProcAddress(ole, "CoCreateInstance")));
        c.started =
            initialize && c.createInstance &&
            SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
        return c;
    }();
    return loaded;
}

}  // namespace

bool startCom() {
    return com().started;
}

HRESULT createComObject(REFCLSID type, REFIID interfaceId, void** object) {
    if (!startCom()) return E_FAIL;
    return com().createInstance(type, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object);
}

}  // namespace td::win32
