#!/usr/bin/python3
"""Fails when scripts/setup.sh's package list misses a Debian package the project uses.

    scripts/check_packages.py BUILD_DIR...

A machine that has worked on the project for a while has more installed than the
list says, so building there proves nothing about a fresh system. This check asks
instead what the builds, the scripts and the Python scripts actually used:

- every CMake package configuration found (the *_DIR entries of CMakeCache.txt)
  and every program found (executable FILEPATH entries),
- every header the compiler read (ninja's dependency log), every include
  directory and library of the compile and link commands,
- every program the shell scripts start and every module the Python scripts import
  (they run with /usr/bin/python3),

all of them under /usr, maps each file to its Debian package with `dpkg -S`, and
requires that package to be in the list, in the base system (essential and
required packages, apt: what a minimal Debian install has) or among their
dependencies. Packages needed only at run time are not seen here; setup.sh lists
them with a comment.
"""
import glob
import json
import os
import re
import shlex
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
PYTHON = "/usr/bin/python3"

# Programs the scripts name on purpose without installing them.
NOT_INSTALLED = {
    "sudo": "setup.sh uses it only when not run as root; root needs none",
    "convert": "make_about_media.py redraws the committed about-panel pictures by hand; "
    "neither README command runs it",
}


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def listed_packages():
    # bash reads the array exactly as setup.sh does, comments and all.
    script = 'eval "$(sed -n "/^packages=(/,/^)/p" "$1")"; printf "%s\\n" "${packages[@]}"'
    return run("bash", "-c", script, "_", os.path.join(HERE, "setup.sh")).split()


def base_packages():
    out = run("dpkg-query", "-W", "-f", "${Package} ${Essential} ${Priority}\\n")
    return [f[0] for f in (line.split() for line in out.splitlines())
            if len(f) == 3 and (f[1] == "yes" or f[2] == "required")] + ["apt"]


def closure(packages):
    out = run("apt-cache", "depends", "--recurse", "--installed", "--no-recommends",
              "--no-suggests", "--no-conflicts", "--no-breaks", "--no-replaces",
              "--no-enhances", *packages)
    return {line.split(":")[0] for line in out.splitlines() if line and line[0] not in " <"}


def project_files():
    """Every file of the project, build trees (any folder with a CMakeCache.txt) and hidden folders left out."""
    for folder, dirs, files in os.walk(ROOT):
        dirs[:] = [d for d in dirs if not d.startswith(".") or d == ".ci"]
        dirs[:] = [d for d in dirs if not os.path.exists(os.path.join(folder, d, "CMakeCache.txt"))]
        for name in files:
            yield os.path.join(folder, name)


def interpreter(path):
    try:
        with open(path, "rb") as f:
            first = f.readline().decode("utf-8", "replace")
    except OSError:
        return None
    if path.endswith(".py") or (first.startswith("#!") and "python" in first):
        return "python"
    if path.endswith(".sh") or (first.startswith("#!") and re.search(r"\b(ba)?sh\b", first)):
        return "shell"
    return None


SHELL_WORDS = set(run("bash", "-c", "compgen -b; compgen -k").split())
# Words after which the next word is again a program.
PREFIXES = {"exec", "xargs", "env", "time", "nice", "nohup", "command", "!", "then", "do",
            "else", "elif", "if", "while", "until", "sudo"}


def split_substitutions(text):
    """The text with its arithmetic and command substitutions taken out, and the commands these ran.

    $(( )) becomes a plain expansion, (( )) a null command, $( ) <( ) >( ) a plain
    expansion whose command is returned with the others."""
    commands, out, i, k = [], [], 0, text.find("(")
    while k >= 0:
        arithmetic = text.startswith("((", k)
        substitution = k > 0 and text[k - 1] in "$<>"
        if not (arithmetic or substitution):
            k = text.find("(", k + 1)
            continue
        depth, j = 0, k
        while j < len(text):
            depth += {"(": 1, ")": -1}.get(text[j], 0)
            j += 1
            if depth == 0:
                break
        if arithmetic:
            out.append(text[i:k - 1] + "$V" if substitution else text[i:k] + ":")
        else:
            inner, more = split_substitutions(text[k + 1:j - 1])
            commands += [inner, *more]
            out.append(text[i:k - 1] + "$V")
        i = j
        k = text.find("(", i)
    return "".join(out) + text[i:], commands


