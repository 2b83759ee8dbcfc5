# Sourced by the benchmark scripts. make_music OUT.wav SECONDS DIR: writes
# SECONDS of music-like 16-bit stereo PCM at 44100 Hz (two voices of sweeping
# partials with tremolo, one per channel, over pink noise), using DIR for its
# intermediate files.
make_music() {
    sox -n -r 44100 -c 1 -b 16 "$3/l.wav" synth "$2" sine 110-880 sine 220-1760 sine 330-440 \
        tremolo 4 40 remix - vol 0.6
    sox -n -r 44100 -c 1 -b 16 "$3/r.wav" synth "$2" sine 165-660 sine 550-2200 sine 247-494 \
        tremolo 3 50 remix - vol 0.6
    sox -n -r 44100 -c 2 -b 16 "$3/n.wav" synth "$2" pinknoise vol 0.1
    sox -M "$3/l.wav" "$3/r.wav" "$3/tones.wav"
    sox -m "$3/tones.wav" "$3/n.wav" -b 16 "$1"
    rm -f "$3/l.wav" "$3/r.wav" "$3/n.wav" "$3/tones.wav"
}
