"""The direct include edges of the files under src/, as the compiler resolved them.

Every translation unit is preprocessed with its own flags from compile_commands.json and -dI,
which prints each #include directive the compiler acted on (after #if and macro expansion) where
it stands; the line marker that follows names the file the compiler opened. -H alone is not
enough: a header already read (include guard, #pragma once) is not opened a second time, so the
second includer's edge would go unseen. Such a directive is resolved here along the unit's own
search list, which -v prints.

A header the build has not generated yet (a configure-only build folder has no .moc files) stops
the preprocessor; it is then replaced by an empty stand-in in a folder searched last, and the
edge is marked missing.
"""

import json
import os
import re
import shlex
import subprocess
from concurrent.futures import ThreadPoolExecutor
from dataclasses import dataclass, field
from functools import lru_cache


@dataclass(frozen=True)
class Edge:
    includer: str  # real path of the file holding the directive
    spelling: str  # '"a/b.h"' or '<a/b.h>', as the compiler read it
    header: str  # real path of the file the compiler opened (a stand-in when missing)
    relative: str  # the header's path below the search folder it lies in
    missing: bool  # not found with the unit's flags


@dataclass
class Unit:
    source: str  # real path of the file handed to the compiler
    directory: str  # where the compiler runs
    args: list  # compiler and flags, without the source, output and dependency options
    target: str  # CMake target that compiles it, from the object path
    target_folder: str  # that target's folder below the build folder ("src/core")


@dataclass
class Result:
    unit: Unit
    edges: set = field(default_factory=set)
    opened: set = field(default_factory=set)  # every file the compiler entered
    error: str = ""
    stand_ins: list = field(default_factory=list)


_OBJECT = re.compile(r"^(?:(?P<folder>.*)/)?CMakeFiles/(?P<target>[^/]+)\.dir/")
_LAUNCHERS = {"ccache", "sccache", "distcc"}
_OPTIONS_WITH_VALUE = {"-o", "-MF", "-MT", "-MQ"}
_DROPPED = {"-c", "-MD", "-MMD", "-MP", "-M", "-MM", "-Winvalid-pch"}


@lru_cache(maxsize=None)
def real(path):
    return os.path.realpath(path)


def read_units(build_folder):
    """The compile commands of the build folder, one Unit per (source, flags)."""
    with open(os.path.join(build_folder, "compile_commands.json"), encoding="utf-8") as f:
        entries = json.load(f)
    units = []
    for entry in entries:
        directory = entry["directory"]
        argv = entry.get("arguments") or shlex.split(entry["command"])
        source = real(os.path.join(directory, entry["file"]))
        while argv and os.path.basename(argv[0]) in _LAUNCHERS:
            argv = argv[1:]
        args, output, skip = [], "", False
        for i, arg in enumerate(argv):
            if skip:
                skip = False
                continue
            if arg in _OPTIONS_WITH_VALUE:
                skip = True
                if arg == "-o" and i + 1 < len(argv):
                    output = argv[i + 1]
                continue
            if arg in _DROPPED or arg[:3] in ("-MF", "-MT", "-MQ"):
                continue
            if arg.startswith("-o") and len(arg) > 2:
                output = arg[2:]
                continue
            if i > 0 and not arg.startswith("-") and real(os.path.join(directory, arg)) == source:
                continue
            args.append(arg)
        match = _OBJECT.match(os.path.relpath(os.path.join(directory, output), build_folder))
        target = match.group("target") if match else ""
        folder = (match.group("folder") or "") if match else ""
        units.append(Unit(source, directory, args, target, folder))
    return units


_MARKER = re.compile(rb'^# \d+ "((?:[^"\\]|\\.)*)"((?: \d+)*)$')
_DIRECTIVE = re.compile(rb"^#(include|include_next|import) ([<\"].*[>\"])$")
_MISSING = re.compile(r"fatal error: (.+): No such file or directory$")


def _unescape(raw):
    def one(m):
        text = m.group(1)
        return bytes([int(text, 8)]) if text[:1].isdigit() else text

    return re.sub(rb"\\([0-7]{1,3}|.)", one, raw).decode("utf-8", "surrogateescape")


def _search_lists(stderr):
    """The quote and bracket search folders from the compiler's -v report."""
    quote, bracket, current = [], [], None
    for line in stderr.splitlines():
        if line.startswith('#include "..." search starts here'):
            current = quote
        elif line.startswith("#include <...> search starts here"):
            current = bracket
        elif line.startswith("End of search list"):
            current = None
        elif current is not None and line.startswith(" "):
            current.append(line.strip().removesuffix(" (framework directory)"))
    return quote, bracket


