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

echo "== frame channel: WriteFrame against a memcpy into a view mapped once"
"$here/wine.sh" "$plumora_build/win32/bin/frame_channel_bench.exe" | tr -d '\r'

echo "== AVI movie writer: CAviMovieWriter against WriteFile of the same bytes"
"$here/wine.sh" "$plumora_build/win32/bin/avi_movie_writer_bench.exe" | tr -d '\r'

echo "== virtual camera: output frames from a 1280x720 channel against a memcpy of each frame"
"$here/wine.sh" "$plumora_build/win32/bin/camera_frame_bench.exe" | tr -d '\r'

echo "== camera feed: a 640x480 30 fps file of 60 s, PlayToCamera against decoding only"
clip="$plumora_build/bench-media/feed-640x480-60s.avi"
if [ ! -s "$clip" ]; then
  mkdir -p "$(dirname "$clip")"
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc2=s=640x480:r=30:d=60" \
    -f lavfi -i "sine=frequency=330:sample_rate=44100:duration=60" \
    -c:v mjpeg -q:v 4 -pix_fmt yuvj420p -c:a pcm_s16le -shortest "$clip.tmp.avi"
  mv "$clip.tmp.avi" "$clip"
fi
"$here/wine.sh" "$plumora_build/win32/bin/player_bench.exe" "$(winepath -w "$clip")" 1800 |
  tr -d '\r'

echo "== camera studio: a 640x480 30 fps camera recorded for 60 s, against WriteFile of the same bytes"
"$here/wine.sh" "$plumora_build/win32/bin/camera_studio_bench.exe" 60 | tr -d '\r'

echo "== start-up: Plumora.exe to its first frame in the channel, against a trivial window program"
"$here/wine.sh" "$plumora_build/win32/bin/startup_bench.exe" "$(winepath -w "$plumora_build/dist")" \
  "$(winepath -w "$plumora_build/win32/bin/trivial_window.exe")" 5 | tr -d '\r'
