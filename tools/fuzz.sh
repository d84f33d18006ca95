#!/usr/bin/env bash
# Builds the libFuzzer targets natively with clang (AddressSanitizer and UBSan on) and runs
# each for a few seconds. Any crash, leak or broken check fails the run.
# Usage: tools/fuzz.sh [seconds per target, default 5]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

seconds=${1:-5}
# Folder/target, as the build tree holds them.
targets=(src/StorageRoot_fuzz src/OutputNames_fuzz src/PlaylistLines_fuzz src/PictureStretch_fuzz
  vcam/ChannelPicture_fuzz)
tree="$plumora_build/fuzz"

echo "== fuzz build (clang, libFuzzer)"
cmake -S "$plumora_repo" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPLUMORA_FUZZ=ON >/dev/null
cmake --build "$tree" -j "$(nproc)" --target "${targets[@]##*/}"

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
# Frame channel blocks: a header and pixels, given as printf escapes (they hold zeros).
seed_block() {  # a name, then the block
  mkdir -p "$tree/corpus/ChannelPicture_fuzz"
  printf "$2" >"$tree/corpus/ChannelPicture_fuzz/seed-$1"
}
seed_block 4x2 '\x04\x00\x02\x00'"$(printf '\\x%02x' $(seq 1 24))"
seed_block 3x3-padded '\x03\x00\x03\x00'"$(printf '\\x%02x' $(seq 101 127))"
seed_block oversize '\xff\xff\xff\xff\x01\x02'

echo "== fuzzing, ${seconds} s per target"
for path in "${targets[@]}"; do
  target=${path##*/}
  log="$tree/$target.log"
  mkdir -p "$tree/corpus/$target"
  if ! "$tree/$path" -max_total_time="$seconds" -print_final_stats=1 \
      "$tree/corpus/$target" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$target: FAILED (log: $log)" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "$target: $runs executions, no failure"
done
