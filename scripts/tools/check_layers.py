"""Checks the rooms under src/ against the includes the compiler resolved and the link graph.

usage: check_layers.py SOURCE_ROOT BUILD_FOLDER [--jobs N] [--strict-gui]

The build folder is the Linux build or the Windows cross build: each is checked with its own
compile commands and its own link graph, and the files the other platform builds are read with
the flags of their room's library.

  rooms      every file under src/ lies in a room; no .hpp or other C++ extensions; every .cpp is
             compiled by a target of its own room (on the Linux build every file not named for
             Windows, on the Windows build every file named for Windows)
  direction  a file includes project headers only from its room and the rooms below it
  platform   Qt, X11, PipeWire/SPA, D-Bus, OpenSSL, POSIX, Linux and Windows headers only in
             files carrying the platform's prefix (Qt also in gui/ until --strict-gui becomes
             the rule); no platform's header in a file named for a platform of the other build;
             Linux-only calls (pipe2, dl_iterate_phdr, /proc/...) only in linux_ files
  links      the velmora_<room> targets link directly exactly the rooms their files include

Prints every offence and exits 1 when there is one.
"""

import argparse
import glob
import os
import re
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from include_edges import Preprocessor, preprocess_all, read_units, real  # noqa: E402

# What each room may include besides itself (docs/layout.md).
BELOW = {
    "core": [],
    "settings": ["core"],
    "png": ["core"],
    "screen": ["core", "settings"],
    "capture": ["core", "settings", "png", "screen"],
    "transfer": ["core", "settings"],
    "publish": ["core", "settings", "transfer"],
    "server_tools": ["core", "settings", "transfer"],
    "crash": ["core"],
}
BELOW["app"] = list(BELOW)
BELOW["gui"] = list(BELOW)

# gui/ holds both front ends and follows the rule of every other room: Qt only in qt_ (and
# portal_) files, Win32 only in win32_ ones, toolkit-free files beside them. False would let Qt
# stand in any gui/ file not named for Windows, as before every Qt file there was named qt_.
GUI_FILES_NAMED_FOR_TOOLKIT = True

CPP_EXTENSIONS = {".hpp", ".hh", ".hxx", ".h++", ".cc", ".cxx", ".c++", ".c", ".ipp", ".inl",
                  ".tpp", ".ixx", ".cppm", ".inc"}
POSIX_HEADERS = {"unistd.h", "fcntl.h", "signal.h", "dlfcn.h", "pwd.h", "grp.h", "spawn.h",
                 "ucontext.h", "poll.h", "pthread.h", "semaphore.h", "dirent.h",
                 "termios.h", "netdb.h", "syslog.h", "sched.h", "glob.h",
                 "fnmatch.h", "libgen.h", "utime.h", "wordexp.h", "mqueue.h", "ifaddrs.h"}
POSIX_FOLDERS = {"sys", "netinet", "arpa", "net"}
# What only Linux (with glibc) has: a file that includes one is named linux_.
LINUX_HEADERS = {"link.h", "elf.h", "execinfo.h", "features.h", "malloc.h", "mntent.h",
                 "pty.h", "error.h", "sys/epoll.h", "sys/inotify.h", "sys/signalfd.h",
                 "sys/eventfd.h", "sys/timerfd.h", "sys/prctl.h", "sys/syscall.h",
                 "sys/sysinfo.h", "sys/sendfile.h", "sys/fanotify.h", "sys/personality.h",
                 "sys/auxv.h", "sys/memfd.h", "sys/sysmacros.h"}
LINUX_FOLDERS = {"linux", "asm", "asm-generic", "gnu", "bits"}
# Calls and names only Linux has, found in the text of a file (comments left out).
LINUX_CALLS = re.compile(
    r"\b(?:pipe2|dup3|accept4|dl_iterate_phdr|close_range|memfd_create|epoll_\w+|"
    r"inotify_\w+|signalfd|eventfd|timerfd_\w+|prctl|gettid|getauxval|SYS_\w+|"
    r"REG_(?:R(?:IP|SP|BP|AX|BX|CX|DX|SI|DI|8|9|1[0-5])|TRAPNO|ERR|EFL|CR2))\b|\"/proc/")
