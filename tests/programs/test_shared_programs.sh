#!/usr/bin/env bash
# Learners' Windows programs, unchanged, on Linux: the shared programs
# folder's runner (../shared/programs beside the checkout) builds each program
# with the installed package's pkg-config line, runs it with its replayed
# input in Xvfb, and compares every screen mark with the same source built
# for Windows with MinGW-w64 and run under Wine. This script then gives its
# own verdict from the runner's work folder, per program:
#   - it builds natively and runs to the end, and the Windows build runs to
#     the end under Wine (the reference);
#   - at every mark the pixels either side drew agree at least MIN % (99 by
#     default; PROGRAM:MIN sets another floor for one program);
#   - the lines its input script names with "stdout" are Wine's, line for
#     line. A Windows console program's C runtime writes "\r\n" for "\n" in
#     text mode, a Linux program writes "\n", as each system's text files
#     are: the line ends are not compared, the text is.
#
# Usage: test_shared_programs.sh [--wide | --own DIR] SOURCE_DIR BUILD_DIR WINDOWS_BUILD_DIR PROGRAM[:MIN]...
#   (default)   the programs of the shared folder as they are
#   --wide      the same programs built with UNICODE and _UNICODE defined, as a
#               new Visual Studio project builds them. A program that the real
#               Windows headers reject in that build must be rejected here too,
#               at the same source lines (that is agreement); one that builds
#               for Windows must build, run and match here.
#   --own DIR   programs of DIR (NAME.cpp with its input script NAME.txt, in
#               the runner's script language) instead of the shared ones;
#               with --wide too, in either order.
#   BUILD_DIR          this build, complete (installed into a private prefix)
#   WINDOWS_BUILD_DIR  the MinGW-w64 build the portability test made
#   LV_PROGRAMS="a b"  in the environment: these programs instead of the arguments
# Exit status 77 (skipped) when the shared folder, Xvfb, xdotool, ImageMagick,
# the MinGW-w64 compiler or Wine is missing, or the source is no git checkout.
set -u
wide=; own=
while [ $# -gt 0 ]; do
  case $1 in
    --wide) wide=1; shift ;;
    --own) own=$(cd "${2:?programs dir}" && pwd); shift 2 ;;
    *) break ;;
  esac
done
src=$(cd "${1:?source dir}" && pwd)
build=$(cd "${2:?build dir}" && pwd)
winbuild=${3:?windows build dir}
shift 3
entries=("$@")
[ -n "${LV_PROGRAMS:-}" ] && read -r -a entries <<<"$LV_PROGRAMS"
skip() { echo "SKIP: $*"; exit 77; }

