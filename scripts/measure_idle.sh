#!/usr/bin/env bash
# Measures what the game costs while it waits at its menu: CPU time (as a
# share of one core) and wake-ups a second (voluntary and involuntary context
# switches of all its threads), over SECONDS (default 20) on a private Xvfb.
#
#   bash scripts/measure_idle.sh [BUILD_DIR] [SECONDS]
#
# CPU time is the scheduler's exact run time (se.sum_exec_runtime in
# /proc/PID/task/TID/sched). The tick-sampled utime+stime of .../stat is
# printed too: a thread that wakes on the timer tick is often the one running
# when the tick samples, so that figure is coarse for short, frequent wake-ups.
#
# Side by side, over the same seconds, it measures bench/baseline/idle_floor:
# a bare loop of 1 ms sleeps, the least that a thousand wake-ups a second
# can cost on this machine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
secs=${2:-20}
game="$build/game/lumenvale"
floor="$build/bench/baseline/idle_floor"
[ -x "$game" ] || { echo "no game at $game (build first)" >&2; exit 2; }
source "$here/tests/e2e/lib.sh"
e2e_start_xvfb
e2e_run "$game"; pid=$E2E_LAST_PID
e2e_wait_window lumenvale 20 >/dev/null
fpid=""
if [ -x "$floor" ]; then e2e_run "$floor" $((secs + 10)); fpid=$E2E_LAST_PID; fi
sleep 2   # let start-up settle; the menu waits for a version name now

# One line per thread of the given processes: "label tid ticks runtime_ms switches".
snapshot() {
    local label=$1 p=$2 t
    for t in /proc/"$p"/task/*; do
        local rest; rest=$(sed 's/^.*) //' "$t/stat" 2>/dev/null) || continue
        # utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
        local ticks; ticks=$(echo "$rest" | awk '{print $12 + $13}')
        local run; run=$(awk '/^se.sum_exec_runtime/{print $3}' "$t/sched")
        local sw; sw=$(awk '/^(non)?voluntary_ctxt_switches/{n += $2} END {print n}' "$t/status")
        echo "$label ${t##*/} $ticks ${run:-0} $sw"
    done
}
snap_all() {
    snapshot game "$pid"
    [ -z "$fpid" ] || snapshot floor "$fpid"
}
before=$(snap_all)
t0=$(date +%s.%N)
sleep "$secs"
after=$(snap_all)
t1=$(date +%s.%N)
python3 - "$(getconf CLK_TCK)" "$t0" "$t1" <<PY
import sys
clk, t0, t1 = int(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3])
span = t1 - t0
def parse(text):
    d = {}
    for line in text.strip().splitlines():
        label, tid, ticks, run, sw = line.split()
        d[(label, tid)] = (int(ticks), float(run), int(sw))
    return d
b, a = parse("""$before"""), parse("""$after""")
totals = {}
for key, (ticks, run, sw) in sorted(a.items()):
    b0 = b.get(key, (0, 0.0, 0))
    cpu = (run - b0[1]) / 1000 / span * 100
    tick = (ticks - b0[0]) / clk / span * 100
    wk = (sw - b0[2]) / span
    t = totals.setdefault(key[0], [0.0, 0.0, 0.0])
    t[0] += cpu; t[1] += tick; t[2] += wk
    print(f"{key[0]:<5} thread {key[1]:>7}  cpu {cpu:6.2f} % (ticks {tick:5.2f} %)  wake-ups {wk:6.0f}/s")
for label, (cpu, tick, wk) in totals.items():
    print(f"{label:<5} total over {span:.1f} s: cpu {cpu:.2f} % of a core (ticks {tick:.2f} %), {wk:.0f} wake-ups/s")
PY
