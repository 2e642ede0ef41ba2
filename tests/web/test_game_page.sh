#!/usr/bin/env bash
# The game as a web page, in a real browser: builds the page with
# scripts/web.sh (libraries from Debian's sources, cached in
# build/web-deps), serves it with the cross-origin isolation headers, and
# drives Debian's headless Chromium with puppeteer-core (tests/web, pinned by
# package-lock.json): the menu appears and agrees with the native window's
# menu on at least 99 % of its pixels, the log-in as kestrel_v, a practice
# duel to its end, Exit and the page saying that the program ended.
#
# Usage: test_game_page.sh BUILD_DIR   (the native build: its render_text_line
# makes the reference lines and its lumenvale the reference menu)
# Exit 77 (skipped) only when a tool is not installed at all.
# GLINT_WEB_GALLERY=1 also copies the screenshots into docs/gallery/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
chromium=${CHROMIUM:-/usr/bin/chromium}
for tool in emcc node npm python3 dpkg-source; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup.sh installs it)"; exit 77; }
done
[ -x "$chromium" ] || { echo "SKIP: $chromium is not installed (scripts/setup.sh installs it)"; exit 77; }

source "$root/tests/e2e/lib.sh"
work=$build/web-test
mkdir -p "$work/refs"
rm -f "$work"/*.png

# Reference lines, as test_game_flow.sh makes them.
ref() {
    printf '%s' "$2" | iconv -f UTF-8 -t GBK | "$build/game/render_text_line" "$work/refs/$1.ppm" ||
        e2e_fail "cannot render '$2'"
}
ref title "Lumenvale"
ref menu_hint "请选择版本，如没有版本则默认最新"
ref menu_exit "Exit退出"
ref ask_name "请输入大侠道号"
ref ask_password "请输入暗号"
ref level_prompt "请输入玩法等级，-1为规则说明，Esc退出"
ref action_prompt "请选择你要出什么  "
ref power0 "剩余灵力：0"
ref power5 "剩余灵力：5"
ref won "你赢了！          "

# The native window's menu, once its last line shows.
"$E2E_CONVERT" "$work/refs/menu_exit.ppm" "png:$E2E_TMP/menu_exit.png"
e2e_start_xvfb
e2e_run "$build/game/lumenvale"
win=$(e2e_wait_window "lumenvale" 15) || e2e_fail "the native game window did not appear"
for i in $(seq 1 100); do
    e2e_screenshot "$win" "$E2E_TMP/native.png"
    e2e_crop_png "$E2E_TMP/native.png" "$E2E_TMP/native_exit.png" 0 60 300 16
    e2e_compare_png "$E2E_TMP/menu_exit.png" "$E2E_TMP/native_exit.png" >/dev/null 2>&1 && break
    [ "$i" = 100 ] && e2e_fail "the native menu never showed its Exit line"
    sleep 0.05
done
"$E2E_CONVERT" "$E2E_TMP/native.png" -depth 8 "ppm:$work/native_menu.ppm"

# The page (in WEB_BUILD_DIR, default BUILD_DIR/web). The first build also
# builds the libraries (timed here).
web_build=${WEB_BUILD_DIR:-$build/web}
start=$(date +%s)
WEB_SKIP_SETUP=1 WEB_TARGETS=lumenvale WEB_BUILD_DIR="$web_build" bash "$root/scripts/web.sh" \
    >"$work/web_build.log" 2>&1 || { tail -n 40 "$work/web_build.log"; e2e_fail "scripts/web.sh failed"; }
echo "web build: $(( $(date +%s) - start )) s"
pages=$web_build/pages
[ -f "$pages/lumenvale.html" ] || e2e_fail "no lumenvale.html in $pages"

# puppeteer-core, installed once per lock file (kept beside the libraries).
node_dir=$root/build/web-deps/node
if ! cmp -s "$here/package-lock.json" "$node_dir/package-lock.json" || [ ! -d "$node_dir/node_modules" ]; then
    rm -rf "$node_dir"
    mkdir -p "$node_dir"
    cp "$here/package.json" "$here/package-lock.json" "$node_dir/"
    (cd "$node_dir" && npm ci --no-audit --no-fund --ignore-scripts >"$work/npm.log" 2>&1) ||
        { tail -n 20 "$work/npm.log"; e2e_fail "npm ci failed"; }
fi
cp "$here/game_page.mjs" "$node_dir/"

python3 "$root/scripts/web/serve.py" "$pages" 0 >"$work/serve.log" 2>&1 &
server=$!
e2e_on_exit "kill $server"
for i in $(seq 1 100); do
    url=$(sed -n 's/^Serving .* at \(http:[^ ]*\)$/\1/p' "$work/serve.log")
    [ -n "$url" ] && break
    sleep 0.05
done
[ -n "$url" ] || e2e_fail "the page server did not start"

CHROMIUM=$chromium timeout 300 node "$node_dir/game_page.mjs" "${url}lumenvale.html" "$work/refs" \
    "$work/native_menu.ppm" "$work" || e2e_fail "the game page (screenshots in $work)"

if [ "${GLINT_WEB_GALLERY:-0}" = 1 ]; then
    cp "$work/lumenvale_web_page.png" "$root/docs/gallery/lumenvale_web.png"
fi
echo "PASS: game page in Chromium"
