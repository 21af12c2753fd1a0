#!/usr/bin/env bash
# The Debian package made from a build: its contents and control fields, lintian's verdict, and
# the programs as dpkg unpacks them, down to one presentation against a real FTP server.
#   package_check.sh BUILD_DIR CPACK INSTALLED_PROGRAM_TESTS
set -euo pipefail
build=$(cd "$1" && pwd)
cpack=$2
presentation_test=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-package-XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() { echo "package: $*" >&2; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
arch=$(dpkg --print-architecture)

# Packed in a folder of its own, so the build folder keeps no trace of the test.
if ! "$cpack" --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack failed"
fi
deb="$work/out/velmora_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(ls "$work/out")"

# --- Control fields -------------------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velmora ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
for name in Section Priority Maintainer; do
  [ -n "$(field "$name")" ] || fail "no $name field"
done
# No address that never answers: without a site of its own the package names none.
! dpkg-deb -f "$deb" | grep -q 'https\?://[^ ]*\.example' || fail "a placeholder address: $(dpkg-deb -f "$deb")"
# A summary line and a real paragraph below it.
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -ge 4 ] || fail "no long description"

# One dependency a line, versions and alternatives as dpkg-deb prints them.
list() { field "$1" | tr ',' '\n' | sed 's/^ *//; s/ *$//'; }
depends=$(list Depends)
for needed in libfreeimage3 libqt6widgets6 libqt6gui6 libqt6core6 libcurl4 libpng16-16 libc6; do
  grep -Eq "^$needed( |$)" <<<"$depends" || fail "Depends lacks $needed: $(field Depends)"
done
recommends=$(list Recommends)
for wanted in "xdg-desktop-portal" "pipewire" \
  "xdg-desktop-portal-gnome | xdg-desktop-portal-kde | xdg-desktop-portal-wlr" "xwayland"; do
  grep -Fqx "$wanted" <<<"$recommends" || fail "Recommends lacks '$wanted': $(field Recommends)"
done

# Everything the package depends on is installed here, in a version it accepts: dpkg -x below
# then runs the programs as apt would have set them up.
satisfied() { # "name" or "name (op version)"
  local name=${1%% *} op want have
  have=$(dpkg-query -W -f='${Status} ${Version}' "$name" 2>/dev/null || true)
  [[ $have == "install ok installed "* ]] || return 1
  [[ $1 == *"("* ]] || return 0
  op=$(sed 's/.*(\([<>=]*\) .*/\1/' <<<"$1")
  want=$(sed 's/.*([<>=]* \(.*\))/\1/' <<<"$1")
  case $op in '>=') op=ge ;; '<=') op=le ;; '=') op=eq ;; '>>') op=gt ;; '<<') op=lt ;; esac
  dpkg --compare-versions "${have##* }" "$op" "$want"
}
while IFS= read -r dependency; do
  ok=no
  IFS='|' read -ra alternatives <<<"$dependency"
  for alternative in "${alternatives[@]}"; do
    alternative=$(sed 's/^ *//; s/ *$//' <<<"$alternative")
    if satisfied "$alternative"; then ok=yes; break; fi
  done
  [ $ok = yes ] || fail "dependency '$dependency' is not installed on this machine"
done <<<"$depends"

# --- Contents ------------------------------------------------------------------------------
dpkg-deb -c "$deb" >"$work/contents"
entry() { # mode, path
  grep -Eq "^$1 root/root +[0-9]+ [0-9-]+ [0-9:]+ \./$2$" "$work/contents" ||
    fail "no $1 root/root ./$2 in the package:
$(cat "$work/contents")"
}
for program in velmora velmora-crash-box velmora-fault-locator; do
  entry -rwxr-xr-x "usr/bin/$program"
done
for file in share/applications/velmora.desktop share/icons/hicolor/32x32/apps/velmora.png \
  share/icons/hicolor/48x48/apps/velmora.png share/icons/hicolor/128x128/apps/velmora.png \
  share/icons/hicolor/scalable/apps/velmora.svg \
  share/metainfo/com.corvantis.velmora.metainfo.xml share/man/man1/velmora.1.gz \
  share/doc/velmora/copyright share/doc/velmora/changelog.gz share/doc/velmora/README.html \
  share/doc/velmora/docs/viewer-page.png; do
  entry -rw-r--r-- "usr/$file"
done
# The helpers in usr/bin share the program's manual page, which describes them.
for helper in velmora-crash-box velmora-fault-locator; do
  grep -q " \./usr/share/man/man1/$helper\.1\.gz -> velmora\.1\.gz$" "$work/contents" ||
    fail "no manual page for $helper"