def shell_programs(path):
    """Programs a shell script starts: the word in command position of each command."""
    text = open(path, encoding="utf-8", errors="replace").read().replace("\\\n", " ")
    found = set()
    first, _, text = text.partition("\n")
    if first.startswith("#!"):
        words = first[2:].split()
        found.update(words[:2] if words[:1] == ["/usr/bin/env"] else words[:1])
    text = re.sub(r"(^|\s)#.*", "", text, flags=re.M)
    text = re.sub(r"\\.", "_", text)  # an escaped character is a plain one: \( \; \"
    functions = set(re.findall(r"^\s*([\w-]+)\s*\(\)", text, re.M))
    while re.search(r"\$\{[^{}]*\}", text):
        text = re.sub(r"\$\{[^{}]*\}", "$V", text)
    text, substituted = split_substitutions(text)
    text = re.sub(r"'[^'\n]*'|\"[^\"\n]*\"", "''", text)
    text = re.sub(r"\b\w+\+?=\([^()]*\)", "", text)  # array assignments, also over several lines
    text = re.sub(r"\d*(<>|[<>]+)&?(\d+|-)?", " ", text) + "\n" + "\n".join(substituted)
    for command in re.split(r"\$\(|[;&|()`{}\n]", text):
        words = command.split()
        after_prefix = False
        while words:
            word = words.pop(0)
            if after_prefix and word.startswith("-"):
                continue  # an option of the prefix
            if re.match(r"^\w+(\[[^]]*\])?\+?=", word) or re.match(r"^[0-9]*[<>]", word):
                continue  # an assignment or a redirection before the command
            if word.startswith("$") or word in PREFIXES:
                if word in PREFIXES and word not in SHELL_WORDS:
                    found.add(word)
                after_prefix = word in PREFIXES
                continue  # the command comes next
            if word not in SHELL_WORDS and word not in functions and word[0] not in "'[":
                found.add(word)
            break
    return found


def python_uses(path):
    """Top-level modules a Python script imports, and programs it starts by a literal name."""
    text = open(path, encoding="utf-8", errors="replace").read()
    modules = set()
    for names in re.findall(r"^\s*import\s+([\w., ]+)", text, re.M):
        modules.update(n.split()[0].split(".")[0] for n in names.split(",") if n.strip())
    modules.update(m.split(".")[0] for m in re.findall(r"^\s*from\s+([\w.]+)\s+import", text, re.M))
    programs = set(re.findall(r"subprocess\.\w+\(\s*\[\s*\"([^\"]+)\"", text))
    return modules, programs


def module_files(modules, script):
    """Where /usr/bin/python3 finds each module: a path, 'built-in', or 'NONE' when it cannot."""
    code = ("import importlib.util, sys\n"
            "for m in sys.argv[1:]:\n"
            "    s = importlib.util.find_spec(m)\n"
            "    print(m, s.origin if s and s.origin else ('built-in' if s else 'NONE'))\n")
    # The script's own folder first, as when it runs: its neighbours are the project's modules.
    out = run(PYTHON, "-I", "-c", f"import sys; sys.path.insert(0, {os.path.dirname(script)!r})\n" + code,
              *sorted(modules))
    return dict(line.split(" ", 1) for line in out.splitlines())


def configure_inputs(build):
    """The files the last configure read, from CMake's file API (setup.sh asks for the
    reply); None for a build tree without one."""
    reply = os.path.join(build, ".cmake", "api", "v1", "reply")
    indexes = sorted(glob.glob(os.path.join(reply, "index-*.json")))
    if not indexes:
        return None
    with open(indexes[-1], encoding="utf-8") as f:
        index = json.load(f)
    for item in index.get("objects", []):
        if item.get("kind") == "cmakeFiles":
            with open(os.path.join(reply, item["jsonFile"]), encoding="utf-8") as f:
                files = json.load(f)
            source = files["paths"]["source"]
            return {os.path.normpath(os.path.join(source, i["path"])) for i in files["inputs"]}
    return None


