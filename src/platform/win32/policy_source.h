// Group Policy's settings for the program, under HKEY_LOCAL_MACHINE (the computer's) and
// HKEY_CURRENT_USER (the user's), and the news that they changed.
#pragma once

#include <array>

#include "platform/services.h"
#include "platform/win32/win32.h"

namespace td::win32 {

class Win32PolicySource : public PolicySource {
public:
    Win32PolicySource() = default;
    Win32PolicySource(const Win32PolicySource&) = delete;
    Win32PolicySource& operator=(const Win32PolicySource&) = delete;
    ~Win32PolicySource() override;

    std::map<std::wstring, std::wstring> readPolicy(PolicyScope scope, const std::wstring& appName,
                                                    const std::wstring& section,
                                                    const std::vector<std::wstring>& keys) override;
    void listen(ui::Form& owner, std::function<void()> changed) override;

private:
    std::function<void()> changed_;
    // The events the Group Policy service signals after applying the computer's and the
    // user's policy; null where it took none.
    std::array<HANDLE, 2> events_{};
};

}  // namespace td::win32