done
stray=$(awk '{print $6}' "$work/contents" | grep -Ev '^\./(usr/?)?$|^\./usr/(bin|share)/' || true)
[ -z "$stray" ] || fail "files outside usr/bin and usr/share: $stray"

# --- Lintian -------------------------------------------------------------------------------
if command -v lintian >/dev/null 2>&1; then
  # Warnings are shown for whoever reads the log; errors fail the test.
  if ! lintian --fail-on error --display-info "$deb" >"$work/lintian.log" 2>&1; then
    cat "$work/lintian.log" >&2
    fail "lintian found errors"
  fi
  sed 's/^/lintian: /' "$work/lintian.log"
else
  echo "package: lintian is not installed; its check is left out"
fi

# --- Installed -----------------------------------------------------------------------------
root="$work/root"
dpkg -x "$deb" "$root"
bin="$root/usr/bin"

# Desktop integration: the menu entry starts the installed program and finds its icon.
entry_file="$root/usr/share/applications/velmora.desktop"
command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry_file")
[ -x "$bin/$command" ] || fail "the menu entry starts '$command', which the package lacks"
icon=$(sed -n 's/^Icon=//p' "$entry_file")
[ -f "$root/usr/share/icons/hicolor/32x32/apps/$icon.png" ] || fail "no icon '$icon'"
metainfo="$root/usr/share/metainfo/com.corvantis.velmora.metainfo.xml"
grep -q "<id>com.corvantis.velmora</id>" "$metainfo" || fail "AppStream id is not com.corvantis.velmora"
# Software centres that knew the program by its old id take this one as its successor.
grep -q "<provides>.*<id>velmora</id>" <(tr -d '\n' <"$metainfo") || fail "AppStream data does not provide velmora"
grep -q '<launchable type="desktop-id">velmora.desktop</launchable>' "$metainfo" ||
  fail "AppStream data does not name the menu entry"
grep -q "<release version=\"$version\"" "$metainfo" || fail "AppStream release is not $version"
# gzip -9n: neither a file name nor a time stamp in the header (flag byte 3, bytes 4 to 7).
for gz in "$root/usr/share/man/man1/velmora.1.gz" "$root/usr/share/doc/velmora/changelog.gz"; do
  gzip -t "$gz" || fail "$gz is broken"
  [ "$(od -An -tu1 -j3 -N5 "$gz" | tr -s ' ')" = " 0 0 0 0 0" ] ||
    fail "$gz carries a name or time stamp"
done
first=$(zcat "$root/usr/share/doc/velmora/changelog.gz" | sed -n 1p)
[[ $first == "velmora ($version) "* ]] || fail "the changelog begins with '$first', not $version"

# Stripped as Debian wants, yet with the line tables the crash report reads (when the build has
# them): the fault locator of the package finds main() of the package's program in qt_main.cpp.
readelf -S -W "$bin/velmora" >"$work/sections"
! grep -q ' \.symtab ' "$work/sections" || fail "velmora is not stripped"
readelf -S -W "$build/velmora" >"$work/build-sections"
if grep -q ' \.debug_line ' "$work/build-sections"; then
  grep -q ' \.debug_line ' "$work/sections" || fail "velmora lost its line tables"
  main_address=$(nm "$build/velmora" | awk '$3 == "main" {print $1}')
  [ -n "$main_address" ] || fail "no main() in $build/velmora"
  located=$("$bin/velmora-fault-locator" "$bin/velmora" "$main_address") ||
    fail "the installed fault locator finds no line for main() at $main_address"
  [[ $located == "qt_main.cpp"$'\t'* ]] || fail "main() located in '$located'"
else
  echo "package: $build/velmora has no line tables; the crash report's line is not checked"
fi

# The command line needs no display.
run() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$bin/velmora" "$@"; }
out=$(run --version) || fail "velmora --version failed"
[ "$out" = "Velmora $version" ] || fail "velmora --version says '$out'"
for option in --help -h; do
  out=$(run "$option") || fail "velmora $option failed"
  [[ $out == "Usage: velmora "* && $out == *"sftp://"* ]] || fail "velmora $option says '$out'"
done
status=0
run --no-such-option >"$work/option.out" 2>"$work/option.err" || status=$?
[ $status -eq 2 ] || fail "an unknown option ends with $status, not 2"
[ ! -s "$work/option.out" ] && grep -q -- "--no-such-option" "$work/option.err" ||
  fail "an unknown option is not reported on stderr"

# One presentation with the installed program against a real FTP server.
VELMORA_INSTALLED_PROGRAM="$bin/velmora" "$presentation_test" --gtest_brief=1 ||
  fail "the installed program did not present"
echo "package: $(basename "$deb") checked and presenting"
