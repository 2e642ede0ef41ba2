#!/usr/bin/env bash
# Lumenvale in a real X server: the version menu, version-1.0.0 with the
# administrator's log-in, a practice duel won, Esc back to the menu and
# "Exit" ending the program with status 0. Text lines are recognised by
# comparing them with reference pictures rendered by render_text_line.
# Usage: test_game_flow.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

build=${1:?usage: $0 BUILD_DIR}
bin="$build/game/lumenvale"
render="$build/game/render_text_line"
[ -x "$bin" ] || e2e_fail "$bin not built"
[ -x "$render" ] || e2e_fail "$render not built"
command -v iconv >/dev/null || e2e_fail "iconv is missing"

# ref NAME TEXT: reference picture of TEXT (UTF-8 here, GBK in the game).
ref() {
    printf '%s' "$2" | iconv -f UTF-8 -t GBK | "$render" "$E2E_TMP/$1.ppm" || e2e_fail "cannot render '$2'"
    "$E2E_CONVERT" "$E2E_TMP/$1.ppm" "png:$E2E_TMP/$1.png"
}

# line_is SHOT Y REF: whether the 300 x 16 text line at Y equals the reference.
line_is() {
    e2e_crop_png "$E2E_TMP/$1.png" "$E2E_TMP/$1.line$2.png" 0 "$2" 300 16
    e2e_compare_png "$E2E_TMP/$3.png" "$E2E_TMP/$1.line$2.png" >/dev/null 2>&1
}

# wait_line Y REF [TRIES]: poll screenshots (about 0.1 s apart) until the line matches.
wait_line() {
    local y=$1 name=$2 tries=${3:-100} i
    for i in $(seq 1 "$tries"); do
        e2e_screenshot "$win" "$E2E_TMP/shot.png"
        line_is shot "$y" "$name" && return 0
        sleep 0.05
    done
    return 1
}

ref blank ""
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

e2e_start_xvfb
e2e_run "$bin"
pid=$E2E_LAST_PID
win=$(e2e_wait_window "lumenvale" "${E2E_WINDOW_TIMEOUT:-15}") || e2e_fail "the game window did not appear"

geometry=$(e2e_client_geometry "$win")
[ "$geometry" = "300 240" ] || e2e_fail "client size is '$geometry', expected '300 240'"

# The menu: the title line is not blank and reads "Lumenvale".
wait_line 0 title || e2e_fail "the title line never showed 'Lumenvale'"
line_is shot 0 blank && e2e_fail "the title line is blank"
line_is shot 40 menu_hint || e2e_fail "the menu hint is missing"
line_is shot 60 menu_exit || e2e_fail "the Exit line is missing"

# version-1.0.0 and the administrator's log-in.
e2e_type "$win" "version-1.0.0"
e2e_key "$win" Return
wait_line 20 ask_name || e2e_fail "no name prompt after choosing version-1.0.0"
e2e_type "$win" "kestrel_v"
e2e_key "$win" Return
wait_line 20 ask_password || e2e_fail "no password prompt"
e2e_type "$win" '_tek4590$'
e2e_key "$win" Return
wait_line 20 level_prompt || e2e_fail "no level prompt after the log-in"

# Practice duel. At huashen (the administrator's foundation) every attack
# wins whatever the monster draws; the rounds are repeated in case a round
# is refused. Each entry is typed only once the game asks for it, because
# getint drops keys that were queued ahead.
e2e_type "$win" "0"
e2e_key "$win" Return
wait_line 20 action_prompt || e2e_fail "the practice duel did not start"
line_is shot 40 power0 || e2e_fail "the power line does not read 0"
won=no
for round in 1 2 3 4 5; do
    e2e_type "$win" "0"        # cultivate: +5 at huashen
    e2e_key "$win" Return
    wait_line 40 power5 200 || e2e_fail "no prompt with 5 power after cultivating"
    e2e_type "$win" "4"        # sword finger
    e2e_key "$win" Return
    if wait_line 20 won 120; then
        won=yes
        break
    fi
done
[ "$won" = yes ] || e2e_fail "the duel never showed the win message"

# Back at the level prompt; Esc returns to the menu.
wait_line 20 level_prompt 200 || e2e_fail "no level prompt after the duel"
e2e_key "$win" Escape
wait_line 40 menu_hint 200 || e2e_fail "Esc did not return to the menu"
line_is shot 20 blank || e2e_fail "the menu's entry line is not empty"

e2e_type "$win" "Exit"
e2e_key "$win" Return
status=$(e2e_wait_exit "$pid" 15) || e2e_fail "the game did not end after Exit"
[ "$status" = 0 ] || e2e_fail "exit status $status"

echo "PASS: game flow"
