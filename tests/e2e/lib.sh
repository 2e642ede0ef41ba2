# tests/e2e/lib.sh — helpers shared by the end-to-end tests (source it).
#
# The tests run the real programs on a private Xvfb server and drive them with
# xdotool, as a person would. No window manager runs: windows have no frames,
# "activating" a window means giving it the keyboard focus (XSetInputFocus,
# xdotool windowfocus), and the close box is emulated by sending the window
# the WM_DELETE_WINDOW message that a window manager sends when its close
# button is clicked.
#
# Typical use (each test script gets the build directory as $1):
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_start_xvfb
#   e2e_run "$1/examples/echo_window"; pid=$E2E_LAST_PID
#   win=$(e2e_wait_window "Echo")
#   e2e_type "$win" "abc"
#   e2e_screenshot "$win" "$E2E_TMP/after.png"
#   e2e_close_window "$win"
#   status=$(e2e_wait_exit "$pid" 10)
#
# Functions (all print errors on stderr and return non-zero on failure):
#   e2e_start_xvfb [WxHxD]          start Xvfb (default 1024x768x24) on a free display, export DISPLAY
#   e2e_run CMD [ARGS...]           start a program in the background; its pid in E2E_LAST_PID
#   e2e_run_logged LOG CMD [ARGS...]  the same, with its standard output and error in LOG
#   e2e_wait_window NAME [TIMEOUT]  wait for a visible window titled exactly NAME; print its id
#   e2e_client_geometry WINID       print "W H", the window's size
#   e2e_window_position WINID       print "X Y", the window's top-left corner on the screen
#   e2e_window_title WINID          print the window's title
#   e2e_focus WINID                 give the window the keyboard focus
#   e2e_type WINID TEXT             type TEXT into the window (UTF-8; non-ASCII works too)
#   e2e_key WINID KEYSYM...         press key combinations, e.g. Return, BackSpace, alt+x
#   e2e_click WINID X Y [BUTTON]    click at client coordinates (button 1 left, 2 middle, 3 right)
#   e2e_mouse_move WINID X Y        move the pointer to client coordinates
#   e2e_scroll WINID X Y NOTCHES    turn the wheel over a client point (positive: away from the user)
#   e2e_screenshot WINID OUT.png    capture the window's client area
#   e2e_crop_png IN OUT X Y W H     cut a rectangle out of a PNG
#   e2e_pixel PNG X Y               print the pixel's colour as RRGGBB (hex)
#   e2e_compare_png A B [MAX]       print the number of differing pixels; fail if more than MAX (0)
#   e2e_wait_exit PID TIMEOUT       wait for a program started by e2e_run; print its exit status
#   e2e_close_window WINID          ask the window to close, as its close box would
#   e2e_on_exit CMD                 run CMD (a string) when the test script exits
#   e2e_fail MESSAGE                print "FAIL: MESSAGE" and exit 1
#
# E2E_TMP is a scratch directory removed at exit. Programs started by e2e_run
# and the Xvfb server are ended at exit.

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/e2e.XXXXXX")
E2E_PIDS=()
E2E_EXIT_HOOKS=()
E2E_XVFB_PID=""
E2E_LAST_PID=""
E2E_KEY_DELAY_MS=${E2E_KEY_DELAY_MS:-40}

# ImageMagick's own tools (a "convert" earlier in PATH may be something else).
_e2e_im() {
    local tool=$1
    if [ -x "/usr/bin/$tool" ]; then echo "/usr/bin/$tool"; else command -v "$tool"; fi
}
E2E_IMPORT=$(_e2e_im import)
E2E_CONVERT=$(_e2e_im convert)
E2E_COMPARE=$(_e2e_im compare)

e2e_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

e2e_on_exit() {
    E2E_EXIT_HOOKS+=("$1")
}

_e2e_cleanup() {
    local status=$?
    local hook pid
    for hook in "${E2E_EXIT_HOOKS[@]}"; do eval "$hook" || true; done
    for pid in "${E2E_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    if [ -n "$E2E_XVFB_PID" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null || true
        wait "$E2E_XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$E2E_TMP"
    exit "$status"
}
trap _e2e_cleanup EXIT
trap 'exit 130' INT TERM

_e2e_require() {
    local t
    for t in "$@"; do
        command -v "$t" >/dev/null 2>&1 || e2e_fail "missing tool '$t' (run scripts/setup.sh)"
    done
}

e2e_start_xvfb() {
    _e2e_require Xvfb xdotool xwininfo python3
    [ -n "$E2E_IMPORT" ] && [ -n "$E2E_CONVERT" ] && [ -n "$E2E_COMPARE" ] || e2e_fail "ImageMagick is missing"
    local fifo="$E2E_TMP/displayfd"
    : >"$fifo"
    # -displayfd: the server picks a free display number and writes it back
    # once it accepts connections, so there is no race with other servers.
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp -noreset 3>"$fifo" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        if [ -s "$fifo" ]; then
            export DISPLAY=":$(tr -d '[:space:]' <"$fifo")"
            xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        fi
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    cat "$E2E_TMP/xvfb.log" >&2
    e2e_fail "Xvfb did not start"
}

