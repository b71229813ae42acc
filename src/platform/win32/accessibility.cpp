#include "platform/win32/accessibility.h"

#include "platform/win32/com.h"
// The identifiers of the accessibility property services, defined here rather than taken
// from a library.
#include <initguid.h>
// oleacc.h builds on the definitions above.
#include <oleacc.h>

namespace td::win32 {

namespace {

// The UI Automation properties a control's annotation also sets (UIAutomationClient.h), and
// the control type of a link.
constexpr GUID kAutomationName = {
    0xc3a6921b, 0x4a99, 0x44f1, {0xbc, 0xa6, 0x61, 0x18, 0x70, 0x52, 0xc4, 0x31}};
constexpr GUID kAutomationControlType = {
    0xca774fea, 0x28ac, 0x4bc2, {0x94, 0xca, 0xac, 0xec, 0x6d, 0x6c, 0x10, 0xa3}};
constexpr long kAutomationHyperlink = 50005;

// One instance for the run; what it gives stays with the controls.
IAccPropServices* propertyServices() {
    static IAccPropServices* const services = [] {
        IAccPropServices* made = nullptr;
        createComObject(CLSID_AccPropServices, IID_IAccPropServices,
                        reinterpret_cast<void**>(&made));
        return made;
    }();
    return services;
}

HRESULT setNumber(IAccPropServices* services, HWND control, const GUID& property, long value) {
    VARIANT number = {};
    number.vt = VT_I4;
    number.lVal = value;
    return services->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 property, number);
}

}  // namespace

HRESULT nameForScreenReaders(HWND control, const std::wstring& name) {
    IAccPropServices* services = propertyServices();
    if (!services) return E_FAIL;
    const HRESULT result = services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT),
                                                    CHILDID_SELF, PROPID_ACC_NAME, name.c_str());
    if (FAILED(result)) return result;
    return services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                    kAutomationName, name.c_str());
}

HRESULT describeForScreenReaders(HWND control, const std::wstring& description) {
    IAccPropServices* services = propertyServices();
    if (!services) return E_FAIL;
    if (description.empty())
        return services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                        &PROPID_ACC_DESCRIPTION, 1);
    return services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                    PROPID_ACC_DESCRIPTION, description.c_str());
}

HRESULT announceAsLink(HWND control) {
    IAccPropServices* services = propertyServices();
    if (!services) return E_FAIL;
    const HRESULT result = setNumber(services, control, PROPID_ACC_ROLE, ROLE_SYSTEM_LINK);
    if (FAILED(result)) return result;
    return setNumber(services, control, kAutomationControlType, kAutomationHyperlink);
}

}  // namespace td::win32