WINDOWS_HEADERS = {"windows.h", "winsock2.h", "winsock.h", "ws2tcpip.h", "windef.h",
                   "winbase.h", "winuser.h", "wingdi.h", "winreg.h", "wininet.h", "shellapi.h",
                   "shlobj.h", "dbghelp.h", "psapi.h", "commctrl.h", "commdlg.h", "sddl.h",
                   "aclapi.h", "objbase.h", "ole2.h", "oleauto.h", "gdiplus.h", "shlwapi.h",
                   "wincrypt.h", "winnt.h", "winerror.h", "windowsx.h", "uxtheme.h",
                   "dwmapi.h", "shellscalingapi.h", "tlhelp32.h", "winternl.h", "wtsapi32.h",
                   "io.h", "direct.h", "conio.h"}

# The prefixes of the files each build compiles and the other does not.
LINUX_PREFIXES = ("qt_", "x11_", "portal_", "pipewire_", "openssl_", "posix_", "linux_")
WINDOWS_PREFIXES = ("win32_", "mbedtls_")
# The platforms whose headers only the Linux build, or only the Windows build, can reach.
LINUX_PLATFORMS = {"Qt", "D-Bus", "X11", "PipeWire", "OpenSSL", "POSIX", "Linux"}
WINDOWS_PLATFORMS = {"Windows", "mbedTLS"}


def named(prefixes):
    return lambda room, name, strict: name.startswith(prefixes)


# Platform -> (who may include it, how the rule reads).
PLATFORMS = {
    "Qt": (lambda room, name, strict: name.startswith(("qt_", "portal_"))
           or (room == "gui" and not strict),
           "Qt only in files named qt_* or portal_*"),
    "D-Bus": (named("portal_"), "D-Bus only in files named portal_*"),
    "X11": (named("x11_"), "X11 only in files named x11_*"),
    "PipeWire": (named("pipewire_"), "PipeWire/SPA only in files named pipewire_*"),
    "OpenSSL": (named("openssl_"), "OpenSSL only in files named openssl_*"),
    "POSIX": (named(("posix_", "linux_")),
              "POSIX system headers only in files named posix_* or linux_*"),
    "Linux": (named("linux_"), "Linux-only headers only in files named linux_*"),
    "Windows": (named("win32_"), "Windows headers only in files named win32_*"),
    "mbedTLS": (named("mbedtls_"), "mbedTLS only in files named mbedtls_*"),
}


def other_side(name, platform):
    """The rule a header of platform breaks in a file named for a platform of the other build."""
    if name.startswith(WINDOWS_PREFIXES) and platform in LINUX_PLATFORMS:
        return f"a file named for Windows includes no {platform} header"
    if name.startswith(LINUX_PREFIXES) and platform in WINDOWS_PLATFORMS:
        return f"a file named for Linux includes no {platform} header"
    return None


def build_platform(build):
    """windows for a cross build for Windows, linux otherwise, from what CMake found there."""
    for system in glob.glob(os.path.join(build, "CMakeFiles", "*", "CMakeSystem.cmake")):
        with open(system, encoding="utf-8") as f:
            if re.search(r'^set\(CMAKE_SYSTEM_NAME "Windows"\)', f.read(), re.M):
                return "windows"
    return "linux"


def room_links(path):
    """(room, folder, rooms it links directly) of each velmora_<room> target in room_links.tsv."""
    with open(path, encoding="utf-8") as f:
        for line in f:
            name, _, folder, links, interface = (line.rstrip("\n").split("\t") + [""] * 5)[:5]
            room = name.removeprefix("velmora_")
            if not name.startswith("velmora_") or room not in BELOW:
                continue
            used = re.findall(r"\bvelmora_(\w+?)(?:::@[^|>]*)?(?=$|[|>])", links + "|" + interface)
            yield room, folder, {u for u in used if u in BELOW and u != room}


