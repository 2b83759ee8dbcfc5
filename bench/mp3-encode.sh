#!/bin/sh
# Times our MP3 encoder against the lame program on 10 minutes of music-like PCM,
# with the same settings (both must write the same bytes): CBR 224 kbit/s joint
# stereo without bit reservoir, and VBR quality 2 (-V 2). Prints wall times and
# the ratio ours / lame (best of 3), and the CPU times of those runs.
# Usage: bench/mp3-encode.sh [build-dir]   (configures the build with -DMELVARIN_BENCH=ON)
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build-bench}
cmake -S "$src" -B "$build" -G Ninja -DMELVARIN_BUILD_GUI=OFF -DMELVARIN_BUILD_TESTS=OFF \
      -DMELVARIN_BENCH=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_mp3_encode >/dev/null
ours="$build/bench/bench_mp3_encode"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$src/bench/music.sh"
make_music "$work/music.wav" 600 "$work"

# pair NAME cbr|vbr LAME-ARGUMENTS...: three rounds, each running ours then lame,
# so a change of load on the machine hits both; keeps each one's fastest wall
# time and that run's CPU time.
pair() {
    name=$1
    mode=$2
    shift 2
    for i in 1 2 3; do
        /usr/bin/time -f "ours %e %U %S" -o "$work/t" "$ours" "$work/music.wav" "$work/ours-$mode.mp3" "$mode" \
            >/dev/null 2>&1
        cat "$work/t"
        /usr/bin/time -f "lame %e %U %S" -o "$work/t" lame --quiet "$@" "$work/music.wav" "$work/lame-$mode.mp3" \
            >/dev/null 2>&1
        cat "$work/t"
    done | awk -v n="$name" '
        { if (!($1 in w) || $2 < w[$1]) { w[$1] = $2; c[$1] = $3 + $4 } }
        END { printf "%-22s ours %6.2f s (CPU %6.2f)   lame %6.2f s (CPU %6.2f)   ratio %.3f (CPU %.3f)\n",
                     n, w["ours"], c["ours"], w["lame"], c["lame"], w["ours"] / w["lame"], c["ours"] / c["lame"] }'
}

# lame computes ReplayGain unless told not to, which our encoder does not do, and
# our CBR streams are not marked "original" (-o).
pair "CBR 224 joint stereo" cbr --noreplaygain -o -b 224 -m j --nores
pair "VBR -V 2" vbr --noreplaygain -V 2 -m j
# Byte-identical files show that both ran with the same settings.
for mode in cbr vbr; do
    if cmp -s "$work/ours-$mode.mp3" "$work/lame-$mode.mp3"; then
        echo "  $mode: the files are identical"
    else
        echo "  $mode: the files differ"
    fi
done
