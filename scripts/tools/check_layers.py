"""Checks the rooms under src/ against the includes the compiler resolved and the link graph.

usage: check_layers.py SOURCE_ROOT BUILD_FOLDER [--jobs N]

  rooms      every file under src/ lies in a room; no .hpp or other C++ extensions; every .cpp is
             compiled by a target of its own room
  direction  a file includes project headers only from its room and the rooms below it
  platform   Qt, X11, PipeWire/SPA, D-Bus, OpenSSL, POSIX and Windows headers only in files
             carrying the platform's prefix (Qt also anywhere in gui/)
  links      the velmora_<room> targets link directly exactly the rooms their files include

Prints every offence and exits 1 when there is one.
"""

import argparse
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

CPP_EXTENSIONS = {".hpp", ".hh", ".hxx", ".h++", ".cc", ".cxx", ".c++", ".c", ".ipp", ".inl",
                  ".tpp", ".ixx", ".cppm", ".inc"}
POSIX_HEADERS = {"unistd.h", "fcntl.h", "signal.h", "dlfcn.h", "pwd.h", "grp.h", "spawn.h",
                 "ucontext.h", "link.h", "poll.h", "pthread.h", "semaphore.h", "dirent.h",
                 "termios.h", "netdb.h", "syslog.h", "sched.h", "execinfo.h", "glob.h",
                 "fnmatch.h", "libgen.h", "utime.h", "wordexp.h", "mqueue.h", "ifaddrs.h"}
POSIX_FOLDERS = {"sys", "netinet", "arpa", "net", "linux", "asm"}
WINDOWS_HEADERS = {"windows.h", "winsock2.h", "winsock.h", "ws2tcpip.h", "windef.h",
                   "winbase.h", "winuser.h", "wingdi.h", "winreg.h", "wininet.h", "shellapi.h",
                   "shlobj.h", "dbghelp.h", "psapi.h"}

# Platform -> (who may include it, how the rule reads).
PLATFORMS = {
    "Qt": (lambda room, name: room == "gui" or name.startswith(("qt_", "portal_")),
           "Qt only in gui/ and in files named qt_* or portal_*"),
    "D-Bus": (lambda room, name: name.startswith("portal_"), "D-Bus only in files named portal_*"),
    "X11": (lambda room, name: name.startswith("x11_"), "X11 only in files named x11_*"),
    "PipeWire": (lambda room, name: name.startswith("pipewire_"),
                 "PipeWire/SPA only in files named pipewire_*"),
    "OpenSSL": (lambda room, name: name.startswith("openssl_"),
                "OpenSSL only in files named openssl_*"),
    "POSIX": (lambda room, name: name.startswith("posix_"),
              "POSIX system headers only in files named posix_*"),
    "Windows": (lambda room, name: name.startswith("win32_"),
                "Windows headers only in files named win32_*"),
    "mbedTLS": (lambda room, name: name.startswith("mbedtls_"),
                "mbedTLS only in files named mbedtls_*"),
}

# Files for the Windows build, which a Linux build does not compile; their own platform's headers
# may be missing here.
OTHER_PLATFORM_PREFIXES = ("win32_", "mbedtls_")


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
    if relative in POSIX_HEADERS or ("/" in relative and first in POSIX_FOLDERS):
        found.add("POSIX")
    if os.path.basename(relative).lower() in WINDOWS_HEADERS:
        found.add("Windows")
    return found


class Check:
    def __init__(self, root, build):
        self.root, self.build = real(root), real(build)
        self.src = os.path.join(self.root, "src")
        self.offences = []
        self.lines = {}

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
                if path not in compiled and not name.startswith(OTHER_PLATFORM_PREFIXES):
                    self.offend(shown, "no target under src/ compiles it", "rooms")
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
                if edge.spelling.startswith("<") and not name.startswith(OTHER_PLATFORM_PREFIXES):
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
                    if not allowed(room, name):
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

    # Rule: links -----------------------------------------------------------------------------
    def links(self, pairs):
        path = os.path.join(self.build, "room_links.tsv")
        if not os.path.exists(path):
            self.offend(self.shown(path), "missing: configure the build folder anew", "links")
            return
        linked, targets = set(), set()
        with open(path, encoding="utf-8") as f:
            for line in f:
                name, _, folder, links, interface = (line.rstrip("\n").split("\t") + [""] * 5)[:5]
                room = name.removeprefix("velmora_")
                if not name.startswith("velmora_") or room not in BELOW:
                    continue
                targets.add(room)
                if real(folder) != os.path.join(self.src, room):
                    self.offend(name, f"defined in {self.shown(real(folder))}/, not in "
                                f"src/{room}/", "links")
                for used in re.findall(r"\bvelmora_(\w+?)(?:::@[^|>]*)?(?=$|[|>])",
                                       links + "|" + interface):
                    if used in BELOW and used != room:
                        linked.add((room, used))
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
    options = parser.parse_args()
    check = Check(options.root, options.build)
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
        # Headers no unit reaches, and win32_ sources no Linux target compiles, are read with the
        # flags of their room's library.
        opened = set().union(*(r.opened for r in results)) | set(compiled)
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
    for offence in check.offences:
        print(offence)
    if check.offences:
        print(f"check-layers: {len(check.offences)} offences in {len(results)} files read")
        return 1
    print(f"check-layers: every include points down ({len(results)} files read, "
          f"{len(edges)} include edges)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
