#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz": clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 600) from its seeds in
# tests/fuzz/corpus/TARGET. What the fuzzer learns goes to build-fuzz/corpus/TARGET, never into the
# seeds; an input that crashes a target is left in build-fuzz/artifacts and fails the script.
# `scripts/fuzz.sh 30` is the short run.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-600}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(settings_file macro_file macro_import profile_import input_report emulator_frame
  language_file layout_file)

# The longest input worth trying: a little past what each input can usefully hold.
declare -A max_len=(
  [settings_file]=170000  # a whole record (164,364 bytes) and more
  [macro_file]=2400       # ten macro records
  [macro_import]=240      # one macro record; any other size is refused unread
  [profile_import]=33000  # one profile (32,872 bytes); any other size is refused
  [language_file]=65536
  [layout_file]=16384     # room for every kind of element, nested
  [input_report]=512
  [emulator_frame]=4096
)

scripts/install-deps.sh
cmake --preset fuzz
cmake --build --preset fuzz -j2

mkdir -p build-fuzz/artifacts
# -close_fd_mask=3 silences what the code under test prints (a partial macro record's note, at
# each of thousands of runs a second); libFuzzer's own output and crash reports still show.
failed=()
for target in "${targets[@]}"; do
  work="build-fuzz/corpus/$target"
  mkdir -p "$work"
  echo "== fuzz_$target for $seconds s"
  if ! build-fuzz/fuzz/"fuzz_$target" -max_total_time="$seconds" -max_len="${max_len[$target]}" \
      -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$target-" \
      "$work" "tests/fuzz/corpus/$target"; then
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzing found crashes in: ${failed[*]} (inputs in build-fuzz/artifacts)" >&2
  exit 1
fi
echo "fuzzing: no crashes in ${#targets[@]} targets, $seconds s each"
