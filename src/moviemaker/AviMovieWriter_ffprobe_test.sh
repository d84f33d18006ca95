#!/usr/bin/env bash
# A movie of CAviMovieWriter read by ffprobe and ffmpeg, readers that owe nothing to
# AVIFile: stream header, frame count and every pixel.
# Usage: AviMovieWriter_ffprobe_test.sh REPO AVI_SAMPLE_WRITER_EXE
set -euo pipefail
repo=$1
writer=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$repo/tools/wine.sh" "$writer" "Z:${work//\//\\}" </dev/null

facts=$(ffprobe -v error -select_streams v:0 -count_frames \
  -show_entries stream=codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames \
  -of default=noprint_wrappers=1 "$work/movie.avi")
expected_facts=$'codec_name=rawvideo\nwidth=640\nheight=480\npix_fmt=bgr24\nr_frame_rate=1/1\nnb_read_frames=6'
if [ "$facts" != "$expected_facts" ]; then
  printf 'ffprobe saw:\n%s\nexpected:\n%s\n' "$facts" "$expected_facts" >&2
  exit 1
fi

ffmpeg -v error -i "$work/movie.avi" -f rawvideo -pix_fmt bgr24 "$work/decoded.raw"
if ! cmp -s "$work/decoded.raw" "$work/expected.raw"; then
  echo "the decoded frames differ from the frames written" >&2
  cmp "$work/decoded.raw" "$work/expected.raw" | head -1 >&2 || true
  exit 1
fi
echo "ffprobe and ffmpeg read 6 frames of 640x480 bgr24 at 1/1 fps, pixels equal"