class Preprocessor:
    def __init__(self, watched, stand_in_folder):
        self.watched = watched.rstrip("/") + "/"  # only directives in these files matter
        self.stand_ins = stand_in_folder

    def run(self, unit, source=None):
        """Preprocesses unit's source (or another file with unit's flags)."""
        source = source or unit.source
        result = Result(Unit(source, unit.directory, unit.args, unit.target, unit.target_folder))
        # A file of the other build may miss every toolkit header it names, one per run.
        for _ in range(100):
            command = unit.args + ["-E", "-dI", "-w", "-v", "-idirafter", self.stand_ins]
            command += ["-o", "-", "-x", "c++", source]
            done = subprocess.run(command, cwd=unit.directory, capture_output=True)
            stderr = done.stderr.decode("utf-8", "replace")
            if done.returncode == 0:
                self._read(result, done.stdout, _search_lists(stderr))
                return result
            missing = [m.group(1) for m in map(_MISSING.search, stderr.splitlines()) if m]
            name = missing[0] if missing else ""
            if not name or os.path.isabs(name) or ".." in name.split("/"):
                # After an #error the preprocessor goes on to the end, so the edges it printed
                # are still read; the unit is reported as well.
                errors = [line for line in stderr.splitlines() if " error: " in line]
                result.error = errors[0] if errors else stderr.strip()[-300:]
                self._read(result, done.stdout, _search_lists(stderr))
                return result
            stand_in = os.path.join(self.stand_ins, name)
            os.makedirs(os.path.dirname(stand_in), exist_ok=True)
            open(stand_in, "a").close()
            result.stand_ins.append(name)
        result.error = "too many missing headers: " + ", ".join(result.stand_ins)
        return result

    def _read(self, result, output, search):
        directory = result.unit.directory
        quote = [real(os.path.join(directory, d)) for d in search[0]]
        bracket = [real(os.path.join(directory, d)) for d in search[1]]
        current, pending = "", None

        def settle(found):
            includer, kind, spelling = pending
            header = found or self._resolve(includer, spelling, quote, bracket)
            if header is None:  # cannot happen for a file the compiler opened before
                header = os.path.join(self.stand_ins, spelling[1:-1])
            missing = header.startswith(self.stand_ins + "/")
            relative = self._relative(header, spelling, bracket)
            result.edges.add(Edge(includer, spelling, header, relative, missing))

        for line in output.split(b"\n"):
            if not line.startswith(b"#"):
                continue
            marker = _MARKER.match(line)
            if marker:
                path = _unescape(marker.group(1))
                if path.startswith("<"):
                    current = path
                    continue
                path = real(os.path.join(directory, path))
                flags = marker.group(2).split()
                if b"1" in flags:
                    result.opened.add(path)
                    if pending:
                        settle(path)
                        pending = None
                elif b"2" in flags and pending:
                    settle(None)
                    pending = None
                current = path
                continue
            directive = _DIRECTIVE.match(line)
            if directive:
                if pending:
                    settle(None)
                    pending = None
                if current.startswith(self.watched):
                    spelling = directive.group(2).decode("utf-8", "surrogateescape")
                    pending = (current, directive.group(1).decode(), spelling)
        if pending:
            settle(None)

    def _resolve(self, includer, spelling, quote, bracket):
        name = spelling[1:-1]
        folders = bracket
        if spelling.startswith('"'):
            folders = [os.path.dirname(includer)] + quote + bracket
        for folder in folders + [self.stand_ins]:
            candidate = os.path.join(folder, name)
            if os.path.isfile(candidate):
                return real(candidate)
        return None

    def _relative(self, header, spelling, bracket):
        if header.startswith(self.stand_ins + "/"):
            return header[len(self.stand_ins) + 1 :]
        best = ""
        for folder in bracket:
            if header.startswith(folder + "/") and len(folder) > len(best):
                best = folder
        return header[len(best) + 1 :] if best else spelling[1:-1]


def preprocess_all(preprocessor, jobs, work):
    """Runs preprocessor.run over work, a list of (unit, source or None), jobs at a time."""
    with ThreadPoolExecutor(max_workers=jobs) as pool:
        return list(pool.map(lambda item: preprocessor.run(*item), work))