def from_cache(build):
    needs = {}
    cache = os.path.join(build, "CMakeCache.txt")
    # Entries the cache keeps from an earlier configure that no longer asks for them
    # do not count: a package configuration must have been read, a program's variable
    # must be named in a file that was read.
    read = configure_inputs(build)
    read_text = None
    if read is not None:
        texts = []
        for path in read:
            try:
                with open(path, encoding="utf-8", errors="replace") as f:
                    texts.append(f.read())
            except OSError:
                pass
        read_text = "\n".join(texts)
    for line in open(cache, encoding="utf-8", errors="replace"):
        m = re.match(r"^(\w+):(PATH|FILEPATH)=(/usr/.*)$", line.rstrip("\n"))
        if not m or m.group(3).startswith("/usr/local/"):
            continue
        name, kind, value = m.groups()
        if kind == "PATH" and name.endswith("_DIR") and os.path.isdir(value):
            package = name[:-4]
            configs = [os.path.join(value, f) for f in (package + "Config.cmake",
                                                        package.lower() + "-config.cmake")]
            config = next((c for c in configs if os.path.exists(c)), value)
            if read is None or config in read:
                needs[config] = f"{name} in {cache}"
        elif kind == "FILEPATH" and os.path.isfile(value) and os.access(value, os.X_OK):
            # CMake records the binary tools it finds (ar, nm, a linker of the compiler's
            # family...) whether or not the build needs them; on a machine without them it
            # takes others. Only the compilers and the build program are its own choice.
            if name.startswith("CMAKE_") and not re.match(r"^CMAKE_(\w+_COMPILER|MAKE_PROGRAM)$", name):
                continue
            if read_text is not None and not name.startswith("CMAKE_") and name not in read_text:
                continue
            needs[value] = f"{name} in {cache}"
    return needs


def from_commands(build):
    needs = {}
    if not os.path.exists(os.path.join(build, "build.ninja")):
        return needs
    # The dependency log also keeps objects of sources that are gone: only current targets count.
    targets = {line.rsplit(": ", 1)[0] for line in run("ninja", "-C", build, "-t", "targets", "all").splitlines()}
    current = False
    for line in run("ninja", "-C", build, "-t", "deps").splitlines():
        if line and not line.startswith(" "):
            current = line.split(": #deps", 1)[0] in targets
        path = line.strip()
        if current and path.startswith("/usr/") and not path.startswith("/usr/local/"):
            needs[os.path.normpath(path)] = f"a header the build read ({build})"
    commands = run("ninja", "-C", build, "-t", "commands")
    for _, path in re.findall(r"(-isystem\s*|-iquote\s*|-I)(/usr/\S+)", commands):
        needs.setdefault(os.path.normpath(path), f"an include directory ({build})")
    for path in re.findall(r"(?<=\s)(/usr/\S+\.(?:so(?:\.[\d.]+)?|a))(?=\s)", commands):
        needs[os.path.normpath(path)] = f"a linked library ({build})"
    for line in commands.splitlines():
        try:
            words = shlex.split(line)
        except ValueError:
            continue
        for step in " ".join(w if w != "&&" else "\0" for w in words).split("\0"):
            step = step.split()
            # A link through the compiler driver: the driver adds files of its own
            # (start files, the C++ and sanitizer or fuzzer run-time libraries).
            if step and step[0].startswith("/usr/") and "-o" in step and "-c" not in step:
                needs[step[0]] = f"the linker driver ({build})"
                for path in driver_inputs(step, build):
                    needs.setdefault(path, f"a file the linker driver adds ({build})")
    return needs