shared=$(cd "$src/.." && pwd)/shared/programs
[ -f "$shared/run.sh" ] || skip "no shared programs folder beside the checkout ($shared)"
for tool in Xvfb xdpyinfo xdotool xwd xwininfo convert identify localedef x86_64-w64-mingw32-g++ pkg-config python3; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done
WINE=${WINE:-/usr/lib/wine/wine64}
[ -x "$WINE" ] || skip "Wine is not installed ($WINE)"
sha=$(git -C "$src" rev-parse --short=12 HEAD 2>/dev/null) || skip "$src is not a git checkout"
[ -f "$winbuild/glint/libglint.a" ] || { echo "FAIL: no Windows build of the layer in $winbuild"; exit 1; }
[ ${#entries[@]} -gt 0 ] || { echo "FAIL: no programs named"; exit 1; }
progs=(); declare -A floor
for s in "${entries[@]}"; do p=${s%%:*}; progs+=("$p"); floor[$p]=99; [ "$s" != "$p" ] && floor[$p]=${s#*:}; done

work=$build/programs-check${wide:+-wide}${own:+-own}
mkdir -p "$work"

# The runner installs from BUILD_DIR once it is marked built, into a prefix
# named after the commit: install afresh so that this build's files are the
# ones used, and leave nothing behind.
touch "$build/.built"
prefix=/tmp/lv-prefix-$sha
rm -rf "$prefix"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { echo "FAIL: cmake --install (see $work/install.log)"; exit 1; }

# The runner reads src/NAME.cpp and input/NAME.txt beside itself: for other
# programs or another build it runs from a folder of links to the shared
# runner's files, with sources of our own.
runner=$shared/run.sh
if [ -n "$wide$own" ]; then
  rdir=$work/runner
  rm -rf "$rdir"; mkdir -p "$rdir/src" "$rdir/input"
  for f in run.sh xsession.sh progcmp.py missing.py assets; do ln -s "$shared/$f" "$rdir/$f"; done
  from=${own:-$shared/src}; scripts=${own:-$shared/input}
  for p in "${progs[@]}"; do
    [ -f "$from/$p.cpp" ] && [ -f "$scripts/$p.txt" ] || { echo "FAIL: $p: no $from/$p.cpp or $scripts/$p.txt"; exit 1; }
    ln -s "$scripts/$p.txt" "$rdir/input/$p.txt"
    if [ -n "$wide" ]; then
      printf '// %s built as a Unicode program\n#define UNICODE\n#define _UNICODE\n#include "%s"\n' "$p" "$from/$p.cpp" >"$rdir/src/$p.cpp"
      # A Unicode program may start at wmain (_tmain). Visual Studio starts it
      # there by itself; MinGW-w64 does only with -municode, which the runner's
      # fixed command line lacks: for that compiler a main that calls it.
      grep -qE '\b(_tmain|wmain)\b' "$from/$p.cpp" && cat >>"$rdir/src/$p.cpp" <<'SHIM'
#ifdef __MINGW32__
static inline int lv_start(int (*f)()) { return f(); }
static inline int lv_start(int (*f)(int, wchar_t**)) { return f(__argc, __wargv); }
int main() { return lv_start(&wmain); }
#endif
SHIM
    else
      ln -s "$from/$p.cpp" "$rdir/src/$p.cpp"
    fi
  done
  runner=$rdir/run.sh
fi

fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

# Unicode builds: which programs the real Windows headers reject, and where.
if [ -n "$wide" ]; then
  cflags=$(PKG_CONFIG_PATH=$prefix/lib/pkgconfig pkg-config --cflags glint)
  # error_lines COMPILER ARGS...: the program's source lines the compiler rejects, one "file:line" each
  error_lines() { LC_ALL=C "$@" -fsyntax-only 2>&1 | sed -nE 's/^([^: ]+\.cpp):([0-9]+):[0-9]+: error: .*/\1:\2/p' | sort -u; }
  run=()
  for p in "${progs[@]}"; do
    wlines=$(error_lines x86_64-w64-mingw32-g++ -I"$src/glint/include" "$rdir/src/$p.cpp")
    nlines=$(error_lines c++ $cflags "$rdir/src/$p.cpp")
    if [ -z "$wlines" ] && [ -z "$nlines" ]; then run+=("$p")
    elif [ "$wlines" = "$nlines" ]; then echo "$p (Unicode): rejected by both toolchains at the same lines: $(echo $wlines | sed "s|[^ ]*/||g")"
    elif [ -z "$nlines" ]; then fail "$p (Unicode): builds here but the Windows headers reject it at: $(echo $wlines)"
    elif [ -z "$wlines" ]; then fail "$p (Unicode): builds for Windows but not here: $(echo $nlines)"
    else fail "$p (Unicode): rejected at other lines: Windows [$(echo $wlines)] here [$(echo $nlines)]"
    fi
  done
  progs=("${run[@]}")
fi

start=$(date +%s)
if [ ${#progs[@]} -gt 0 ]; then
  (cd "$src" && PROJ="$src" BUILD="$build" WINBUILD="$winbuild" WORK="$work" WINE="$WINE" \
      bash "$runner" "${progs[@]}")
  echo "runner status $? (its own floor: 99 % at every mark)"
fi

# The verdict, from the runner's files.
for p in "${progs[@]}"; do
  line=$(grep -m1 "^$p: " "$work/results.txt" 2>/dev/null)
  [ -n "$line" ] || { fail "$p: the runner gave no result"; continue; }
  case $line in *"native build yes, run yes"*) ;; *) fail "$p: does not build or run to the end natively"; continue ;; esac
  [ "$(cat "$work/$p/wine/status.txt" 2>/dev/null)" = "exit 0" ] || fail "$p: the Windows build did not run to the end under Wine"
  script=$(dirname "$runner")/input/$p.txt
  for m in $(awk '$1 == "shot" {print $2}' "$script"); do
    r=$(awk -v p="$p" -v m="$m" '$1 == p && $2 == m' "$work/results.txt")
    t=$(echo "$r" | sed -nE 's/.* touched ([0-9.]+)%.*/\1/p')
    if [ -z "$t" ]; then fail "$p: mark $m not compared (${r:-no shot})"
    elif awk -v t="$t" -v f="${floor[$p]}" 'BEGIN {exit !(t < f)}'; then fail "$p: mark $m agrees $t % (< ${floor[$p]} %)"
    fi
  done
  pat=$(awk '$1 == "stdout" {$1 = ""; sub(/^ /, ""); print}' "$script")
  if [ -n "$pat" ]; then
    if ! d=$(diff <(tr -d '\r' <"$work/$p/wine/stdout.txt" | grep -E "$pat") <(tr -d '\r' <"$work/$p/native/stdout.txt" | grep -E "$pat")); then
      fail "$p: standard output differs from Wine's: $(echo "$d" | grep -m4 '^[<>]' | tr '\n' ' ')"
    elif [ -z "$(grep -E "$pat" "$work/$p/native/stdout.txt")" ]; then
      fail "$p: printed none of the lines its script compares"
    fi
  fi
done
echo "programs check${wide:+ (Unicode)}: ${entries[*]}: $(( $(date +%s) - start )) s, $fails failure(s) (screens and logs in $work)"
[ $fails -eq 0 ]
