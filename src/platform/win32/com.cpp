#include "platform/win32/com.h"

namespace td::win32 {

namespace {

constexpr DWORD kApartment = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE;

struct Com {
    decltype(&CoCreateInstance) createInstance = nullptr;
    bool started = false;
};

const Com& com() {
    static const Com loaded = [] {
        Com c;
        const auto initialize =
            systemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
        c.createInstance =
            systemFunction<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
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
    const auto initialize =
        systemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    return initialize && SUCCEEDED(initialize(nullptr, kApartment));
}

void endThreadCom() {
    if (const auto end = systemFunction<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize"))
        end();
}

HRESULT createComObject(REFCLSID type, REFIID interfaceId, void** object) {
    if (!startCom()) return E_FAIL;
    return com().createInstance(type, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object);
}

}  // namespace td::win32
