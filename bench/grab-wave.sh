#!/bin/sh
# Times grabbing a 74-minute emulated disc (16 tracks of music-like audio, served
# by the emulated drive without simulated drive speed) to WAVE files with
# melvarin-cli, against copying the same disc image with cp in the same run.
# Both read the image from a warm page cache and write to the same file system;
# dirty pages are flushed before every timed run. Prints each one's best of three
# as throughput (bytes of audio per second), the ratio grab / cp and the grab's
# peak resident memory. Targets: ratio >= 0.8, peak memory < 64 MB.
# Usage: bench/grab-wave.sh [build-dir] [minutes]
#   (configures the build with -DMELVARIN_BENCH=ON; minutes defaults to 74)
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build-bench}
minutes=${2:-74}
cmake -S "$src" -B "$build" -G Ninja -DMELVARIN_BUILD_GUI=OFF -DMELVARIN_BUILD_TESTS=OFF \
      -DMELVARIN_BENCH=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target melvarin-cli >/dev/null
cli="$build/bin/melvarin-cli"

work=$(mktemp -d "${TMPDIR:-/tmp}/grab-wave.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/drive" "$work/home"

# The disc: 16 tracks of sweeping partials with tremolo over pink noise, each
# voice a little different, written as raw CD sectors one after the other.
tracks=16
sectors=$((minutes * 60 * 75))
per=$((sectors / tracks))
cue="$work/drive/disc.cue"
echo 'FILE "disc.bin" BINARY' >"$cue"
t=1
lba=0
while [ "$t" -le "$tracks" ]; do
    n=$per
    [ "$t" -eq "$tracks" ] && n=$((sectors - lba))
    f=$((100 + 15 * t))
    sox -r 44100 -n -c 2 -b 16 -t raw -e signed -L "$work/track.raw" \
        synth $((n * 588))s sine $f-$((f * 8)) sine $((f * 3 / 2))-$((f * 5)) tremolo $((2 + t % 5)) 40 vol 0.5
    sox -r 44100 -n -c 2 -b 16 -t raw -e signed -L "$work/noise.raw" synth $((n * 588))s pinknoise vol 0.1
    sox -m -r 44100 -c 2 -b 16 -e signed -L -t raw "$work/track.raw" \
        -r 44100 -c 2 -b 16 -e signed -L -t raw "$work/noise.raw" \
        -t raw -e signed -b 16 -L - >>"$work/drive/disc.bin"
    printf '  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:%02d\n' "$t" \
        $((lba / 4500)) $((lba / 75 % 60)) $((lba % 75)) >>"$cue"
    lba=$((lba + n))
    t=$((t + 1))
done
rm -f "$work/track.raw" "$work/noise.raw"
printf 'speed_x=0\n' >"$work/drive/drive.ini"
bytes=$(stat -c %s "$work/drive/disc.bin")
[ "$bytes" -eq $((sectors * 2352)) ] || { echo "disc image has $bytes bytes" >&2; exit 1; }

export MELVARIN_VIRTUAL_DRIVES="$work/drive"
out="$work/out"
# The files are written straight into WorkDir (set once, so the program does not
# go looking for a music folder at every start).
"$cli" --home "$work/home" settings set WorkDir "$out/" >/dev/null
set -- "$cli" --home "$work/home" --quiet --no grab --format wav --otf --no-normalize
clean() { rm -rf "$out"; mkdir "$out"; sync; }

# A first grab checks that the files hold exactly the disc's samples and warms
# the page cache with the image.
clean
"$@" >/dev/null
find "$out" -name '*.wav' | sort -V | while read -r f; do tail -c +49 "$f"; done |
    cmp -s - "$work/drive/disc.bin" ||
    { echo "grabbed WAVE data differ from the disc image" >&2; exit 1; }

# run NAME COMMAND...: one timed run, as "NAME wall user system max-rss-kB".
run() {
    name=$1
    shift
    t0=$(date +%s.%N)
    /usr/bin/time -f "%U %S %M" -o "$work/t" "$@" >/dev/null
    t1=$(date +%s.%N)
    echo "$name $(awk -v a="$t0" -v z="$t1" 'BEGIN { print z - a }') $(cat "$work/t")"
}
# Three rounds, each copying and then grabbing after a clean output folder, so a
# change of load on the machine hits both; keeps each one's fastest wall time
# with that run's CPU time, and the grab's largest peak resident memory.
for i in 1 2 3; do
    clean
    run cp cp "$work/drive/disc.bin" "$out/disc.bin"
    clean
    run grab "$@"
done >"$work/results.txt"
clean

awk -v n="$bytes" -v m="$minutes" '
    {
        if (!($1 in wall) || $2 < wall[$1]) { wall[$1] = $2; cpu[$1] = $3 + $4 }
        if ($5 > rss[$1]) rss[$1] = $5
    }
    END {
        printf "%d-minute disc, %d bytes of audio (best of 3)\n", m, n
        for (k = 0; k < 2; ++k) {
            t = k ? "grab" : "cp"
            printf "%-4s  %6.3f s  %7.1f MB/s   (CPU %5.2f s)\n", t, wall[t], n / wall[t] / 1e6, cpu[t]
        }
        printf "ratio grab / cp throughput %.3f (target >= 0.8)   CPU time cp / grab %.3f\n",
               wall["cp"] / wall["grab"], cpu["cp"] / cpu["grab"]
        printf "grab peak resident memory %.1f MB (target < 64 MB)\n", rss["grab"] / 1024
    }' "$work/results.txt"
