#!/usr/bin/env bash
# The Windows build of the game under Wine, in Xvfb, with a Chinese locale
# (code page 936): the same end-to-end flow as on Linux (the menu and its
# text lines, the administrator's log-in, a practice duel won, Esc, Exit
# with status 0), with reference lines rendered by Wine's own GDI.
#   test_windows_under_wine.sh SOURCE_DIR WINDOWS_BUILD_DIR
# WINDOWS_BUILD_DIR is what test_windows_build.sh SOURCE_DIR OUT_DIR left.
set -euo pipefail
src=$(cd "${1:?source dir}" && pwd)
winbuild=$(cd "${2:?windows build dir}" && pwd)
wine=${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
[ -x "$wine" ] || { echo "FAIL: wine64 not found (scripts/setup.sh installs it)" >&2; exit 1; }
for f in game/lumenvale.exe render_text_line.exe; do
  [ -f "$winbuild/$f" ] || { echo "FAIL: $winbuild/$f missing" >&2; exit 1; }
done
tmp=$(mktemp -d "${TMPDIR:-/tmp}/wine-e2e.XXXXXX")
export WINEPREFIX="$tmp/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver="$(dirname "$wine")/wineserver"
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$tmp"' EXIT

# A Chinese locale for Wine: Wine takes the Windows code pages from the Unix
# locale, so zh_CN.UTF-8 gives ANSI and OEM code page 936. The locale is
# compiled into the scratch directory (glibc reads LOCPATH).
mkdir -p "$tmp/locale"
localedef -i zh_CN -f UTF-8 "$tmp/locale/zh_CN.UTF-8" 2>/dev/null || true
[ -d "$tmp/locale/zh_CN.UTF-8" ] || { echo "FAIL: cannot build the zh_CN.UTF-8 locale (package locales)" >&2; exit 1; }
export LOCPATH="$tmp/locale" LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8

# The first start creates the prefix. "chcp" answers in the console's code
# page: its Chinese answer decodes from GBK only when that page is 936.
answer=$("$wine" cmd /c chcp 2>/dev/null | iconv -f GBK -t UTF-8 2>/dev/null || true)
case "$answer" in
  *代码页*) echo "Wine answers in code page 936: $answer" ;;
  *) echo "FAIL: Wine does not run with code page 936 (chcp said: $answer)" >&2; exit 1 ;;
esac

# The Linux flow test, with the game and the reference renderer run by Wine.
mkdir -p "$tmp/build/game"
# The references are rendered before the test's X server exists: a Wine
# session started then has no display, so the game starts a new one.
cat >"$tmp/build/game/lumenvale" <<WRAP
#!/bin/sh
"$wineserver" -k 2>/dev/null
"$wineserver" -w 2>/dev/null
exec "$wine" "$winbuild/game/lumenvale.exe" "\$@"
WRAP
cat >"$tmp/build/game/render_text_line" <<WRAP
#!/bin/sh
# Windows path of the output file: drive Z: is the Unix root.
out=\$(printf 'Z:%s' "\$1" | tr / '\\\\')
exec "$wine" "$winbuild/render_text_line.exe" "\$out"
WRAP
chmod +x "$tmp/build/game/lumenvale" "$tmp/build/game/render_text_line"
E2E_WINDOW_TIMEOUT=60 bash "$src/tests/e2e/test_game_flow.sh" "$tmp/build"