def without_comments(text):
    """The text with its // and /* */ comments blanked, string literals kept."""
    pattern = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'',
                         re.S)
    return pattern.sub(lambda m: m.group(0) if m.group(0)[0] in "\"'"
                       else re.sub(r"[^\n]", " ", m.group(0)), text)


def platforms_of(path, relative):
    """The platforms a header outside the project belongs to, by where it lies."""
    parts = path.split("/")
    first = relative.split("/")[0]
    found = set()
    if any(p in ("qt5", "qt6") or re.fullmatch(r"Qt[A-Z]\w*", p) for p in parts):
        found.add("Qt")
    if "QtDBus" in parts or any(p == "dbus" or p.startswith("dbus-1") for p in parts):
        found.add("D-Bus")
    if "X11" in parts or "xcb" in parts:
        found.add("X11")
    if any(p.startswith("pipewire") or p == "spa" or p.startswith("spa-") for p in parts):
        found.add("PipeWire")
    if "openssl" in parts:
        found.add("OpenSSL")
    if "mbedtls" in parts or first == "psa":
        found.add("mbedTLS")
    if relative in LINUX_HEADERS or ("/" in relative and first in LINUX_FOLDERS):
        found.add("Linux")
    elif relative in POSIX_HEADERS or ("/" in relative and first in POSIX_FOLDERS):
        found.add("POSIX")
    if os.path.basename(relative).lower() in WINDOWS_HEADERS:
        found.add("Windows")
    return found


