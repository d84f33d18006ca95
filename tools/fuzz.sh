#!/usr/bin/env bash
# Builds the libFuzzer targets natively with clang (AddressSanitizer and UBSan on) and runs
# each for a few seconds. Any crash, leak or broken check fails the run.
# Usage: tools/fuzz.sh [seconds per target, default 5]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

seconds=${1:-5}
targets=(StorageRoot_fuzz OutputNames_fuzz PlaylistLines_fuzz)
tree="$plumora_build/fuzz"

echo "== fuzz build (clang, libFuzzer)"
cmake -S "$plumora_repo" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPLUMORA_FUZZ=ON >/dev/null
cmake --build "$tree" -j "$(nproc)" --target "${targets[@]}"

# Seeds: names as the programs write them (UTF-16LE where the target reads wide text).
seed() {  # corpus name, then the text
  local dir="$tree/corpus/$1"
  mkdir -p "$dir"
  printf '%s' "$3" | { [ "$2" = wide ] && iconv -f UTF-8 -t UTF-16LE || cat; } \
    >"$dir/seed-$(printf '%s' "$3" | md5sum | cut -c1-8)"
}
seed StorageRoot_fuzz wide 'D:/Media//'
seed StorageRoot_fuzz wide 'E:\Plumora'
seed OutputNames_fuzz wide 'S20120512_0003.jpg'
seed OutputNames_fuzz wide 'SingleShot0999.jpg'
seed PlaylistLines_fuzz bytes $'\x05C:\\a.avi\r\nD:\\b.mp4\r\n'

echo "== fuzzing, ${seconds} s per target"
for target in "${targets[@]}"; do
  log="$tree/$target.log"
  if ! "$tree/src/$target" -max_total_time="$seconds" -print_final_stats=1 \
      "$tree/corpus/$target" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$target: FAILED (log: $log)" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "$target: $runs executions, no failure"
done
