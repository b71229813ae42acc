#include "platform/win32/accessibility.h"

#include "platform/win32/com.h"
// The identifiers of the accessibility property services, defined here rather than taken
// from a library.
#include <initguid.h>
// oleacc.h builds on the definitions above.
#include <oleacc.h>

namespace td::win32 {

HRESULT nameForScreenReaders(HWND control, const std::wstring& name) {
    // One instance for the run; the names it gives stay with the controls.
    static IAccPropServices* const services = [] {
        IAccPropServices* made = nullptr;
        createComObject(CLSID_AccPropServices, IID_IAccPropServices,
                        reinterpret_cast<void**>(&made));
        return made;
    }();
    if (!services) return E_FAIL;
    return services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                    PROPID_ACC_NAME, name.c_str());
}

}  // namespace td::win32
