#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace melvarin {

// The encoded-size estimate of the main track list: how much smaller an MP3 is
// than the 176400 bytes per second of CD audio.
class SizeEstimate {
public:
    // The MP3 settings the estimate depends on (fields of EncoderConfig).
    struct LameChoice {
        uint32_t bitrateIndex = 0;  // LameBitrate
        uint32_t maxBitrateIndex = 0;  // MaxBR
        bool vbr = false;           // VBR: the maximum bitrate counts
        uint32_t mode = 0;          // LameMode; 3 is mono
    };
    // Format of an ACM MP3 codec chosen instead of LAME.
    struct AcmFormat {
        uint32_t avgBytesPerSec = 0;
        uint16_t channels = 2;
        uint32_t samplesPerSec = 44100;
    };

    // kbit/s of a LameBitrate/MaxBR value: an index into
    // {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 350},
    // any value above 15 being kbit/s itself.
    static uint32_t kbitPerSec(uint32_t bitrateValue);

    // CD bytes per encoded byte. Bitrate 0 and empty ACM formats give 1: the
    // estimate then equals the WAVE size instead of dividing by zero.
    static double ratio(const LameChoice& lame);
    static double ratio(const AcmFormat& acm);

    // "%2.2f Mb" of bytes / 1048576 / ratio, with "0" put in front when shorter
    // than 8 characters ("05.12 Mb", "12.34 Mb"). The "В MP3" column text.
    static std::string encodedText(uint64_t bytes, double ratio);

    // "%2.2f Mb" of bytes / 1048576, the "Размер" column text.
    static std::string sizeText(uint64_t bytes);

    // The size panel: `hint` + " %2.2f Mb" of the total, divided by the ratio
    // when the panel shows the encoded size (SizeMode set).
    static std::string panelText(const std::string& hint, uint64_t totalBytes, double ratio,
                                 bool encodedMode);
};

}  // namespace melvarin
