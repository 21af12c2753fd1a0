#!/usr/bin/env bash
# Checks the direction of the arrows between the source folders: each folder includes only its
# own headers and those of the folders below it; only gui and app use Qt Widgets; X11 and POSIX
# headers appear only in files named for their platform. Prints every offending line and exits 1
# when there is one.
set -euo pipefail
cd "$(dirname "$0")/../src"

# What each folder may include besides itself.
declare -A below=(
  [core]=""
  [settings]="core"
  [png]="core"
  [screen]="core settings"
  [capture]="core settings png screen"
  [transfer]="core settings"
  [publish]="core settings transfer"
  [server_tools]="core settings transfer"
  [crash]="core"
  [gui]="core settings png screen capture transfer publish"
  [app]="core settings png screen capture transfer publish server_tools crash gui"
)

widgets_dir=""
for d in /usr/include/*/qt6/QtWidgets /usr/include/qt6/QtWidgets; do
  if [ -d "$d" ]; then widgets_dir=$d; break; fi
done

status=0
complain() { echo "$1"; status=1; }

for folder in "${!below[@]}"; do
  [ -d "$folder" ] || continue
  allowed=" $folder ${below[$folder]} "
  while IFS= read -r file; do
    while IFS= read -r line; do
      target=${line#*\"}
      target=${target%%/*}
      case "$allowed" in
        *" $target "*) ;;
        *) complain "src/$file: $folder may not include $target: $line" ;;
      esac
    done < <(grep -E '^#include "[a-z_]+/' "$file" || true)

    if [ "$folder" != gui ] && [ "$folder" != app ] && [ -n "$widgets_dir" ]; then
      while IFS= read -r line; do
        header=${line#*<}
        header=${header%>*}
        header=${header#QtWidgets/}
        if [ -e "$widgets_dir/$header" ]; then
          complain "src/$file: Qt Widgets outside gui and app: $line"
        fi
      done < <(grep -E '^#include <(QtWidgets/)?Q[A-Za-z]+>' "$file" || true)
    fi

    name=$(basename "$file")
    if grep -qE '^#include <X11/' "$file" && [[ $name != x11_* ]]; then
      complain "src/$file: X11 header in a file not named x11_*"
    fi
    if grep -qE '^#include <(unistd|fcntl|signal|dlfcn|pwd|spawn|ucontext|link|sys/(wait|stat|mman|syscall|types|file))\.h>' "$file" &&
      [[ $name != posix_* && $name != *_main.cpp ]]; then
      complain "src/$file: POSIX header in a file not named posix_*"
    fi
  done < <(find "$folder" -name '*.h' -o -name '*.cpp')
done

if [ $status -eq 0 ]; then echo "check-layers: every include points down"; fi
exit $status
