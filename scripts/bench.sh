#!/usr/bin/env bash
# Builds the release configuration and prints the product's figures, each beside its target, as
# a Markdown table (the README shows the latest). The programs run against the emulated mouse; the
# window runs on a private Xvfb display with private settings, so nothing of the user's is touched.
# A row whose program is not built says so. `scripts/bench.sh window` measures only the window.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=9              # start-up runs; the median is shown
title="Veltrix Wireless"

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default >/dev/null

bin=build/bin
work=$(mktemp -d "${TMPDIR:-/tmp}/veltrix-bench.XXXXXX")
background=()
cleanup() {
  for pid in ${win_pid:-} "${background[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

rows=()
row() { rows+=("| $1 | $2 | $3 | $4 |"); }
now_ns() { date +%s%N; }
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
verdict() { awk -v v="$1" -v t="$2" 'BEGIN {print (v < t) ? "ok" : "over"}'; }

# The emulated mouse, awake on its receiver.
socket=$work/mouse.sock
"$bin/veltrix-mouse-emulator" serve --socket "$socket" >/dev/null &
background+=($!)
for _ in $(seq 100); do [ -S "$socket" ] && break; sleep 0.05; done
export VELTRIX_EMULATOR=$socket
ctl() { "$bin/veltrix-mouse-emulator" ctl --socket "$socket" "$@" >/dev/null; }

# A private X display for the window and the hook (kept as it is when its last client leaves, as
# a reset refuses the next program for a moment), and private settings, lock and single-instance
# socket: a running copy of the user's own program must neither answer nor be disturbed.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
background+=($!)
# A loaded machine can take seconds to bring the server up; without it the window cannot start.
for _ in $(seq 600); do [ -s "$work/display" ] && break; sleep 0.05; done
if [ ! -s "$work/display" ]; then
  echo "bench: Xvfb did not start within 30 s" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb
mkdir -p "$work/run" "$work/data" "$work/config" "$work/tmp"
chmod 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config \
  TMPDIR=$work/tmp

# --- The window: start-up, memory, idle CPU, wake-ups ---------------------------------------------
# Start-up and memory are measured against a minimal Qt Widgets window (one label, the same size)
# in the same run, on the same display, in alternating blocks: a ratio holds on a busy machine
# where a time alone does not.
program=$bin/veltrix-wireless
reference=build/tests/bin/veltrix_minimal_window
win_pid=""
waiter=build/tests/bin/veltrix_wait_for_window
# Starts PROGRAM (with ARGUMENTS) and waits for its first window titled TITLE to be mapped, at the
# moment the display tells it (a poll would add its own period to a start-up of a few dozen
# milliseconds): sets win_pid and win_ms.
start_window() {
  local title=$1 start waiter_pid mapped
  shift
  "$waiter" "$title" >"$work/mapped" &
  waiter_pid=$!
  until [ -s "$work/mapped" ]; do
    if ! kill -0 "$waiter_pid" 2>/dev/null; then
      echo "bench: nothing listens on the display" >&2
      return 1
    fi
    sleep 0.01
  done
  start=$(now_ns)
  "$@" >/dev/null 2>"$work/window.log" &
  win_pid=$!
  wait -n "$waiter_pid" "$win_pid" || true
  if kill -0 "$waiter_pid" 2>/dev/null; then
    echo "bench: $1 ended before it showed a window" >&2
    cat "$work/window.log" >&2
    kill "$waiter_pid" 2>/dev/null || true
    return 1
  fi
  mapped=$(sed -n 2p "$work/mapped")
  if [ -z "$mapped" ]; then
    echo "bench: no window of $1 within 20 s" >&2
    stop_window
    return 1
  fi
  win_ms=$(awk -v m="$mapped" -v s="$start" 'BEGIN {printf "%.1f", (m - s) / 1e6}')
}
stop_window() {
  kill "$win_pid" 2>/dev/null || true
  wait "$win_pid" 2>/dev/null || true
  win_pid=""
}
rss_mib() { awk '/^VmRSS:/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }
# CPU time of every thread so far, in nanoseconds.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{t += $1} END {print t + 0}'; }
# Times any thread of the process went to sleep and was woken again, so far.
wakeups() {
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ {n += $2} END {print n + 0}'
}
ratio() { awk -v v="$1" -v r="$2" 'BEGIN {printf "%.2fx", v / r}'; }
within() { awk -v v="$1" -v r="$2" -v t="$3" 'BEGIN {print (v / r <= t) ? "ok" : "over"}'; }

measure_window() {
  local ref_startups=() ref_rsss=() startups=() rsss=()
  # One run of each first, not counted, so that the font caches are warm as on a desktop.
  start_window "Minimal Qt window" "$reference" || return 1
  stop_window
  start_window "$title" "$program" || return 1
  stop_window
  for _ in $(seq "$runs"); do
    start_window "Minimal Qt window" "$reference" || return 1
    sleep 3
    ref_startups+=("$win_ms")
    ref_rsss+=("$(rss_mib "$win_pid")")
    stop_window
    start_window "$title" "$program" || return 1
    sleep 3
    startups+=("$win_ms")
    rsss+=("$(rss_mib "$win_pid")")
    stop_window
  done
  local ref_startup ref_rss startup rss
  ref_startup=$(printf '%s\n' "${ref_startups[@]}" | median)
  ref_rss=$(printf '%s\n' "${ref_rsss[@]}" | median)
  startup=$(printf '%s\n' "${startups[@]}" | median)
  rss=$(printf '%s\n' "${rsss[@]}" | median)
  row "Start-up to the first mapped window (median of $runs)" \
    "$startup ms: $(ratio "$startup" "$ref_startup") of the minimal window's $ref_startup ms" \
    "≤ 1.5x" "$(within "$startup" "$ref_startup" 1.5)"
  row "Resident memory 3 s after start-up (median of $runs)" \
    "$rss MiB: $(ratio "$rss" "$ref_rss") of the minimal window's $ref_rss MiB" \
    "≤ 1.25x" "$(within "$rss" "$ref_rss" 1.25)"

  # Idle with the cable plugged in and the window shown: the charge animation runs the whole time.
  local used cpu
  ctl plug cable
  start_window "$title" "$program" || return 1
  sleep 1
  used=$(cpu_ns "$win_pid")
  sleep 10
  used=$(( $(cpu_ns "$win_pid") - used ))
  stop_window
  ctl unplug cable
  cpu=$(awk -v n="$used" 'BEGIN {printf "%.2f", n / 1e9 / 10 * 100}')
  row "Idle CPU over 10 s, charge animation running" "$cpu % of a core" "< 1 %" "$(verdict "$cpu" 1)"

  # Hidden in the notification area with the mouse on its receiver: each status report (about
  # one a second) wakes the driver's thread and the window's; nothing else may. The count over
  # 10 s with the mouse asleep is what is left beyond the status reports.
  local tray_pid awake asleep
  trayer --edge top --align right --widthtype pixel --width 60 --height 24 >/dev/null 2>&1 &
  tray_pid=$!
  background+=("$tray_pid")
  for _ in $(seq 100); do xdotool search --class trayer >/dev/null 2>&1 && break; sleep 0.05; done
  "$program" --hidden >/dev/null 2>&1 &
  win_pid=$!
  sleep 4
  awake=$(wakeups "$win_pid")
  sleep 10
  awake=$(( $(wakeups "$win_pid") - awake ))
  ctl sleep
  # Past the window's own sleep timeout, which notices the silence once.
  sleep 4
  asleep=$(wakeups "$win_pid")
  sleep 10
  asleep=$(( $(wakeups "$win_pid") - asleep ))
  ctl wake
  stop_window
  kill "$tray_pid" 2>/dev/null || true
  row "Wake-ups over 10 s, window hidden, beyond the status reports" \
    "$asleep (with the status reports: $awake)" "0" "$(verdict "$asleep" 1)"
}
window_rows() {
  row "Start-up to the first mapped window (median of $runs)" "$1" "≤ 1.5x" ""
  row "Resident memory 3 s after start-up (median of $runs)" "$1" "≤ 1.25x" ""
  row "Idle CPU over 10 s, charge animation running" "$1" "< 1 %" ""
  row "Wake-ups over 10 s, window hidden, beyond the status reports" "$1" "0" ""
}
if [ ! -x "$program" ] || [ ! -x "$reference" ] || [ ! -x "$waiter" ]; then
  window_rows "not built"
elif ! measure_window; then
  window_rows "failed"
fi

if [ "${1:-}" != "window" ]; then
# --- Building the reports of the largest apply request --------------------------------------------
# Google Benchmark's JSON: the first benchmark's wall time per iteration, in microseconds.
benchmark_us() {
  "$1" --benchmark_format=json 2>/dev/null | python3 -c '
import json, sys
run = json.load(sys.stdin)["benchmarks"][0]
scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[run["time_unit"]]
print("%.1f" % (run["real_time"] * scale))'
}
reports_bench=build/tests/bin/veltrix_benchmarks
if [ -x "$reports_bench" ]; then
  us=$(benchmark_us "$reports_bench")
  row "Building the largest apply request (141 reports)" "$us µs" "< 1000 µs" "$(verdict "$us" 1000)"
else
  row "Building the largest apply request (141 reports)" "not built" "< 1000 µs" ""
fi

# --- Full upload of the defaults --------------------------------------------------------------------
# 21 reports, 400 ms apart as the mouse needs them: 8.4 s is the floor, the rest is overhead.
"$bin/veltrixctl" defaults "$work/defaults.data"
start=$(now_ns)
"$bin/veltrixctl" apply "$work/defaults.data" 0 1 >/dev/null
upload=$(( ($(now_ns) - start) / 1000000 ))
over=$(awk -v u="$upload" 'BEGIN {printf "%+.1f %%", (u - 8400) / 8400 * 100}')
row "Full upload of the defaults (veltrixctl apply FILE 0 1)" "$upload ms ($over over the floor)" \
  "within 5 % of 8400 ms (21 × 400 ms)" "$(verdict "$upload" 8820)"

# --- Hook latency: injected key to posted message -------------------------------------------------
hook_bench=$(ls build/tests/bin/*hook*bench* build/tests/bin/*hook*latency* 2>/dev/null | head -n1 || true)
if [ -n "$hook_bench" ] && [ -x "$hook_bench" ]; then
  if us=$(benchmark_us "$hook_bench") && [ -n "$us" ]; then
    row "Hook latency, injected key to posted message" "$us µs" "< 1000 µs" "$(verdict "$us" 1000)"
  else
    row "Hook latency, injected key to posted message" "$("$hook_bench" 2>&1 | tail -n1)" "< 1000 µs" ""
  fi
else
  row "Hook latency, injected key to posted message" "not built" "< 1000 µs" ""
fi

fi

echo "| Figure | Measured | Target | Result |"
echo "|---|---|---|---|"
printf '%s\n' "${rows[@]}"
