// Which program a slot's command line starts, with what command line, in which folder.
//
// Typed without quotation marks, a line with blanks is ambiguous: the system's own reading
// tries each part of it up to a blank as a program ("C:\Program.exe" for "C:\Program
// Files\Tool\tool.exe -x") and starts the first that exists, so that a program planted there
// would run instead of the one the user named. Portable code: what exists is asked of a
// FileSystem, and no more often than a fixed number of times for one line, however long.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/environment.h"

namespace td {

enum class PathKind { Missing, File, Folder };

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual PathKind kind(const std::wstring& path) = 0;
    // The program file a name without a folder stands for, found as the system's program
    // search finds it (".exe" added where the name has no extension); none when not found.
    virtual std::optional<std::wstring> search(const std::wstring& name) = 0;
    // How Windows' Run box starts a file name ("chrome.exe") that App Paths registers: the
    // default value of its key, the user's before the machine's, and that key's "Path" value,
    // as stored (either may be quoted and hold %NAME% references); none when neither key has a
    // default value.
    struct Registration {
        std::wstring program;
        std::wstring path;
    };
    virtual std::optional<Registration> registeredProgram(const std::wstring& fileName) = 0;
    // The short (8.3) form of an existing path, which the system's process start takes where
    // the full path is too long for it; none when the volume keeps no short names.
    virtual std::optional<std::wstring> shortForm(const std::wstring& path) = 0;
};

// The command line that starts what a shortcut starts: its target, in quotation marks when it
// holds a blank, then its arguments.
std::wstring commandLineOf(const std::wstring& target, const std::wstring& arguments);

// The folder of a full file name, without a trailing backslash unless it is a drive's root
// ("C:\" for "C:\tool.exe"); empty for a name without a folder.
std::wstring folderOf(const std::wstring& path);

// The system's limits on what it starts: a path (MAX_PATH, its NUL included) and a command
// line (its NUL included).
inline constexpr std::size_t kMaxPath = 260;
inline constexpr std::size_t kMaxCommandLine = 32767;
// Of a line without quotation marks, the parts up to a blank tried as its program, at most.
inline constexpr std::size_t kCandidateLimit = 32;

// What starts for a line: the program file (in its short form where the full path is too
// long for the system), the command line it gets (the program as written wherever the
// system's own reading of the line starts the same program, then the rest of the line with
// its references filled in), that rest alone, the folder it starts in, and the PATH it gets
// where that is not the launcher's own (empty): a program App Paths registers with folders of
// its own finds them first. A program named with a folder starts in its own folder; a bare
// name the search or App Paths found starts in the user's profile folder, as from the Run
// box; one named relative to the launcher's folder starts there (empty).
struct ProgramCall {
    std::wstring program;
    std::wstring commandLine;
    std::wstring arguments;
    std::wstring folder;
    std::wstring path;
};

// The program a line starts, as the text is written: a line in quotation marks names its
// program there; a line that names an existing file as a whole starts exactly that;
// otherwise the candidates are those of the system's reading, each part up to a blank with
// ".exe" added where it has no extension, and the longest that names an existing program
// file starts, with the rest of the line as its arguments. A part the line goes on from
// through a blank into an existing folder ("C:\Program" in "C:\Program Files\...") is not a
// candidate, nor is one that goes back up a folder with "." or ".." after a blank, nor one
// that cannot name a file (a name longer than 255 characters, a path longer than any).
// Without a candidate, a program with a folder that is not there starts nothing, and a name
// without a folder is searched for as the system searches, then looked up as Windows' Run
// box looks it up (App Paths), where only a full path counts. Only when the text as written
// names no program are its %NAME% references filled in and the line read again; the text
// after the program always has them filled in. None when no program is found, when a path
// too long for the system's process start has no short form, or when the command line would
// be longer than the system takes.
std::optional<ProgramCall> programCall(const std::wstring& line, FileSystem& files,
                                       const Variables& variables);

enum class StartOutcome { Started, NeedsElevation, Declined, Failed };

// The system's two ways of starting a program file.
class ProcessStarts {
public:
    virtual ~ProcessStarts() = default;
    // A new process for the call; NeedsElevation when the program's manifest asks for
    // administrator rights, which the system's process start does not ask the user for.
    virtual StartOutcome create(const ProgramCall& call, int showState) = 0;
    // The shell's "open" of the program with its arguments, in its folder, which shows the
    // consent prompt for those rights; Declined when the user says no.
    virtual StartOutcome openElevated(const ProgramCall& call, int showState) = 0;
};

// Starts the program a line names (programCall) without waiting for it. A program that asks
// for administrator rights goes to the shell, which asks the user; a user who declines has
// nothing to be told. False when nothing was found to start, or the start failed.
bool startProgram(const std::wstring& line, int showState, FileSystem& files,
                  const Variables& variables, ProcessStarts& processes);

}  // namespace td
