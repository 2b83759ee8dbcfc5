#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace melvarin {

// The built-in sample disc of the emulated drive: three short pieces of
// synthesised music (chords, a waltz, bells) as WAVE files with a CUE sheet
// carrying CD-TEXT (performer "Melvarin", album "Sample Disc", track titles).
class SampleDisc {
public:
    static constexpr int kTrackCount = 3;

    // Writes disc.cue and track01.wav ... track03.wav into `folder` (which must
    // exist). True when every file was written.
    static bool write(const std::string& folder);

    // The 44.1 kHz 16-bit stereo samples of track `index` (0-based), interleaved.
    static std::vector<std::int16_t> render(int index);

    // The title of track `index` (0-based).
    static const char* title(int index);
};

}  // namespace melvarin
