#!/usr/bin/env bash
# Makes the sample video that ships with Plumora: six seconds of moving colour with a
# running clock, labelled with the product's name, and a soft tone. MJPEG and PCM in AVI,
# which every DirectShow setup decodes.
# Usage: make-sample-video.sh OUTPUT.avi
set -euo pipefail
out=${1:?usage: make-sample-video.sh OUTPUT.avi}
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
mkdir -p "$(dirname "$out")"

label="drawtext=fontfile=$font:text='Plumora 示例影音':fontsize=44:fontcolor=white"
label="$label:box=1:boxcolor=black@0.6:boxborderw=12:x=(w-text_w)/2:y=h*0.12"
clock="drawtext=fontfile=$font:text='%{pts\\:hms}':fontsize=36:fontcolor=white"
clock="$clock:box=1:boxcolor=black@0.6:boxborderw=8:x=(w-text_w)/2:y=h*0.78"

tmp="$out.tmp.avi"
ffmpeg -nostdin -loglevel error -y \
  -f lavfi -i "testsrc2=s=640x480:r=30:d=6,$label,$clock" \
  -f lavfi -i "sine=frequency=330:sample_rate=44100:duration=6,volume=0.2" \
  -c:v mjpeg -q:v 4 -pix_fmt yuvj420p -c:a pcm_s16le -shortest "$tmp"
mv "$tmp" "$out"
