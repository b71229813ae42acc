#!/usr/bin/env python3
"""Checks that every program and file the scripts use comes from a package that
scripts/install-deps.sh names, so that a missing install step fails here, on the machine
where it was introduced, and not first on a new machine.

    scripts/check-deps.py

Reads the scripts (scripts/*.sh, tests/installer/run.sh, .ci/run) for the commands they call,
including those in `bash -c '...'` blocks and `$(...)`, and the build files for the programs
the build runs (compilers, emulator, Python, makensis, wixl, msibuild) and the absolute paths they name.
Each command is looked up on the scripts' PATH (scripts/system-path.sh) and each file checked
with `dpkg -S`: its package must be in `scripts/install-deps.sh --list`. Prints what fails
and exits 1, or prints one line and exits 0.
"""
import os
import re
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SYSTEM_PATH = "/usr/sbin:/usr/bin:/sbin:/bin"
SCRIPTS = ["scripts/*.sh", "tests/installer/run.sh", ".ci/run"]
BUILD_FILES = ["CMakeLists.txt", "cmake/*.cmake", "res/CMakeLists.txt", "tests/CMakeLists.txt"]
# Programs the build runs without a script naming them: CMake's generator, test driver and
# packer, the icon script's interpreter, the installer compiler behind CPack, the Windows
# Installer package's builder and its corrector (packaging/msi.cmake), and the XML checker a
# test runs (tests/CMakeLists.txt).
BUILD_PROGRAMS = ["make", "ctest", "cpack", "python3", "makensis", "wixl", "msibuild", "xmllint"]

KEYWORDS = set("if then else elif fi case esac for while until do done in function select "
               "time coproc { } [[ ]] ! ;; exec command".split())
SEPARATORS = {";", "&&", "||", "|", "&", "(", ")", "\n", "then", "do", "else", "elif", "{",
              "!", "if", "while", "until", "exec", "time", "command"}


def shell_builtins():
    out = subprocess.run(["bash", "-c", "compgen -b; compgen -k"], capture_output=True,
                         text=True, check=True).stdout
    return set(out.split())


def closing(text, i):
    """The index just past the `)` that closes the `$(` whose `$` is at i, skipping quoted
    text."""
    depth, j, n = 0, i + 1, len(text)
    while j < n:
        c = text[j]
        if c == "\\":
            j += 2
            continue
        if c == "'":
            j = text.find("'", j + 1) + 1 or n
            continue
        if c == '"':
            j += 1
            while j < n and text[j] != '"':
                if text[j] == "\\":
                    j += 1
                elif text.startswith("$(", j):
                    j = closing(text, j) - 1
                j += 1
            j += 1
            continue
        depth += {"(": 1, ")": -1}.get(c, 0)
        j += 1
        if depth == 0:
            return j
    return n


def tokens(text):
    """Words and separators of shell code. The insides of `$(...)`, also within double
    quotes, and of single-quoted strings that follow `bash -c` are code and yield their own
    tokens; other quoted text is one word."""
    out, word, i, n = [], "", 0, len(text)
    heredocs = []  # the ends of here-documents whose text starts on the next line

    def flush():
        nonlocal word
        if word:
            out.append(word)
            word = ""

    def code(inner):
        out.append("\n")
        out.extend(tokens(inner))
        out.append("\n")

    while i < n:
        c = text[i]
        if c == "#" and not word:
            while i < n and text[i] != "\n":
                i += 1
            continue
        if c == "\\" and i + 1 < n:
            if text[i + 1] != "\n":
                word += text[i:i + 2]
            i += 2
            continue
        if c == "'":
            end = text.find("'", i + 1)
            end = n if end < 0 else end
            inner = text[i + 1:end]
            if len(out) >= 2 and out[-1] == "-c" and out[-2] in ("bash", "sh"):
                flush()
                code(inner)
                word = "'...'"
            else:
                word += "'" + inner + "'"
            i = end + 1
            continue
        if c == '"':
            j, subs = i + 1, []
            while j < n and text[j] != '"':
                if text[j] == "\\":
                    j += 2
                    continue
                if text.startswith("$(", j) and not text.startswith("$((", j):
                    k = closing(text, j)
                    subs.append(text[j + 2:k - 1])
                    j = k
                    continue
                j += 1
            for sub in subs:
                code(sub)
            word += '"' + text[i + 1:j] + '"'
            i = j + 1
            continue
        if text.startswith("$((", i):
            end = text.find("))", i)
            end = n if end < 0 else end + 2
            word += "$((...))"
            i = end
            continue
        if text.startswith("<<", i) and not text.startswith("<<<", i):
            match = re.match(r"<<-?\s*(['\"]?)(\w+)\1", text[i:])
            if match:
                heredocs.append(match.group(2))
                i += match.end()
                continue
        if c == "\n" and heredocs:
            # A here-document is text, not code: skip to the line that ends it.
            for end in heredocs:
                found = re.compile(r"^\s*" + end + r"\s*$", re.M).search(text, i + 1)
                i = found.end() if found else n
            heredocs = []
            flush()
            out.append("\n")
            continue
        if c in "<>":
            # A redirection, with its target (">/dev/null", "2>&1") one word with it.
            j = i + 1
            while j < n and text[j] in "<>&":
                j += 1
            word += text[i:j]
            i = j
            continue
        if text.startswith("$(", i):
            k = closing(text, i)
            flush()
            code(text[i + 2:k - 1])
            word = "$(...)"
            i = k
            continue
        if c in " \t":
            flush()
        elif c in ";&|()\n":
            flush()
            two = text[i:i + 2]
            if two in ("&&", "||", ";;"):
                out.append(two)
                i += 2
                continue
            out.append(c)
        else:
            word += c
        i += 1
    flush()
    return out


