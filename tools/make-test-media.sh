#!/usr/bin/env bash
# Makes the test videos (idempotent): 160x120 at 30 frames per second, 60 frames.
# The top half of each frame is a barcode of its index (8 columns, lowest bit left,
# white = 1); the bottom half is one colour (blue 200, green 100, red 50), so that the
# row order and the channel order can be checked after decoding.
# Usage: make-test-media.sh OUTDIR
set -euo pipefail
out=${1:?usage: make-test-media.sh OUTDIR}
mkdir -p "$out"

bit='mod(floor(N/pow(2,floor(X/20))),2)'
code() { echo "if(lt(Y,60),if($bit,235,16),$1)"; }
pattern="nullsrc=s=160x120:r=30:d=2,format=gbrp,geq=r='$(code 50)':g='$(code 100)':b='$(code 200)'"
tone="sine=frequency=440:sample_rate=44100:duration=2"

make() {  # make NAME ffmpeg-arguments...
  local name=$1; shift
  [ -s "$out/$name" ] && return 0
  ffmpeg -nostdin -loglevel error -y "$@" "$out/$name.tmp.${name##*.}"
  mv "$out/$name.tmp.${name##*.}" "$out/$name"
}

make raw.avi -f lavfi -i "$pattern" -c:v rawvideo -pix_fmt bgr24
make mjpeg.avi -f lavfi -i "$pattern" -c:v mjpeg -q:v 2 -pix_fmt yuvj420p
make h264.mp4 -f lavfi -i "$pattern" -c:v libx264 -preset veryfast -crf 12 -pix_fmt yuv420p
make small.avi -f lavfi -i "testsrc=s=96x72:r=30:d=1" -c:v rawvideo -pix_fmt bgr24
make tone.wav -f lavfi -i "$tone" -c:a pcm_s16le
make sound.avi -f lavfi -i "$pattern" -f lavfi -i "$tone" -c:v mjpeg -q:v 2 -pix_fmt yuvj420p \
  -c:a pcm_s16le -shortest

# Frames larger than the camera's block (2600 x 2320 x 3 bytes > 18000000).
make huge.avi -f lavfi -i "testsrc=s=2600x2320:r=2:d=1" -c:v mjpeg -q:v 5 -pix_fmt yuvj420p

# The frames as ffmpeg decodes them: 60 top-down BGR frames each, for comparison.
for name in raw.avi mjpeg.avi h264.mp4; do
  [ -s "$out/$name.bgr" ] && continue
  ffmpeg -nostdin -loglevel error -y -i "$out/$name" -f rawvideo -pix_fmt bgr24 "$out/$name.bgr.tmp"
  mv "$out/$name.bgr.tmp" "$out/$name.bgr"
done

# A GIF of four coloured quadrants (GDI+ under Wine cannot write one, docs/wine-notes.md):
# orange, violet / grey, green, with a palette made for exactly these colours.
quadrant() { echo "if(lt(X,32),if(lt(Y,24),$1,$3),if(lt(Y,24),$2,$4))"; }
make quadrants.gif -f lavfi -i "nullsrc=s=64x48:d=1,format=gbrp,geq=r='$(quadrant 255 128 128 0)':g='$(quadrant 128 0 128 128)':b='$(quadrant 0 255 128 0)'" \
  -frames:v 1 -vf "split[a][b];[a]palettegen[p];[b][p]paletteuse"

# A picture, to be given a video's name.
make picture.png -f lavfi -i "color=c=red:s=64x48" -frames:v 1

# Files that are not playable media.
[ -f "$out/empty.avi" ] || : >"$out/empty.avi"
[ -f "$out/random.avi" ] || head -c 65536 /dev/urandom >"$out/random.avi"
[ -f "$out/text.mp4" ] || printf 'This is not a video.\r\n' >"$out/text.mp4"
[ -f "$out/truncated.avi" ] || head -c 4000 "$out/raw.avi" >"$out/truncated.avi"
