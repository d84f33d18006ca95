#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine. Figures vary with the machine; compare runs
# made on the same one.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

"$here/setup.sh"
"$here/build.sh" >/dev/null
# Sound plays into a device that discards it, as in the tests.
export PLUMORA_WINE_SOUND=${PLUMORA_WINE_SOUND:-null}
source "$here/wine-session.sh"
plumora_start_wine_session

# The 32-bit build where this machine runs 32-bit code, the 64-bit one elsewhere.
bin=$plumora_build/win32/bin
if ! plumora_host_runs_32bit_code || [ "${PLUMORA_PROGRAM_64:-0}" = 1 ]; then
  export PLUMORA_WINEARCH=win64
  source "$here/env.sh"
  bin=$plumora_build/win64-program/bin
fi

echo "== frame channel: WriteFrame against a memcpy into a view mapped once"
"$here/wine.sh" "$bin/frame_channel_bench.exe" | tr -d '\r'

echo "== AVI movie writer: CAviMovieWriter against WriteFile of the same bytes"
"$here/wine.sh" "$bin/avi_movie_writer_bench.exe" | tr -d '\r'

echo "== virtual camera: output frames from a 1280x720 channel against a memcpy of each frame"
"$here/wine.sh" "$bin/camera_frame_bench.exe" | tr -d '\r'

echo "== camera feed: a 640x480 30 fps file of 60 s, PlayToCamera against decoding only"
clip="$plumora_build/bench-media/feed-640x480-60s.avi"
if [ ! -s "$clip" ]; then
  mkdir -p "$(dirname "$clip")"
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc2=s=640x480:r=30:d=60" \
    -f lavfi -i "sine=frequency=330:sample_rate=44100:duration=60" \
    -c:v mjpeg -q:v 4 -pix_fmt yuvj420p -c:a pcm_s16le -shortest "$clip.tmp.avi"
  mv "$clip.tmp.avi" "$clip"
fi
"$here/wine.sh" "$bin/player_bench.exe" "$(winepath -w "$clip")" 1800 |
  tr -d '\r'

echo "== camera studio: a 640x480 30 fps camera recorded for 60 s, against WriteFile of the same bytes"
"$here/wine.sh" "$bin/camera_studio_bench.exe" 60 | tr -d '\r'

echo "== start-up: Plumora.exe to its first frame in the channel, against a trivial window program"
"$here/wine.sh" "$bin/startup_bench.exe" "$(winepath -w "$plumora_build/dist")" \
  "$(winepath -w "$bin/trivial_window.exe")" 5 | tr -d '\r'

echo "== movie maker: 100 JPEG pictures of 1280x720 into a 640x480 movie at 1 s each, against ffmpeg"
pictures="$plumora_build/bench-media/pictures-1280x720"
if [ ! -s "$pictures/picture-100.jpg" ]; then
  mkdir -p "$pictures"
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc2=s=1280x720:r=1:d=100" -q:v 3 \
    -start_number 1 "$pictures/picture-%03d.jpg"
fi
movies="$plumora_build/bench-media/movies"
mkdir -p "$movies"
rm -f "$movies"/*.avi
ours=$("$here/wine.sh" "$bin/movie_maker_bench.exe" "$(winepath -w "$pictures")" \
  "$(winepath -w "$movies/plumora.avi")" | tr -d '\r')
echo "$ours"
# The same job: decode, stretch (bicubic), uncompressed 24-bit AVI at 1 frame per second.
theirs=$(ffmpeg -nostdin -benchmark -loglevel info -y -framerate 1 -start_number 1 \
  -i "$pictures/picture-%03d.jpg" -vf scale=640:480:flags=bicubic -c:v rawvideo \
  -pix_fmt bgr24 "$movies/ffmpeg.avi" 2>&1 | sed -n 's/^bench: utime.*rtime=\([0-9.]*\)s.*/\1/p')
echo "ffmpeg: 100 pictures, $theirs s"
plumora_seconds=$(echo "$ours" | sed -n 's/.*, \([0-9.]*\) s$/\1/p')
awk -v a="$plumora_seconds" -v b="$theirs" 'BEGIN { printf "ratio plumora/ffmpeg: %.2f\n", a / b }'