def commands(text, builtins, functions):
    """The first word of every simple command: the programs the code runs."""
    found, at_start, in_array = set(), True, False
    toks = tokens(text)
    for k, tok in enumerate(toks):
        nxt = toks[k + 1] if k + 1 < len(toks) else ""
        if in_array:  # the words of an array are data
            in_array = tok != ")"
            continue
        if tok in SEPARATORS:
            at_start = True
            continue
        if not at_start:
            if k and toks[k - 1] in ("for", "select", "-E"):
                continue  # a loop's variable; one of CMake's own commands (cmake -E tar)
            # An argument that names a program: wrappers (timeout, the test's check) run it.
            if (re.match(r"^[A-Za-z][\w.+-]*$", tok) and tok not in builtins | KEYWORDS | functions
                    and shutil.which(tok, path=SYSTEM_PATH)):
                found.add(tok)
            continue
        if re.match(r"^\d*[<>]", tok):
            continue
        if re.match(r"^[A-Za-z_][A-Za-z0-9_]*(\[[^]]*\])?\+?=", tok):
            in_array = tok.endswith("=") and nxt == "("
            continue  # an assignment before the command
        at_start = False
        if tok in KEYWORDS or tok in builtins or tok in functions or nxt == ")":
            continue  # a builtin, a function of the scripts, or a `case` pattern
        if tok[0] in "\"'$-[" or tok.endswith(")") or ("/" in tok and tok[0] != "/"):
            continue  # a variable, one of the project's own scripts, a test
        found.add(tok)
    return found


def sources(patterns):
    import glob
    for pattern in patterns:
        for path in sorted(glob.glob(os.path.join(ROOT, pattern))):
            with open(path, encoding="utf-8") as f:
                yield os.path.relpath(path, ROOT), f.read()


def owners(path):
    """The packages that installed a file or folder (folders can have several). On a system
    with /bin merged into /usr/bin, dpkg may know a program by its /bin name."""
    candidates = [path]
    for merged in ("/bin/", "/sbin/", "/lib/"):
        if path.startswith("/usr" + merged):
            candidates.append(path[len("/usr"):])
    for candidate in candidates:
        result = subprocess.run(["dpkg", "-S", candidate], capture_output=True, text=True)
        for line in result.stdout.splitlines():
            names, _, owned = line.rpartition(": ")
            if owned == candidate:
                return {name.strip().split(":")[0] for name in names.split(",")}
    return set()


def main():
    named = set(subprocess.run([os.path.join(ROOT, "scripts/install-deps.sh"), "--list"],
                               capture_output=True, text=True, check=True).stdout.split())
    builtins = shell_builtins()
    used = {}  # program or file -> where it is used
    scripts = list(sources(SCRIPTS))
    functions = set()
    for _, text in scripts:
        functions |= set(re.findall(r"^\s*([A-Za-z_][A-Za-z0-9_]*)\s*\(\)\s*\{", text, re.M))
    for name, text in scripts:
        for program in commands(text, builtins, functions):
            used.setdefault(program, name)
    for name, text in sources(BUILD_FILES):
        for program in re.findall(r"CMAKE_(?:\w+_COMPILER|AR|RANLIB)\s+([\w.+-]+)", text):
            used.setdefault(program, name)
        for program in re.findall(r"CMAKE_CROSSCOMPILING_EMULATOR\s+([\w.+-]+)", text):
            used.setdefault(program, name)
    for program in BUILD_PROGRAMS:
        used.setdefault(program, "the build")
    for name, text in scripts + list(sources(BUILD_FILES)):
        for path in re.findall(r"(?<![\w$}.])(/(?:usr|etc|lib)/[\w./+-]*\w)", text):
            used.setdefault(path, name)

    failures = []
    for item, where in sorted(used.items()):
        path = item if item.startswith("/") else shutil.which(item, path=SYSTEM_PATH)
        if path is None:
            failures.append(f"{item} ({where}): not found on {SYSTEM_PATH}")
            continue
        if not os.path.exists(path):
            failures.append(f"{item} ({where}): no such file")
            continue
        # The file itself, and where its links lead (alternatives, versioned names).
        chain = [path]
        while os.path.islink(chain[-1]) and len(chain) < 8:
            chain.append(os.path.join(os.path.dirname(chain[-1]), os.readlink(chain[-1])))
        packages = set().union(*(owners(os.path.normpath(p)) for p in chain))
        if not packages:
            failures.append(f"{item} ({where}): {path} belongs to no package")
        elif not packages & named:
            failures.append(f"{item} ({where}): {path} is from {', '.join(sorted(packages))}, "
                            "which scripts/install-deps.sh does not name")
    if failures:
        print("Dependency check failed:", file=sys.stderr)
        for failure in failures:
            print("  " + failure, file=sys.stderr)
        return 1
    print(f"Dependencies: {len(used)} programs and files, each from a package "
          "scripts/install-deps.sh names")
    return 0


if __name__ == "__main__":
    sys.exit(main())
