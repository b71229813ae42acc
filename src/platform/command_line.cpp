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
std::wstring withExtension(const std::wstring& part) {
    const auto name = part.find_last_of(L"\\/:");
    const auto dot = part.find(L'.', name == std::wstring::npos ? 0 : name + 1);
    return dot == std::wstring::npos ? part + L".exe" : part;
}

// A program named by the user: with a folder, the file there; without, the system's search.
std::optional<std::wstring> findNamed(const std::wstring& name, FileSystem& files) {
    if (name.empty()) return std::nullopt;
    if (name.find_first_of(L"\\/:") == std::wstring::npos) return files.search(name);
    for (const std::wstring& file : {name, withExtension(name)})
        if (files.kind(file) == PathKind::File) return file;
    return std::nullopt;
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
        const std::wstring candidate = withExtension(line.substr(0, end));
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

std::optional<std::wstring> programFile(const std::wstring& line, FileSystem& files) {
    const std::optional<ProgramCall> call = programCall(line, files);
    if (!call) return std::nullopt;
    if (!call->program.empty()) {
        if (files.kind(call->program) != PathKind::File) return std::nullopt;
        return call->program;
    }
    if (line.front() == L'"') return findNamed(line.substr(1, line.find(L'"', 1) - 1), files);
    return findNamed(line.substr(0, line.find_first_of(L" \t")), files);
}

std::wstring expandEnvironment(
    const std::wstring& text,
    const std::function<std::optional<std::wstring>(const std::wstring& name)>& variable) {
    std::wstring expanded;
    std::size_t at = 0;
    for (std::size_t open; (open = text.find(L'%', at)) != std::wstring::npos;) {
        const std::size_t close = text.find(L'%', open + 1);
        if (close == std::wstring::npos) break;
        std::optional<std::wstring> value;
        if (close > open + 1) value = variable(text.substr(open + 1, close - open - 1));
        // Without such a variable the first % is text, and the second may open a reference.
        expanded += text.substr(at, open - at) + (value ? *value : text.substr(open, close - open));
        at = value ? close + 1 : close;
    }
    return expanded + text.substr(at);
}

std::wstring commandLineOf(const std::wstring& target, const std::wstring& arguments) {
    const bool blank = target.find_first_of(L" \t") != std::wstring::npos;
    const std::wstring program = blank ? quoted(target) : target;
    return arguments.empty() ? program : program + L" " + arguments;
}

}  // namespace td
