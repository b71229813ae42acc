// The environment's variables as programs see them: %NAME% references filled in, and the
// changes that bring a process's environment in step with the user's settings.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace td {

// The value of a variable of the user's environment, or none.
using Variables = std::function<std::optional<std::wstring>(const std::wstring& name)>;

// The text with each %NAME% reference to a variable of the environment replaced by its
// value. A % that starts no such reference stays as it is ("100%", "%UNDEFINED%").
std::wstring expandEnvironment(const std::wstring& text, const Variables& variable);

// Variable names as the system compares them: without regard to letter case.
struct NameOrder {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};
using Names = std::set<std::wstring, NameOrder>;

// An environment block's entries ("NAME=value", each ended by a NUL, then a NUL), in order.
// The system's hidden entries, whose names start with "=" (the current folder of each
// drive), are left out.
struct Variable {
    std::wstring name;
    std::wstring value;
};
std::vector<Variable> variablesOf(const wchar_t* block);
Names namesOf(const std::vector<Variable>& variables);

// A variable to set to a value, or to remove (none).
struct VariableChange {
    std::wstring name;
    std::optional<std::wstring> value;

    bool operator==(const VariableChange&) const = default;
};

// What brings a process's environment (current) in step with the user's settings as they are
// now (fresh): each variable they define, at its value, and the removal of each variable they
// defined before (definedBefore) and no longer do. A variable the process was given by
// whatever started it, and that the settings never defined, is kept.
std::vector<VariableChange> settingsChanges(const std::vector<Variable>& current,
                                            const std::vector<Variable>& fresh,
                                            const Names& definedBefore);

}  // namespace td