class Check:
    def __init__(self, root, build, strict_gui=GUI_FILES_NAMED_FOR_TOOLKIT):
        self.root, self.build = real(root), real(build)
        self.src = os.path.join(self.root, "src")
        self.offences = []
        self.lines = {}
        self.strict_gui = strict_gui
        self.platform = build_platform(self.build)
        # Files for the other build, which this one does not compile; their own platform's
        # headers may be missing here.
        self.foreign = LINUX_PREFIXES if self.platform == "windows" else WINDOWS_PREFIXES
        self.reached = set()  # files a unit of this build compiled or opened

    def for_this_build(self, name):
        """Whether this build must compile a .cpp of that name."""
        if self.platform == "windows":
            return name.startswith(WINDOWS_PREFIXES)
        return not name.startswith(WINDOWS_PREFIXES)

    def excused_missing(self, path):
        """Whether a <header> missing with this build's flags is the other build's business."""
        if os.path.basename(path).startswith(self.foreign):
            return True
        # The Windows build reads the Linux build's files only for their rooms and names.
        return self.platform == "windows" and path not in self.reached

    def offend(self, place, text, rule):
        self.offences.append(f"{place}: {text} [{rule}]")

    def shown(self, path):
        for base in (self.build, self.root):
            if path.startswith(base + "/"):
                prefix = "" if base == self.root else os.path.relpath(base, self.root) + "/"
                return prefix + path[len(base) + 1 :]
        return path

    def room_of(self, path):
        """(kind, room) of a header: kind is src, build, project or outside."""
        if path.startswith(self.build + "/"):
            parts = path[len(self.build) + 1 :].split("/")
            for i, part in enumerate(parts[:-2]):
                if part == "generated" and parts[i + 1] in BELOW:
                    return "build", parts[i + 1]
            if parts[0] == "src" and len(parts) > 2 and parts[1] in BELOW:
                return "build", parts[1]
            return "build", None
        if path.startswith(self.src + "/"):
            parts = path[len(self.src) + 1 :].split("/")
            return "src", parts[0] if len(parts) > 1 and parts[0] in BELOW else None
        if path.startswith(self.root + "/"):
            return "project", None
        return "outside", None

    def directive(self, edge):
        """Where the directive stands and how it is written in the includer."""
        if edge.includer not in self.lines:
            try:
                with open(edge.includer, encoding="utf-8", errors="replace") as f:
                    self.lines[edge.includer] = f.read().splitlines()
            except OSError:
                self.lines[edge.includer] = []
        name = edge.spelling[1:-1]
        pattern = re.compile(r"\s*#\s*(include|include_next|import)\s*[<\"]" + re.escape(name)
                             + r"[>\"]")
        for number, text in enumerate(self.lines[edge.includer], 1):
            if pattern.match(text):
                return f"{self.shown(edge.includer)}:{number}", text.rstrip()
        return self.shown(edge.includer), "#include " + edge.spelling

    # Rule: rooms -----------------------------------------------------------------------------
    def rooms(self, units):
        compiled = {}
        for unit in units:
            if unit.source.startswith(self.src + "/") and unit.target_folder.startswith("src/"):
                compiled.setdefault(unit.source, []).append(unit)
        for folder, subfolders, files in os.walk(self.src):
            subfolders.sort()
            for name in sorted(files):
                path = real(os.path.join(folder, name))
                shown = self.shown(path)
                _, room = self.room_of(path)
                if room is None:
                    self.offend(shown, "lies in no room (rooms: " + " ".join(BELOW) + ")",
                                "rooms")
                extension = os.path.splitext(name)[1].lower()
                if extension in CPP_EXTENSIONS:
                    self.offend(shown, f"C++ files are .h and .cpp, not {extension}", "rooms")
                if extension != ".cpp" or room is None:
                    continue
                if path not in compiled and self.for_this_build(name):
                    self.offend(shown, f"no target under src/ of the {self.platform} build "
                                "compiles it", "rooms")
                for unit in compiled.get(path, []):
                    if unit.target_folder.split("/")[1] != room:
                        self.offend(shown, f"compiled by {unit.target} of {unit.target_folder}/,"
                                    f" not by a target of src/{room}/", "rooms")
        return compiled

    # Rules: direction and platform -----------------------------------------------------------
    def includes(self, edges, targets):
        pairs = {}
        for edge in sorted(edges, key=lambda e: (e.includer, e.spelling, e.header)):
            _, room = self.room_of(edge.includer)
            if room is None:
                continue
            name = os.path.basename(edge.includer)
            kind, used = self.room_of(edge.header)
            if edge.missing:
                if edge.spelling.startswith("<") and not self.excused_missing(edge.includer):
                    where, text = self.directive(edge)
                    self.offend(where, f"{text}: not found with the flags of "
                                f"{targets.get(edge.includer, 'its target')}", "preprocess")
                # A quoted header the build has not generated yet belongs to its includer's room.
                kind, used = "build", edge.relative.split("/")[0]
                if used not in BELOW:
                    used = room
            if kind == "outside" or edge.missing:
                found = platforms_of(edge.header if not edge.missing else edge.relative,
                                     edge.relative)
                if edge.missing and re.fullmatch(r"Q[A-Z]\w*", edge.relative):
                    found.add("Qt")
                for platform in sorted(found):
                    allowed, rule = PLATFORMS[platform]
                    if allowed(room, name, self.strict_gui):
                        rule = other_side(name, platform)
                    elif platform == "Qt" and not self.strict_gui:
                        rule += " and in gui/ files not named for another platform"
                    if rule:
                        where, text = self.directive(edge)
                        self.offend(where, f"{text} -> {self.shown(edge.header)}: {rule}",
                                    "platform")
                if kind == "outside":
                    continue
            if used is None:
                where, text = self.directive(edge)
                self.offend(where, f"{text} -> {self.shown(edge.header)}: a file under src/ "
                            "includes only headers of the rooms", "direction")
                continue
            if used == room:
                continue
            pairs.setdefault((room, used), edge)
            if used not in BELOW[room]:
                where, text = self.directive(edge)
                rule = f"{room} may use only " + " ".join(BELOW[room])
                if not BELOW[room]:
                    rule = f"{room} uses no other room"
                self.offend(where, f"{text} -> {self.shown(edge.header)}: {rule}", "direction")
        return pairs

    # Rule: platform, in the text ------------------------------------------------------------
    def calls(self):
        for folder, subfolders, files in os.walk(self.src):
            subfolders.sort()
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")) or name.startswith("linux_"):
                    continue
                path = real(os.path.join(folder, name))
                try:
                    with open(path, encoding="utf-8", errors="replace") as f:
                        text = without_comments(f.read())
                except OSError:
                    continue
                for number, line in enumerate(text.splitlines(), 1):
                    found = LINUX_CALLS.search(line)
                    if found:
                        self.offend(f"{self.shown(path)}:{number}", f"{found.group(0)}: calls and "
                                    "names only Linux has only in files named linux_*", "platform")

    # Rule: links -----------------------------------------------------------------------------
    def links(self, pairs):
        path = os.path.join(self.build, "room_links.tsv")
        if not os.path.exists(path):
            self.offend(self.shown(path), "missing: configure the build folder anew", "links")
            return
        linked, targets = set(), set()
        for room, folder, used_rooms in room_links(path):
            targets.add(room)
            if real(folder) != os.path.join(self.src, room):
                self.offend(f"velmora_{room}", f"defined in {self.shown(real(folder))}/, not in "
                            f"src/{room}/", "links")
            linked |= {(room, used) for used in used_rooms}
        for room, used in sorted(linked - set(pairs)):
            self.offend(f"velmora_{room}", f"links velmora_{used}, but no file of src/{room}/ "
                        f"includes a header of src/{used}/", "links")
        for (room, used), edge in sorted(pairs.items()):
            if (room, used) in linked:
                continue
            where, text = self.directive(edge)
            missing = "" if room in targets else f" (there is no target velmora_{room})"
            self.offend(where, f"{text}: src/{room}/ includes src/{used}/, but velmora_{room} "
                        f"does not link velmora_{used}{missing}", "links")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("root")
    parser.add_argument("build")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--strict-gui", action="store_true", default=GUI_FILES_NAMED_FOR_TOOLKIT,
                        help="Qt only in qt_ and portal_ files of gui/ too")
    options = parser.parse_args()
    check = Check(options.root, options.build, options.strict_gui)
    units = [u for u in read_units(check.build) if u.target_folder.startswith("src/")
             and u.source.startswith(check.src + "/")]
    compiled = check.rooms(units)
    seen, work = set(), []
    for unit in units:
        if (unit.source, tuple(unit.args)) not in seen:
            seen.add((unit.source, tuple(unit.args)))
            work.append((unit, None))
    with tempfile.TemporaryDirectory(prefix="layer-stand-ins-") as stand_ins:
        preprocessor = Preprocessor(check.src, real(stand_ins))
        results = preprocess_all(preprocessor, options.jobs, work)
        check.reached = set().union(*(r.opened for r in results)) | set(compiled)
        # Headers no unit reaches, and the sources of the other build, are read with the flags of
        # their room's library.
        opened = check.reached
        by_room = {}
        for unit in units:
            room = unit.target_folder.split("/")[1]
            if unit.target == f"velmora_{room}" or room not in by_room:
                by_room.setdefault(room, unit)
        extra = []
        for folder, _, files in os.walk(check.src):
            for name in sorted(files):
                path = real(os.path.join(folder, name))
                _, room = check.room_of(path)
                if room is None or path in opened or not name.endswith((".h", ".cpp")):
                    continue
                unit = by_room.get(room) or (units[0] if units else None)
                if unit is not None:
                    extra.append((unit, path))
        results += preprocess_all(preprocessor, options.jobs, extra)
    edges, targets = set(), {}
    for result in results:
        if result.error:
            check.offend(check.shown(result.unit.source), "cannot be preprocessed with the flags "
                         f"of {result.unit.target}: {result.error}", "preprocess")
        edges |= result.edges
        for edge in result.edges:
            targets.setdefault(edge.includer, result.unit.target)
    check.links(check.includes(edges, targets))
    check.calls()
    for offence in check.offences:
        print(offence)
    if check.offences:
        print(f"check-layers: {len(check.offences)} offences in the {check.platform} build "
              f"({len(results)} files read)")
        return 1
    print(f"check-layers: every include points down in the {check.platform} build "
          f"({len(results)} files read, {len(edges)} include edges)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
