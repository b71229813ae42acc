// How a slot's command line starts a program. Typed without quotation marks, a line with
// blanks is ambiguous: the system's own reading tries each part of it up to a blank as a
// program ("C:\Program.exe" for "C:\Program Files\Tool\tool.exe -x") and starts the first
// that exists, so that a program planted there would run instead of the one the user named.
// Portable code: what exists is asked of a FileSystem.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace td {

enum class PathKind { Missing, File, Folder };

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual PathKind kind(const std::wstring& path) = 0;
    // The program file a name without a folder stands for, found as the system's program
    // search finds it (".exe" added where the name has no extension); none when not found.
    virtual std::optional<std::wstring> search(const std::wstring& name) = 0;
};

// The text with each %NAME% reference to a variable of the environment replaced by its
// value. A % that starts no such reference stays as it is.
std::wstring expandEnvironment(
    const std::wstring& text,
    const std::function<std::optional<std::wstring>(const std::wstring& name)>& variable);

// The command line that starts what a shortcut starts: its target, in quotation marks when it
// holds a blank, then its arguments.
std::wstring commandLineOf(const std::wstring& target, const std::wstring& arguments);

// The program to run and the command line it gets. No program: the system reads the line
// itself, as typed (a line in quotation marks, a line without blanks, a bare program name
// that the system's search finds).
struct ProgramCall {
    std::wstring program;
    std::wstring commandLine;
};

// A line that names an existing file or folder as a whole starts exactly that. Otherwise the
// candidates are those of the system's reading: each part up to a blank, with ".exe" added
// where it has no extension; the longest that names an existing program file starts, with the
// rest of the line as its arguments. A part the line goes on from through a blank into an
// existing folder ("C:\Program" in "C:\Program Files\...") is not a candidate. When no
// candidate exists, a line whose program has a folder names nothing there (none), and a bare
// name is left to the system's search.
std::optional<ProgramCall> programCall(const std::wstring& line, FileSystem& files);

// The program file a line starts, as programCall finds it: the whole line when it names a
// file; otherwise the program in quotation marks, or the longest candidate, or the first
// name searched as the system searches; none when no program file is found.
std::optional<std::wstring> programFile(const std::wstring& line, FileSystem& files);

}  // namespace td
