#!/bin/sh
# Grabs a 74-minute emulated disc (16 tracks of music-like audio, reads as fast
# as the files allow) to MP3 with melvarin-cli, CBR 224 kbit/s joint stereo,
# once encoding on the fly and once through temporary WAVE files, and compares
# the wall time with lame encoding the same tracks one after another with the
# same settings (-b 224 -m j --nores; --noreplaygain and -o because our
# encoder computes no ReplayGain and does not mark CBR streams original, so
# both do the same work). Prints the ratios ours / serial lame
# (target: 0.6 or less on two or more processors, never above 1) and the peak
# resident memory of each grab (target: under 150 MB).
# With --format flac, ogg or aac the grab writes that format instead (FLAC at the
# settings window's level 5, Ogg quality 5, AAC 128 kbit/s) and the serial
# reference is flac, oggenc or ffmpeg with the same settings.
# Usage: bench/grab-mp3.sh [--format mp3|flac|ogg|aac] [build-dir]
#   (configures the build with -DMELVARIN_BENCH=ON)
set -eu
format=mp3
if [ "${1:-}" = "--format" ]; then
    format=$2
    shift 2
fi
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build-bench}
cmake -S "$src" -B "$build" -G Ninja -DMELVARIN_BUILD_GUI=OFF -DMELVARIN_BUILD_TESTS=OFF \
      -DMELVARIN_BENCH=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target melvarin-cli >/dev/null
cli="$build/bin/melvarin-cli"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/drive" "$work/tracks" "$work/home"
tracks=16
sectors=20813          # 4:37.5 a track, 74 minutes in all
frames=$((sectors * 588))

# Each track: two voices of sweeping partials with tremolo over pink noise,
# pitched differently per track; the BIN holds the same samples raw.
echo "FILE \"disc.bin\" BINARY" > "$work/drive/disc.cue"
: > "$work/drive/disc.bin"
i=1
while [ "$i" -le "$tracks" ]; do
    f=$((100 + 13 * i))
    t=$(printf '%02d' "$i")
    sox -r 44100 -n -c 1 -b 16 "$work/l.wav" synth "${frames}s" sine "$f-$((f * 8))" sine "$((f * 2))-$((f * 3))" \
        tremolo 4 40 remix - vol 0.6
    sox -r 44100 -n -c 1 -b 16 "$work/r.wav" synth "${frames}s" sine "$((f * 3 / 2))-$((f * 6))" sine "$((f * 5))-$((f * 2))" \
        tremolo 3 50 remix - vol 0.6
    sox -r 44100 -n -c 2 -b 16 "$work/n.wav" synth "${frames}s" pinknoise vol 0.1
    sox -M "$work/l.wav" "$work/r.wav" "$work/tones.wav"
    sox -m "$work/tones.wav" "$work/n.wav" -b 16 "$work/tracks/$t.wav" trim 0 "${frames}s"
    sox "$work/tracks/$t.wav" -t raw -e signed -b 16 -L - >> "$work/drive/disc.bin"
    lba=$(((i - 1) * sectors))
    printf '  TRACK %s AUDIO\n    INDEX 01 %02d:%02d:%02d\n' "$t" $((lba / 4500)) $((lba / 75 % 60)) $((lba % 75)) \
        >> "$work/drive/disc.cue"
    i=$((i + 1))
done
rm -f "$work/l.wav" "$work/r.wav" "$work/n.wav" "$work/tones.wav"
echo "speed_x=0" > "$work/drive/drive.ini"

run_cli() { MELVARIN_VIRTUAL_DRIVES="$work/drive" "$cli" --home "$work/home" --yes --quiet "$@"; }
run_cli settings set LameBitrate 224 >/dev/null
run_cli settings set LameMode 1 >/dev/null
run_cli settings set VBR 0 >/dev/null
for setting in "BlockSize 6" "LPCOrder 4" "RPOMin 3" "RPOMax 3" "MSC 1" "AMSC 0" "EMSCoding 0" \
               "OggQuality 1" "OggQualityLevel 500" "FAACBitrate 4" "FAACMono 0"; do
    run_cli settings set $setting >/dev/null
done
# reference IN OUT: the reference tool encoding one track with the grab's settings.
reference() {
    case $format in
    mp3) lame --quiet --noreplaygain -o -b 224 -m j --nores "$1" "$2.mp3" ;;
    flac) flac -s -f -b 4608 -m -l 8 -r 3,3 -o "$2.flac" "$1" ;;
    ogg) oggenc -Q -q 5 -o "$2.ogg" "$1" ;;
    aac) ffmpeg -v error -y -i "$1" -c:a aac -b:a 128k -cutoff 18000 "$2.aac" ;;
    *) echo "unknown format $format" >&2; exit 2 ;;
    esac
}

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v z="$2" 'BEGIN { printf "%.2f", z - a }'; }

t0=$(now)
for w in "$work"/tracks/*.wav; do
    reference "$w" "$work/serial"
done
t1=$(now)
serial=$(elapsed "$t0" "$t1")

# How many processors this run gets: two reference runs at once against one.
t0=$(now)
reference "$work/tracks/01.wav" "$work/a"
t1=$(now)
reference "$work/tracks/01.wav" "$work/a" &
reference "$work/tracks/02.wav" "$work/b"
wait
t2=$(now)
available=$(awk -v a="$t0" -v b="$t1" -v c="$t2" 'BEGIN { printf "%.2f", 2 * (b - a) / (c - b) }')

grab() {  # $1 = label, $2 = --otf | --no-otf
    rm -rf "$work/out"
    t0=$(now)
    /usr/bin/time -v -o "$work/time.txt" env MELVARIN_VIRTUAL_DRIVES="$work/drive" \
        "$cli" --home "$work/home" --yes --quiet grab --format "$format" "$2" --out "$work/out" >/dev/null
    t1=$(now)
    ours=$(elapsed "$t0" "$t1")
    rss=$(awk -F: '/Maximum resident/ { gsub(/ /, "", $2); print $2 }' "$work/time.txt")
    cpu=$(awk -F: '/Percent of CPU/ { gsub(/[ %]/, "", $2); print $2 }' "$work/time.txt")
    files=$(find "$work/out" -name "*.$format" | wc -l)
    awk -v n="$1" -v o="$ours" -v s="$serial" -v r="$rss" -v c="$cpu" -v f="$files" 'BEGIN {
        printf "%-24s %7.2f s  serial reference %7.2f s  ratio %.3f  peak RSS %.1f MB  cores busy %.2f  %d files\n",
               n, o, s, o / s, r / 1024, c / 100, f }'
}

# Other work on the machine shares the processors out per process group, so
# the ratio shows the gain of the encoding threads only on an idle machine;
# "cores busy" tells how many processors the grab kept working, and two lame
# runs at once how many this run could have.
echo "74-minute disc, 16 tracks, $format, $(nproc) processors, load $(cut -d' ' -f1 /proc/loadavg)," \
     "two reference runs at once got $available processors"
grab "grab on the fly" --otf
grab "grab via temporary WAVE" --no-otf
