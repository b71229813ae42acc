#include "platform/environment.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <map>

namespace td {

std::wstring expandEnvironment(const std::wstring& text, const Variables& variable) {
    constexpr auto npos = std::wstring::npos;
    std::wstring expanded;
    std::size_t at = 0;
    for (std::size_t open; (open = text.find(L'%', at)) != npos;) {
        const std::size_t close = text.find(L'%', open + 1);
        if (close == npos) break;
        std::optional<std::wstring> value;
        if (close > open + 1) value = variable(text.substr(open + 1, close - open - 1));
        // Without such a variable the first % is text, and the second may open a reference.
        expanded += text.substr(at, open - at) + (value ? *value : text.substr(open, close - open));
        at = value ? close + 1 : close;
    }
    return expanded + text.substr(at);
}

bool NameOrder::operator()(const std::wstring& a, const std::wstring& b) const {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](wchar_t x, wchar_t y) { return std::towupper(x) < std::towupper(y); });
}

std::vector<Variable> variablesOf(const wchar_t* block) {
    std::vector<Variable> variables;
    for (const wchar_t* entry = block; entry && *entry; entry += std::wcslen(entry) + 1) {
        const wchar_t* equals = std::wcschr(entry + 1, L'=');
        if (*entry == L'=' || !equals) continue;
        variables.push_back({std::wstring(entry, equals), std::wstring(equals + 1)});
    }
    return variables;
}

Names namesOf(const std::vector<Variable>& variables) {
    Names names;
    for (const Variable& v : variables) names.insert(v.name);
    return names;
}

std::vector<VariableChange> settingsChanges(const std::vector<Variable>& current,
                                            const std::vector<Variable>& fresh,
                                            const Names& definedBefore) {
    std::map<std::wstring, std::wstring, NameOrder> now;
    for (const Variable& v : current) now.emplace(v.name, v.value);
    std::vector<VariableChange> changes;
    for (const Variable& v : fresh) {
        auto held = now.find(v.name);
        if (held == now.end() || held->second != v.value) changes.push_back({v.name, v.value});
    }
    const Names defined = namesOf(fresh);
    for (const auto& [name, value] : now)
        if (definedBefore.count(name) && !defined.count(name)) changes.push_back({name, {}});
    return changes;
}

}  // namespace td
