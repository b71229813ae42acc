#include "platform/command_line.h"

#include <algorithm>
#include <string_view>

namespace td {

namespace {

constexpr auto npos = std::wstring::npos;
// The longest name of a file or folder the file systems hold.
constexpr std::size_t kMaxName = 255;

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool hasFolder(const std::wstring& name) {
    return name.find_first_of(L"\\/:") != npos;
}

bool absolute(const std::wstring& path) {
    return (path.size() > 2 && path[1] == L':' && isSeparator(path[2])) ||
           (path.size() > 1 && isSeparator(path[0]) && isSeparator(path[1]));
}

std::wstring quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// Whether a path can name a file at all: no longer than the longest path, and no name in it
// longer than a file system holds. What cannot exist is never looked for.
bool possible(std::wstring_view path) {
    if (path.size() >= kMaxCommandLine) return false;
    std::size_t name = 0;
    for (wchar_t c : path)
        if ((name = isSeparator(c) ? 0 : name + 1) > kMaxName) return false;
    return true;
}

// A name made of dots only: "." or ".." (or more), which the system's reading of a path
// resolves into another folder.
bool dotsOnly(std::wstring_view name) {
    return !name.empty() && name.find_first_not_of(L'.') == std::wstring_view::npos;
}

// The program file a part of the line names: the part, with ".exe" when its file name has no
// extension, as the system adds it.
std::wstring withExtension(const std::wstring& part) {
    const auto name = part.find_last_of(L"\\/:");
    const auto dot = part.find(L'.', name == npos ? 0 : name + 1);
    return dot == npos ? part + L".exe" : part;
}

// The program a line names and where its arguments begin; whether the system's own reading
// of the line starts that same file, so that the line can go to it as written.
// A bare name found by the search or through App Paths (bare), and the folders App Paths
// puts before the program's PATH.
struct Named {
    std::wstring file;
    std::size_t rest = 0;
    bool asWritten = true;
    bool bare = false;
    std::wstring path;
};

// A stored value without its quotation marks, with its references filled in.
std::wstring unquoted(std::wstring value, const Variables& variables) {
    if (value.size() > 1 && value.front() == L'"') value = value.substr(1, value.find(L'"', 1) - 1);
    return expandEnvironment(value, variables);
}

// The program App Paths registers for a name without a folder; none unless the value is a
// full path (anything else would depend on the launcher's current folder) to an existing
// file.
std::optional<Named> registered(const std::wstring& name, std::size_t rest, FileSystem& files,
                                const Variables& variables) {
    const std::optional<FileSystem::Registration> value =
        files.registeredProgram(withExtension(name));
    if (!value) return std::nullopt;
    const std::wstring path = unquoted(value->program, variables);
    if (!absolute(path) || !possible(path) || files.kind(path) != PathKind::File)
        return std::nullopt;
    return Named{path, rest, false, true, unquoted(value->path, variables)};
}

// A program named by the user: with a folder, the file there; without, the system's search,
// then App Paths (the line then names it differently from the system's own reading).
std::optional<Named> findNamed(const std::wstring& name, std::size_t rest, FileSystem& files,
                               const Variables& variables) {
    if (name.empty() || !possible(name)) return std::nullopt;
    if (!hasFolder(name)) {
        if (std::optional<std::wstring> found = files.search(name))
            return Named{*found, rest, true, true};
        return registered(name, rest, files, variables);
    }
    if (files.kind(name) == PathKind::File) return Named{name, rest};
    const std::wstring file = withExtension(name);
    if (file != name && files.kind(file) == PathKind::File) return Named{file, rest};
    return std::nullopt;
}

// How far along a line without quotation marks its candidates can reach: past a name longer
// than any file system holds, or past a "." or ".." after the first blank (which would lift a
// candidate out of the folders the line names), no candidate names the file it spells.
std::size_t reachOf(const std::wstring& line, std::size_t firstBlank) {
    const std::size_t end = std::min(line.size(), kMaxCommandLine - 5);  // room for ".exe"
    for (std::size_t i = 0, name = 0; i < end; ++i) {
        if (!isSeparator(line[i])) {
            if (i - name + 1 > kMaxName) return i;
            continue;
        }
        if (name > firstBlank && dotsOnly(std::wstring_view(line).substr(name, i - name))) return i;
        name = i + 1;
    }
    return end;
}

// The last name of a candidate: one the file system can hold, and after the first blank not
// "." or "..".
bool lastNameFits(const std::wstring& candidate, std::size_t firstBlank) {
    const auto separator = candidate.find_last_of(L"\\/");
    const std::size_t name = separator == npos ? 0 : separator + 1;
    return candidate.size() - name <= kMaxName &&
           !(name > firstBlank && dotsOnly(std::wstring_view(candidate).substr(name)));
}

// One reading of the line, as it stands (see programCall).
std::optional<Named> read(const std::wstring& line, FileSystem& files, const Variables& variables) {
    if (line.empty()) return std::nullopt;
    if (line.front() == L'"') {
        const auto close = line.find(L'"', 1);
        return findNamed(line.substr(1, close == npos ? npos : close - 1),
                         close == npos ? line.size() : close + 1, files, variables);
    }
    const auto firstBlank = line.find_first_of(L" \t");
    if (firstBlank == npos) return findNamed(line, line.size(), files, variables);

    const std::size_t reach = reachOf(line, firstBlank);
    if (reach == line.size() && lastNameFits(line, firstBlank) &&
        files.kind(line) != PathKind::Missing)
        return Named{line, line.size(), false};
    std::size_t tried = 0, systemsChoice = npos;
    std::optional<Named> ours;
    for (std::size_t end = 1; end <= reach && tried < kCandidateLimit; ++end) {
        if (end < line.size() && !isBlank(line[end])) continue;
        if (isBlank(line[end - 1])) continue;
        std::wstring candidate = withExtension(line.substr(0, end));
        if (!lastNameFits(candidate, firstBlank)) continue;
        ++tried;
        if (files.kind(candidate) != PathKind::File) continue;
        if (systemsChoice == npos) systemsChoice = end;
        const auto next = line.find_first_of(L"\\/", end);
        if (next != npos && files.kind(line.substr(0, next)) == PathKind::Folder) continue;
        ours = Named{std::move(candidate), end, end == systemsChoice};
    }
    if (ours) return ours;
    const std::wstring first = line.substr(0, firstBlank);
    if (hasFolder(first)) return std::nullopt;
    return findNamed(first, firstBlank, files, variables);
}

// What the system is given for a reading of the line: the program part as read, and the rest
// of the line with its references filled in (expanded already when the whole line was).
std::optional<ProgramCall> callOf(const std::wstring& line, const Named& named, std::wstring rest,
                                  FileSystem& files, const Variables& variables) {
    ProgramCall call;
    call.program = named.file;
    call.commandLine = (named.asWritten ? line.substr(0, named.rest) : quoted(named.file)) + rest;
    if (call.commandLine.size() >= kMaxCommandLine) return std::nullopt;
    call.arguments = rest.substr(std::min(rest.find_first_not_of(L" \t"), rest.size()));
    // A bare name starts where the Run box starts it, in the user's profile folder; a program
    // named with a folder in its own; one named relative to the launcher's folder there.
    const std::optional<std::wstring> profile =
        named.bare ? variables(L"USERPROFILE") : std::nullopt;
    if (profile && absolute(*profile))
        call.folder = *profile;
    else if (absolute(named.file))
        call.folder = folderOf(named.file);
    if (!named.path.empty())
        call.path = named.path + L";" + variables(L"PATH").value_or(std::wstring());
    // The system's process start takes neither a program path nor a folder longer than a
    // path of old; their short forms stand in where the volume keeps them. A program without
    // one cannot start.
    if (call.program.size() >= kMaxPath) {
        const std::optional<std::wstring> brief = files.shortForm(call.program);
        if (!brief || brief->empty() || brief->size() >= kMaxPath) return std::nullopt;
        call.program = *brief;
    }
    if (call.folder.size() >= kMaxPath - 1) {
        std::optional<std::wstring> brief = files.shortForm(call.folder);
        call.folder = brief && brief->size() < kMaxPath - 1 ? *brief : std::wstring();
    }
    return call;
}

}  // namespace

std::optional<ProgramCall> programCall(const std::wstring& line, FileSystem& files,
                                       const Variables& variables) {
    // The program as the user wrote it comes first: a file name may hold a % of its own. The
    // rest of the line means the same however the program was written: its references are
    // always filled in, as the Run box and shortcuts fill them in.
    if (std::optional<Named> named = read(line, files, variables))
        return callOf(line, *named, expandEnvironment(line.substr(named->rest), variables), files,
                      variables);
    const std::wstring expanded = expandEnvironment(line, variables);
    if (expanded == line) return std::nullopt;
    std::optional<Named> named = read(expanded, files, variables);
    return named ? callOf(expanded, *named, expanded.substr(named->rest), files, variables)
                 : std::nullopt;
}

bool startProgram(const std::wstring& line, int showState, FileSystem& files,
                  const Variables& variables, ProcessStarts& processes) {
    const std::optional<ProgramCall> call = programCall(line, files, variables);
    if (!call) return false;
    StartOutcome outcome = processes.create(*call, showState);
    if (outcome == StartOutcome::NeedsElevation) outcome = processes.openElevated(*call, showState);
    return outcome == StartOutcome::Started || outcome == StartOutcome::Declined;
}

std::wstring commandLineOf(const std::wstring& target, const std::wstring& arguments) {
    const bool blank = target.find_first_of(L" \t") != npos;
    const std::wstring program = blank ? quoted(target) : target;
    return arguments.empty() ? program : program + L" " + arguments;
}

std::wstring folderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    if (slash == npos) return std::wstring();
    // A drive's root keeps its backslash: "C:" alone means the drive's current folder.
    if (slash > 0 && path[slash - 1] == L':') return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

}  // namespace td
