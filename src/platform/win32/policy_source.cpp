#include "platform/win32/policy_source.h"

#include "platform/win32/form_view.h"
#include "platform/win32/handles.h"
#include "platform/win32/services.h"
#include "platform/win32/window_system.h"

namespace td::win32 {

namespace {

// Group Policy's notifications (userenv), loaded from the system folder only.
struct Notifications {
    BOOL(WINAPI* registerEvent)(HANDLE event, BOOL machine) = nullptr;
    BOOL(WINAPI* unregisterEvent)(HANDLE event) = nullptr;
};

const Notifications& notifications() {
    static const Notifications functions = [] {
        Notifications n;
        n.registerEvent =
            systemFunction<decltype(n.registerEvent)>(L"userenv.dll", "RegisterGPNotification");
        n.unregisterEvent =
            systemFunction<decltype(n.unregisterEvent)>(L"userenv.dll", "UnregisterGPNotification");
        return n;
    }();
    return functions;
}

}  // namespace

std::map<std::wstring, std::wstring> Win32PolicySource::readPolicy(
    PolicyScope scope, const std::wstring& appName, const std::wstring& section,
    const std::vector<std::wstring>& keys) {
    std::map<std::wstring, std::wstring> set;
    HKEY opened = nullptr;
    // Group Policy's own key, which users cannot write; a missing key sets nothing.
    if (RegOpenKeyExW(scope == PolicyScope::Computer ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                      policyKeyPath(appName, section).c_str(), 0, KEY_QUERY_VALUE,
                      &opened) != ERROR_SUCCESS)
        return set;
    const UniqueKey policyKey(opened);
    for (const std::wstring& key : keys) {
        // Read by name, so that a value written in another letter case counts, as it does for
        // every reader of the registry.
        StoredValue value = readRegistryValue(policyKey.get(), key);
        if (value.kind == StoredValue::Kind::Text) set[key] = std::move(value.text);
    }
    return set;
}

void Win32PolicySource::listen(ui::Form& owner, std::function<void()> changed) {
    changed_ = std::move(changed);
    // After a refresh that changed policy the system broadcasts WM_SETTINGCHANGE with "Policy"
    // to every top-level window. The window's own handling of the message goes on after this.
    addMessageHook(owner, [this](UINT message, WPARAM, LPARAM lParam, LRESULT&) {
        if (message == WM_SETTINGCHANGE && lParam &&
            lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"Policy") == 0 && changed_)
            changed_();
        return false;
    });
    // The Group Policy service also signals an event registered with it after it applies the
    // computer's or the user's policy. The message loop waits for the two events with the
    // messages, in the one blocking call it makes anyway: a wait of the thread pool would keep
    // a thread of its own for them.
    const Notifications& gp = notifications();
    if (!gp.registerEvent || !gp.unregisterEvent) return;
    for (BOOL machine : {TRUE, FALSE}) {
        // Auto-reset: the loop's wait resets it, so one signal is one notification.
        UniqueHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!event || !gp.registerEvent(event.get(), machine)) continue;
        runWhenSignalled(event.get(), [this] {
            if (changed_) changed_();
        });
        events_[machine ? 0 : 1] = event.release();
    }
}

Win32PolicySource::~Win32PolicySource() {
    // Unregistered before the handle is closed, as the service may still signal it until then.
    for (HANDLE event : events_) {
        if (!event) continue;
        stopWaitingFor(event);
        notifications().unregisterEvent(event);
        CloseHandle(event);
    }
}

}  // namespace td::win32
