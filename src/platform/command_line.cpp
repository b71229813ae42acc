#include "platform/command_line.h"

namespace td {

namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// The program file a part of the line names: the part, with ".exe" when its file name has no
// extension, as the system adds it.
std::wstring programFile(const std::wstring& part) {
    const auto name = part.find_last_of(L"\\/:");
    const auto dot = part.find(L'.', name == std::wstring::npos ? 0 : name + 1);
    return dot == std::wstring::npos ? part + L".exe" : part;
}

}  // namespace

std::optional<ProgramCall> programCall(const std::wstring& line, FileSystem& files) {
    if (line.empty()) return std::nullopt;
    const bool hasBlank = line.find_first_of(L" \t") != std::wstring::npos;
    if (line.front() == L'"' || !hasBlank) return ProgramCall{L"", line};
    if (files.kind(line) != PathKind::Missing) return ProgramCall{line, quoted(line)};

    std::size_t systemsChoice = std::wstring::npos, ours = std::wstring::npos;
    std::wstring program;
    for (std::size_t end = 1; end <= line.size(); ++end) {
        if (end < line.size() && !isBlank(line[end])) continue;
        if (isBlank(line[end - 1])) continue;
        const std::wstring candidate = programFile(line.substr(0, end));
        if (files.kind(candidate) != PathKind::File) continue;
        if (systemsChoice == std::wstring::npos) systemsChoice = end;
        const auto next = line.find_first_of(L"\\/", end);
        if (next != std::wstring::npos && files.kind(line.substr(0, next)) == PathKind::Folder)
            continue;
        ours = end;
        program = candidate;
    }
    if (ours == systemsChoice && ours != std::wstring::npos) return ProgramCall{L"", line};
    if (ours != std::wstring::npos)
        return ProgramCall{program, quoted(program) + line.substr(ours)};
    const std::wstring first = line.substr(0, line.find_first_of(L" \t"));
    if (first.find_first_of(L"\\/:") != std::wstring::npos) return std::nullopt;
    return ProgramCall{L"", line};
}

}  // namespace td
