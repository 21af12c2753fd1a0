"""Draws the rooms of docs/layout.md from the link graph the layer check reads.

usage: draw_layout.py BUILD_FOLDER --write LAYOUT_MD
       draw_layout.py BUILD_FOLDER --check LAYOUT_MD

Reads BUILD_FOLDER/room_links.tsv (cmake/room_links.cmake writes it when the build is
configured) and puts the drawing between the two marker lines of LAYOUT_MD. --check changes
nothing: it exits 1, showing the difference, when the file holds another drawing. Since the
layer check holds every room's links equal to the rooms its files include, the drawing shows
what the code uses, not what someone once meant it to.
"""

import argparse
import difflib
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_layers import BELOW, room_links  # noqa: E402

BEGIN = "<!-- rooms: drawn by scripts/tools/draw_layout.py from the build's room_links.tsv -->"
END = "<!-- end of the drawn rooms -->"


def read_links(build):
    """Room -> the rooms its velmora_<room> target links directly."""
    path = os.path.join(build, "room_links.tsv")
    return {room: used for room, _, used in room_links(path)}


def reachable(links, room):
    seen, todo = set(), list(links.get(room, ()))
    while todo:
        used = todo.pop()
        if used not in seen:
            seen.add(used)
            todo.extend(links.get(used, ()))
    return seen


def order(links):
    """Rooms from the top down: a room stands above every room it uses; ties in BELOW's order."""
    rank = {room: i for i, room in enumerate(BELOW)}
    height = {}

    def depth(room, path=()):
        if room in path:
            raise SystemExit(f"draw_layout: the rooms link in a circle: {' -> '.join(path)}")
        if room not in height:
            height[room] = 1 + max((depth(u, path + (room,)) for u in links.get(room, ())),
                                   default=-1)
        return height[room]

    return sorted(links, key=lambda room: (-depth(room), -rank.get(room, 0)))


def draw(links):
    rooms = order(links)
    rank = {room: i for i, room in enumerate(rooms)}
    width = max(len(room) for room in rooms) + 2
    lines = [BEGIN, "```"]
    for room in rooms:
        # An arrow only where no other arrow already leads: the rest is reached through them.
        through = set().union(*(reachable(links, u) for u in links[room]))
        arrows = sorted(links[room] - through, key=rank.get)
        if arrows:
            lines.append(f"{room} ".ljust(width, "─") + "──> " + ", ".join(arrows))
        else:
            lines.append(room)
    lines += ["```",
              "(drawn from the link graph; an arrow reads \"links, and includes\", and a room may",
              "use every room its arrows lead to, directly or further down)", "",
              "| Room | Links and includes directly |", "|---|---|"]
    for room in rooms:
        used = sorted(links[room], key=rank.get)
        lines.append(f"| `{room}` | {', '.join(used) if used else 'nothing'} |")
    lines.append(END)
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("build")
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--write", metavar="LAYOUT_MD")
    mode.add_argument("--check", metavar="LAYOUT_MD")
    options = parser.parse_args()
    path = options.write or options.check
    with open(path, encoding="utf-8") as f:
        old = f.read().split("\n")
    if BEGIN not in old or END not in old:
        print(f"draw_layout: {path} lacks the marker lines\n  {BEGIN}\n  {END}", file=sys.stderr)
        return 2
    begin, end = old.index(BEGIN), old.index(END)
    new = old[:begin] + draw(read_links(options.build)) + old[end + 1 :]
    if new == old:
        return 0
    if options.check:
        sys.stdout.writelines(difflib.unified_diff(
            [line + "\n" for line in old], [line + "\n" for line in new], path,
            "drawn from " + os.path.join(options.build, "room_links.tsv")))
        print(f"draw_layout: {path} is stale; run scripts/tools/draw_layout.py "
              f"{options.build} --write {path}")
        return 1
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(new))
    return 0


if __name__ == "__main__":
    sys.exit(main())
