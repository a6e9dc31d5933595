#!/usr/bin/env bash
# Builds the release configuration and prints the product's figures, each beside its target, as
# a Markdown table (the README shows the latest). The programs run against the emulated mouse; the
# window runs on a private Xvfb display with private settings, so nothing of the user's is touched.
# A row whose program is not built says so.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=5              # start-up runs; the median is shown
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

# A private X display for the window and the hook, and private settings, lock and single-instance
# socket: a running copy of the user's own program must neither answer nor be disturbed.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
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

# --- The window: start-up, memory, idle CPU ------------------------------------------------------
program=$bin/veltrix-wireless
win_pid=""
measure_window() {
  # Starts the program and waits for its first mapped window: sets win_pid and win_ms.
  start_window() {
    local start
    start=$(now_ns)
    "$program" >/dev/null 2>&1 &
    win_pid=$!
    until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
      if ! kill -0 "$win_pid" 2>/dev/null; then
        echo "bench: $program ended before it showed a window" >&2
        return 1
      fi
      if [ $(( ($(now_ns) - start) / 1000000 )) -ge 20000 ]; then
        echo "bench: no window within 20 s" >&2
        stop_window
        return 1
      fi
    done
    win_ms=$(( ($(now_ns) - start) / 1000000 ))
  }
  stop_window() {
    kill "$win_pid" 2>/dev/null || true
    wait "$win_pid" 2>/dev/null || true
    win_pid=""
  }
  rss_mib() { awk '/^VmRSS:/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }
  cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }

  local ticks startups=() rsss=()
  # One run first, not counted, so that the font and shader caches are warm as on a desktop.
  start_window || return 1
  stop_window
  for _ in $(seq "$runs"); do
    start_window || return 1
    sleep 3
    startups+=("$win_ms")
    rsss+=("$(rss_mib "$win_pid")")
    stop_window
  done
  startup=$(printf '%s\n' "${startups[@]}" | median)
  rss=$(printf '%s\n' "${rsss[@]}" | median)
  row "Start-up to the first mapped window (median of $runs)" "$startup ms" "< 120 ms" "$(verdict "$startup" 120)"
  row "Resident memory 3 s after start-up (median of $runs)" "$rss MiB" "< 35 MiB" "$(verdict "$rss" 35)"

  # Idle with the cable plugged in: the charge animation runs the whole time.
  ctl plug cable
  start_window || return 1
  sleep 1
  ticks=$(cpu_ticks "$win_pid")
  sleep 10
  ticks=$(( $(cpu_ticks "$win_pid") - ticks ))
  stop_window
  ctl unplug cable
  cpu=$(awk -v t="$ticks" -v hz="$(getconf CLK_TCK)" 'BEGIN {printf "%.2f", t / hz / 10 * 100}')
  row "Idle CPU over 10 s, charge animation running" "$cpu % of a core" "< 1 %" "$(verdict "$cpu" 1)"
}
window_rows() {
  row "Start-up to the first mapped window (median of $runs)" "$1" "< 120 ms" ""
  row "Resident memory 3 s after start-up (median of $runs)" "$1" "< 35 MiB" ""
  row "Idle CPU over 10 s, charge animation running" "$1" "< 1 %" ""
}
if [ ! -x "$program" ]; then
  window_rows "not built"
elif ! measure_window; then
  window_rows "failed"
fi

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
row "Full upload of the defaults (veltrixctl apply FILE 0 1)" "$upload ms" "floor 8400 ms (21 × 400 ms)" "$over"

# --- Hook latency: injected key to posted message -------------------------------------------------
hook_bench=$(ls build/tests/bin/*hook*bench* build/tests/bin/*hook*latency* 2>/dev/null | head -n1 || true)
if [ -n "$hook_bench" ] && [ -x "$hook_bench" ]; then
  if us=$(benchmark_us "$hook_bench") && [ -n "$us" ]; then
    row "Hook latency, injected key to posted message" "$us µs" "< 5000 µs" "$(verdict "$us" 5000)"
  else
    row "Hook latency, injected key to posted message" "$("$hook_bench" 2>&1 | tail -n1)" "< 5000 µs" ""
  fi
else
  row "Hook latency, injected key to posted message" "not built" "< 5000 µs" ""
fi

echo "| Figure | Measured | Target | Result |"
echo "|---|---|---|---|"
printf '%s\n' "${rows[@]}"
