// The user's environment, for the programs Tillerdock starts, the program search and the
// %NAME% references in their command lines: this process's own, brought in step with the
// user's settings whenever the system announces that they changed, so that a variable or a
// PATH folder added after sign-in works without restarting Tillerdock, whichever way a
// program is started.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32.h"

namespace td::win32 {

// At start: which variables the user's settings define, so that one they no longer define
// after a change can be removed (and one that whatever started the program gave it kept).
void rememberSettingsVariables();
// The system broadcast that the user's environment changed (WM_SETTINGCHANGE with
// "Environment"): the process takes the settings as they are now. Needs userenv, loaded then.
void environmentChanged();
// A variable of the process's environment, or none.
std::optional<std::wstring> environmentVariable(const std::wstring& name);
// The process's environment with PATH set to the text, as a block for
// CREATE_UNICODE_ENVIRONMENT.
std::vector<wchar_t> environmentWithPath(const std::wstring& path);

}  // namespace td::win32
