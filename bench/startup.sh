#!/bin/bash
# Start-up against its floor: runs the bare-window floor (mervane_startup_floor) and mervane
# with BOOK as its book alternately on one X display, times each from its start to a
# visible window (mervane_startup_wait hears it map; without it xdotool polls) and reads its
# peak RSS half a second later, and prints the medians and the ratios.
#   bench/startup.sh BUILD_DIR BOOK [RUNS]     (without DISPLAY it starts Xvfb)
set -eu
build=${1:?usage: startup.sh BUILD_DIR BOOK [RUNS]}
book=$(realpath "${2:?usage: startup.sh BUILD_DIR BOOK [RUNS]}")
runs=${3:-11}
waiter=$build/bin/mervane_startup_wait
[ -x "$waiter" ] || command -v xdotool >/dev/null ||
  { echo "startup.sh: needs mervane_startup_wait (libx11-dev) or xdotool" >&2; exit 2; }
xvfb=
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 71 99); do [ -e /tmp/.X11-unix/X$n ] || break; done
  Xvfb :$n -screen 0 1600x1000x24 >/dev/null 2>&1 & xvfb=$!
  export DISPLAY=:$n
  for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  sleep 0.2
fi
# Each run gets its own state and runtime folders: a copy ended by a signal leaves its
# working folder and its single-copy lock behind, and the next start would deal with them,
# which a start after a normal quit does not.
state=$(mktemp -d)
cleanup() { [ -n "$xvfb" ] && kill "$xvfb"; rm -rf "$state"; }
trap cleanup EXIT

one() {  # EXE TITLE [ARGS] -> "ms kB"
  local exe=$1 title=$2; shift 2
  local t0 t1 p rss ms tries=0 out
  while :; do
    rm -rf "$state"/*
    mkdir -m 700 "$state/run"
    export XDG_RUNTIME_DIR=$state/run
    if [ -x "$waiter" ]; then
      # The waiter hears the window map from the X server: no poller shares the cores.
      if out=$(MERVANE_STATE_DIR=$state "$waiter" "$title" "$exe" "$@" 2>"$state.log"); then
        p=${out#* }; ms=${out%% *}; break
      fi
    else
      t0=$(date +%s%N)
      MERVANE_STATE_DIR=$state "$exe" "$@" >/dev/null 2>"$state.log" & p=$!
      until xdotool search --onlyvisible --name "^$title" >/dev/null 2>&1; do
        kill -0 $p 2>/dev/null || break
        sleep 0.002
      done
      if kill -0 $p 2>/dev/null; then t1=$(date +%s%N); ms=$(( (t1 - t0) / 1000000 )); break; fi
      wait $p 2>/dev/null || true
    fi
    # A busy X server now and then refuses a connection: that run is made again.
    tries=$((tries + 1))
    if [ $tries -ge 3 ]; then echo "startup.sh: $exe ended early:" >&2; cat "$state.log" >&2; exit 1; fi
  done
  sleep 0.5
  rss=$(awk '/VmHWM/{print $2}' /proc/$p/status)
  kill $p; wait $p 2>/dev/null || true
  echo "$ms $rss"
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

: > "$state.floor"; : > "$state.mervane"
one "$build/bin/mervane_startup_floor" 'Floor' >/dev/null  # warm the caches
one "$build/bin/mervane" 'Mervane' "$book" >/dev/null
for _ in $(seq "$runs"); do
  one "$build/bin/mervane_startup_floor" 'Floor' >> "$state.floor"
  one "$build/bin/mervane" 'Mervane' "$book" >> "$state.mervane"
done
ft=$(cut -d' ' -f1 "$state.floor" | median); fm=$(cut -d' ' -f2 "$state.floor" | median)
mt=$(cut -d' ' -f1 "$state.mervane" | median); mm=$(cut -d' ' -f2 "$state.mervane" | median)
rm -f "$state.floor" "$state.mervane" "$state.log"
printf 'floor    %5d ms %7.1f MiB\n' "$ft" "$(echo "$fm / 1024" | bc -l)"
printf 'mervane  %5d ms %7.1f MiB\n' "$mt" "$(echo "$mm / 1024" | bc -l)"
printf 'ratio    %5.2fx    +%5.1f MiB   (%d runs each, medians)\n' \
  "$(echo "$mt / $ft" | bc -l)" "$(echo "($mm - $fm) / 1024" | bc -l)" "$runs"