def driver_inputs(step, build):
    """The files under /usr a link through the compiler driver would use, by `-###`."""
    result = subprocess.run(step + ["-###"], cwd=build, capture_output=True, text=True)
    found, search, names = set(), [], []
    for line in result.stderr.splitlines():
        if not line.startswith(" "):
            continue
        for word in shlex.split(line):
            if word.startswith("-L"):
                search.append(os.path.normpath(word[2:]))
            elif word.startswith("-l"):
                names.append(word[2:])
            elif re.match(r"^/(usr/)?lib", word) and os.path.isfile(word):
                found.add(os.path.normpath(word))
    for name in names:
        candidates = (os.path.join(d, f"lib{name}{s}") for d in search for s in (".so", ".a"))
        path = next((c for c in candidates if os.path.isfile(c)), None)
        if path:
            found.add(path)
    return {p for p in found if re.match(r"^/(usr/)?lib", p) and not p.startswith("/usr/local/")}


def owners(paths):
    """Debian packages owning each path (several for a shared directory); none when unowned."""
    result = {}

    def ask(candidates):
        out = subprocess.run(["dpkg", "-S", *candidates], capture_output=True, text=True).stdout
        for line in out.splitlines():
            if line.startswith("diversion ") or ": " not in line:
                continue
            packages, path = line.split(": ", 1)
            yield path, {p.strip().split(":")[0] for p in packages.split(",")}

    for path, packages in ask(paths):
        result[path] = packages
    # Symbolic links (alternatives, development links) and the merged /usr lead elsewhere.
    missing = [p for p in paths if p not in result]
    alias = {}
    for path in missing:
        for other in {os.path.realpath(path), re.sub(r"^/usr/", "/", path),
                      re.sub(r"^/usr/", "/", os.path.realpath(path))} - {path}:
            alias.setdefault(other, []).append(path)
    if alias:
        for other, packages in ask(sorted(alias)):
            for path in alias.get(other, []):
                result.setdefault(path, set()).update(packages)
    return result


def main(builds):
    problems = []
    needs = {}
    for build in builds:
        needs.update(from_cache(build))
        needs.update(from_commands(build))
    for path in project_files():
        kind = interpreter(path)
        where = os.path.relpath(path, ROOT)
        if kind == "shell":
            programs = shell_programs(path)
        elif kind == "python":
            modules, programs = python_uses(path)
            programs.add(PYTHON)
            for module, origin in module_files(modules, path).items():
                if origin == "NONE":
                    problems.append(f"modul Pythonu {module} ({where}) neni nainstalovan")
                elif origin.startswith("/usr/") and not origin.startswith("/usr/local/"):
                    needs[origin] = f"import {module} in {where}"
        else:
            continue
        for program in programs - NOT_INSTALLED.keys():
            if program.startswith("/"):
                found = program if os.access(program, os.X_OK) else None
            elif "/" in program:
                continue  # one of the project's own files
            else:
                found = shutil.which(program)
            if found is None:
                problems.append(f"program {program} ({where}) neni nainstalovan")
            elif found.startswith("/usr/") or found.startswith("/bin/") or found.startswith("/sbin/"):
                needs[found] = f"program {program} in {where}"

    listed = listed_packages()
    allowed = closure(listed + base_packages())
    owned = owners(sorted(needs))
    missing = {}
    for path, reason in sorted(needs.items()):
        packages = owned.get(path)
        if not packages:
            problems.append(f"{path} ({reason}) nepochazi z zadneho balicku Debianu")
        elif not packages & allowed:
            missing.setdefault(" | ".join(sorted(packages)), []).append(f"{path} ({reason})")
    for package, uses in sorted(missing.items()):
        problems.append(f"chybi v seznamu scripts/setup.sh: {package}  <- {uses[0]}"
                        + (f" a {len(uses) - 1} dalsich" if len(uses) > 1 else ""))
    for problem in problems:
        print(problem, file=sys.stderr)
    if missing:
        print("Chybejici balicky: " + " ".join(sorted(missing)), file=sys.stderr)
    if problems:
        return 1
    print(f"Seznam balicku je uplny ({len(needs)} souboru z {len({p for s in owned.values() for p in s})} "
          f"balicku, {len(listed)} balicku v seznamu).")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:] or [os.path.join(ROOT, "build")]))
