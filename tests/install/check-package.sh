#!/usr/bin/env bash
# Builds the Debian package from a configured build tree, unpacks it into a temporary root and checks
# that the program, the desktop entry, the icons, the templates and the help document are where the
# menu and the program look for them, and that the unpacked program runs and finds them from an empty
# working directory.
#   check-package.sh BUILD_DIR VERSION
set -uo pipefail
BUILD=$1
VERSION=$2
WORK=$(mktemp -d /tmp/zv-pkg.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); else echo "FAILED: $what" >&2; failed=$((failed + 1)); fi
}

(cd "$BUILD" && cpack -G DEB -B "$WORK/out" >"$WORK/cpack.log" 2>&1) || { cat "$WORK/cpack.log" >&2; exit 1; }
DEB=$WORK/out/trellvark_${VERSION}_$(dpkg --print-architecture).deb
[ -f "$DEB" ] || { echo "no package $DEB; made: $(ls "$WORK/out")" >&2; exit 1; }

# Every dependency is a real Debian package: the test machine has installed each of them.
deps=$(dpkg-deb -f "$DEB" Depends | tr ',' '\n' | sed 's/(.*)//; s/|.*//; s/ //g' | sort -u)
for dep in qt6-qpa-plugins libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc libqt6svg6 libsodium23 unixodbc \
  libsqliteodbc qt6-translations-l10n breeze-icon-theme libxlsxwriter4 xdg-utils; do
  check "package depends on $dep" grep -qx "$dep" <<<"$deps"
done
# Each package named once (dpkg-shlibdeps adds the linked libraries themselves).
repeated=$(dpkg-deb -f "$DEB" Depends | tr ',' '\n' | sed 's/(.*)//; s/ //g' | sort | uniq -d)
check "no dependency named twice (got: $repeated)" test -z "$repeated"
for dep in $deps; do
  check "dependency $dep is a Debian package" dpkg-query -W "$dep" >/dev/null 2>&1
done

ROOT=$WORK/root
dpkg -x "$DEB" "$ROOT"
for f in usr/bin/trellvark usr/bin/dsnsetup; do
  check "$f is a program" test -x "$ROOT/$f"
  check "$f is stripped" bash -c "! readelf -S '$ROOT/$f' | grep -q -e '\.symtab' -e '\.debug_'"
done

# The menu entry starts a program on the PATH by name and shows an icon of the hicolor theme.
DESKTOP=$ROOT/usr/share/applications/trellvark.desktop
check "desktop entry" test -f "$DESKTOP"
if command -v desktop-file-validate >/dev/null; then check "desktop entry is valid" desktop-file-validate "$DESKTOP"; fi
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$DESKTOP")
icon_name=$(sed -n 's/^Icon=//p' "$DESKTOP")
check "Exec= names the installed program" test -x "$ROOT/usr/bin/$exec_name"
# The desktop matches the program's windows to the menu entry by their class.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$DESKTOP")
check "StartupWMClass= is the program's name" test "$wm_class" = "$exec_name"
for size in 16 22 24 32 48 64 128 256; do
  png=$ROOT/usr/share/icons/hicolor/${size}x${size}/apps/$icon_name.png
  check "icon ${size}x${size}" test -f "$png"
  # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
  check "icon ${size}x${size} has its size" test "$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')" = \
    "$(printf '%08x%08x' "$size" "$size")"
done
check "scalable icon" test -f "$ROOT/usr/share/icons/hicolor/scalable/apps/$icon_name.svg"

# Where the program looks: <bin>/../share/trellvark.
DATA=$ROOT/usr/share/trellvark
for t in szakaz_nar.rtf schet.rtf schetFakt.rtf sakt.rtf szajvka.rtf splan_box.rtf stire_receipt.rtf \
  stire_labels.rtf; do check "template $t" test -s "$DATA/templates/$t"; done
check "help document" test -s "$DATA/help.doc"
check "help document is RTF" bash -c "head -c 6 '$DATA/help.doc' | grep -q '{.rtf1'"

out=$("$ROOT/usr/bin/trellvark" --version 2>&1)
check "--version prints the version (got: $out)" test "$out" = "trellvark $VERSION"
out=$("$ROOT/usr/bin/trellvark" --help 2>&1)
check "--help lists the options (got: $out)" grep -q -- '--database <строка>' <<<"$out"

# The class of the first window the unpacked program shows, on a virtual display, in a home of its own.
cat >"$WORK/window-class.sh" <<'EOF'
HOME=$2 XDG_DATA_HOME=$2/data XDG_CONFIG_HOME=$2/config QT_QPA_PLATFORM=xcb "$1/usr/bin/trellvark" >"$2/log" 2>&1 &
pid=$!
# Up to a minute: a sanitizer build on a busy machine takes long to show its first window.
for _ in $(seq 1 120); do
  for id in $(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p'); do
    class=$(xprop -id "$id" WM_CLASS 2>/dev/null | sed -n 's/^WM_CLASS(STRING) = //p')
    [ -n "$class" ] && break 2
  done
  sleep 0.5
done
kill "$pid"
echo "$class"
[ -n "$class" ] || tail -5 "$2/log" >&2  # why no window showed
EOF
if command -v xvfb-run >/dev/null && command -v xprop >/dev/null && command -v xwininfo >/dev/null; then
  mkdir -p "$WORK/xhome"
  class=$(timeout 150 xvfb-run -a bash "$WORK/window-class.sh" "$ROOT" "$WORK/xhome")
  check "the window's class is the menu entry's (got: $class)" test "$class" = "\"$wm_class\", \"$wm_class\""
fi

# From an empty working directory (as from the menu) the unpacked program finds its own files.
EMPTY=$WORK/empty
mkdir -p "$EMPTY" "$WORK/home"
paths=$(cd "$EMPTY" && HOME=$WORK/home XDG_DATA_HOME=$WORK/home/data "$ROOT/usr/bin/trellvark" --print-paths 2>&1)
value() { sed -n "s/^$1=//p" <<<"$paths"; }
check "templates found in the package (got: $(value templates))" test "$(value templates)" = "$DATA/templates"
check "help found in the package (got: $(value help))" test "$(value help)" = "$DATA/help.doc"
check "works in the user's data folder (got: $(value workdir))" \
  test "$(value workdir)" = "$WORK/home/data/Zorvantide/Zorvantide"
check "nothing written to the working directory" test -z "$(ls -A "$EMPTY")"

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
