#!/bin/sh
# Times our MP3 encoder against the lame program on 10 minutes of music-like PCM,
# with the same settings: CBR 224 kbit/s joint stereo without bit reservoir, and
# VBR quality 2 (-V 2). Prints wall times and the ratio ours / lame (best of 3).
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
# Two voices of sweeping partials with tremolo, one per channel, over pink noise.
sox -n -r 44100 -c 1 -b 16 "$work/l.wav" synth 600 sine 110-880 sine 220-1760 sine 330-440 \
    tremolo 4 40 remix - vol 0.6
sox -n -r 44100 -c 1 -b 16 "$work/r.wav" synth 600 sine 165-660 sine 550-2200 sine 247-494 \
    tremolo 3 50 remix - vol 0.6
sox -n -r 44100 -c 2 -b 16 "$work/n.wav" synth 600 pinknoise vol 0.1
sox -M "$work/l.wav" "$work/r.wav" "$work/tones.wav"
sox -m "$work/tones.wav" "$work/n.wav" -b 16 "$work/music.wav"
rm -f "$work/l.wav" "$work/r.wav" "$work/n.wav" "$work/tones.wav"

now() { date +%s.%N; }
best() {  # best wall time of three runs of the command
    b=""
    for i in 1 2 3; do
        t0=$(now); "$@" >/dev/null 2>&1; t1=$(now)
        b=$(awk -v a="$t0" -v z="$t1" -v b="$b" 'BEGIN { t = z - a; print (b == "" || t < b + 0) ? t : b }')
    done
    echo "$b"
}
report() {
    awk -v n="$1" -v o="$2" -v l="$3" 'BEGIN { printf "%-28s ours %6.2f s   lame %6.2f s   ratio %.3f\n", n, o, l, o / l }'
}

o=$(best "$ours" "$work/music.wav" "$work/ours-cbr.mp3" cbr)
l=$(best lame --quiet -b 224 -m j --nores "$work/music.wav" "$work/lame-cbr.mp3")
report "CBR 224 joint stereo" "$o" "$l"
o=$(best "$ours" "$work/music.wav" "$work/ours-vbr.mp3" vbr)
l=$(best lame --quiet -V 2 -m j "$work/music.wav" "$work/lame-vbr.mp3")
report "VBR -V 2" "$o" "$l"
# Equal sizes show that both ran with the same settings.
ls -l "$work"/*.mp3 | awk '{print "  " $5, $9}' | sed "s|$work/||"
