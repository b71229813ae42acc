// The user's environment, for the programs Tillerdock starts and the %NAME% references in their
// command lines: this process's own until the system announces that the user's settings
// changed, then rebuilt from those settings as the shell rebuilds its own, so that a variable
// added after sign-in works without restarting Tillerdock.
#pragma once

#include <optional>
#include <string>

#include "platform/win32/win32.h"

namespace td::win32 {

// A variable of that environment, or none.
std::optional<std::wstring> environmentVariable(const std::wstring& name);
// The environment a started program gets (a block for CREATE_UNICODE_ENVIRONMENT), or null
// for this process's own.
const wchar_t* environmentBlock();
// The system broadcast that the user's environment changed (WM_SETTINGCHANGE with
// "Environment"): its next use reads it afresh.
void environmentChanged();

}  // namespace td::win32