e2e_run() {
    local pidfile="$E2E_TMP/run.$RANDOM.$RANDOM"
    # The subshell waits for the program and records its exit status, so the
    # status can be read from anywhere (also from command substitutions).
    (
        "$@" &
        child=$!
        echo "$child" >"$pidfile"
        wait "$child"
        echo $? >"$E2E_TMP/status.$child"
    ) &
    local i
    for i in $(seq 1 100); do
        [ -s "$pidfile" ] && break
        sleep 0.02
    done
    E2E_LAST_PID=$(cat "$pidfile")
    E2E_PIDS+=("$E2E_LAST_PID")
}

e2e_run_logged() {
    local log=$1
    shift
    e2e_run bash -c 'exec "$@" >"$0" 2>&1' "$log" "$@"
}

e2e_wait_window() {
    local name=$1 timeout=${2:-10} id
    id=$(timeout "$timeout" xdotool search --sync --onlyvisible --name "^${name}\$" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] || { echo "no window named '$name' after ${timeout}s" >&2; return 1; }
    echo "$id"
}

e2e_client_geometry() {
    xwininfo -id "$1" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w, h}'
}

e2e_window_position() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} END {print x, y}'
}

e2e_window_title() {
    xdotool getwindowname "$1"
}

e2e_focus() {
    xdotool windowraise "$1" >/dev/null 2>&1 || true
    xdotool windowfocus --sync "$1" >/dev/null 2>&1 || xdotool windowfocus "$1"
    sleep 0.05
}

# Keys go through the XTEST extension to the focused window, exactly like a
# real keyboard (xdotool --window would send synthetic events instead).
e2e_type() {
    e2e_focus "$1"
    xdotool type --delay "$E2E_KEY_DELAY_MS" -- "$2"
}

e2e_key() {
    local win=$1
    shift
    e2e_focus "$win"
    xdotool key --delay "$E2E_KEY_DELAY_MS" -- "$@"
}

e2e_mouse_move() {
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.05
}

e2e_click() {
    e2e_mouse_move "$1" "$2" "$3"
    xdotool click "${4:-1}"
}

e2e_scroll() {
    local n=$4 button=4
    if [ "$n" -lt 0 ]; then button=5; n=$((-n)); fi
    e2e_mouse_move "$1" "$2" "$3"
    [ "$n" -eq 0 ] || xdotool click --repeat "$n" --delay 50 "$button"
}

e2e_screenshot() {
    local win=$1 out=$2
    "$E2E_IMPORT" -window "$win" "png:$out" 2>/dev/null ||
        xwd -silent -id "$win" | "$E2E_CONVERT" xwd:- "png:$out"
    [ -s "$out" ] || { echo "screenshot of $win failed" >&2; return 1; }
}

e2e_crop_png() {
    "$E2E_CONVERT" "$1" -crop "${5}x${6}+${3}+${4}" +repage "png:$2"
}

e2e_pixel() {
    "$E2E_CONVERT" "$1" -crop "1x1+${2}+${3}" +repage -depth 8 -format '%[hex:u.p{0,0}]' info:- | cut -c1-6
}

e2e_compare_png() {
    local a=$1 b=$2 max=${3:-0} out n
    out=$("$E2E_COMPARE" -metric AE "$a" "$b" null: 2>&1) || true
    n=${out%% *}
    case "$n" in
        '' | *[!0-9.e+]*) echo "cannot compare $a and $b: $out" >&2; return 2 ;;
    esac
    n=$(printf '%.0f' "$n")
    echo "$n"
    [ "$n" -le "$max" ]
}

e2e_wait_exit() {
    local pid=$1 timeout=$2 i
    for i in $(seq 1 $((timeout * 10))); do
        if [ -s "$E2E_TMP/status.$pid" ]; then
            cat "$E2E_TMP/status.$pid"
            return 0
        fi
        sleep 0.1
    done
    echo "timeout"
    return 1
}

e2e_close_window() {
    # WM_PROTOCOLS / WM_DELETE_WINDOW client message through libX11.
    python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

d = x.XOpenDisplay(None)
if not d:
    sys.exit("cannot open display")
win = int(sys.argv[1], 0)
ev = XEvent()
ev.xclient.type = 33  # ClientMessage
ev.xclient.window = win
ev.xclient.message_type = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
ev.xclient.format = 32
ev.xclient.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
ev.xclient.data[1] = 0  # CurrentTime
if not x.XSendEvent(d, win, 0, 0, ctypes.byref(ev)):
    sys.exit("XSendEvent failed")
x.XFlush(d)
x.XCloseDisplay(d)
PY
}
