#!/bin/sh
# Times our FLAC, Ogg Vorbis and AAC encoders against the reference tools on 10
# minutes of music-like PCM, both on one core and with the same settings: FLAC
# level 5 of the settings window against flac with those options, Ogg quality 5
# against oggenc -q 5, AAC 128 kbit/s against ffmpeg's aac encoder. Prints wall
# times and the ratio ours / reference (best of 3; target <= 1.05), and checks
# that the FLAC file decodes to the input. Monkey's Audio has no reference
# encoder: its speed is given in times real time (target >= 60 at Normal) and
# its sizes against flac -8 (Normal and Extra High must be smaller), and both
# files must decode to the input through FFmpeg.
# Usage: bench/encoders.sh [build-dir] [minutes]   (configures the build with -DMELVARIN_BENCH=ON)
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build-bench}
minutes=${2:-10}
cmake -S "$src" -B "$build" -G Ninja -DMELVARIN_BUILD_GUI=OFF -DMELVARIN_BUILD_TESTS=OFF \
      -DMELVARIN_BENCH=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_encode >/dev/null
ours="$build/bench/bench_encode"
seconds=$((minutes * 60))

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$src/bench/music.sh"
make_music "$work/music.wav" $seconds "$work"

# pair NAME SETTING EXT REFERENCE-COMMAND...: three rounds on core 0, each running
# ours then the reference (which writes "$work/ref.EXT"); keeps each one's fastest
# wall time.
pair() {
    name=$1
    setting=$2
    ext=$3
    shift 3
    for i in 1 2 3; do
        /usr/bin/time -f "ours %e" -o "$work/t" taskset -c 0 "$ours" "$work/music.wav" "$work/ours.$ext" "$setting" \
            >/dev/null 2>&1
        cat "$work/t"
        rm -f "$work/ref.$ext"
        /usr/bin/time -f "ref %e" -o "$work/t" taskset -c 0 "$@" >/dev/null 2>&1
        cat "$work/t"
    done | awk -v n="$name" '
        { if (!($1 in w) || $2 < w[$1]) w[$1] = $2 }
        END { printf "%-16s ours %6.2f s   reference %6.2f s   ratio %.3f (target <= 1.05)\n",
                     n, w["ours"], w["ref"], w["ours"] / w["ref"] }'
    printf '%-16s ours %d bytes, reference %d bytes\n' "" "$(stat -c %s "$work/ours.$ext")" "$(stat -c %s "$work/ref.$ext")"
}

pair "FLAC level 5" flac5 flac flac -s -f -b 4608 -m -l 8 -r 3,3 --no-padding --no-seektable \
    -o "$work/ref.flac" "$work/music.wav"
pair "Ogg q5" ogg5 ogg oggenc -Q -q 5 -o "$work/ref.ogg" "$work/music.wav"
pair "AAC 128 kbit/s" aac128 aac ffmpeg -v error -y -i "$work/music.wav" -c:a aac -b:a 128k -cutoff 18000 \
    "$work/ref.aac"

sox "$work/music.wav" -t raw "$work/music.raw"
decodes() {  # FILE NAME
    if ffmpeg -v error -i "$1" -f s16le - | cmp -s - "$work/music.raw"; then
        echo "  $2: decodes to the input"
    else
        echo "  $2: decoded samples differ from the input"
    fi
}
decodes "$work/ours.flac" FLAC

flac -s -f -8 -o "$work/flac8.flac" "$work/music.wav"
for level in 2000 4000; do
    best=
    for i in 1 2 3; do
        /usr/bin/time -f "%e" -o "$work/t" taskset -c 0 "$ours" "$work/music.wav" "$work/ape$level.ape" "ape$level" \
            >/dev/null 2>&1
        t=$(cat "$work/t")
        best=$(awk -v a="${best:-$t}" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
    done
    awk -v n="$level" -v t="$best" -v s="$seconds" -v a="$(stat -c %s "$work/ape$level.ape")" \
        -v f="$(stat -c %s "$work/flac8.flac")" 'BEGIN {
        printf "Monkey'"'"'s Audio %s  %6.2f s  %5.0fx real time   %d bytes, flac -8 %d bytes (%.3f)\n", n, t, s / t, a, f, a / f }'
    decodes "$work/ape$level.ape" "Monkey's Audio $level"
done
