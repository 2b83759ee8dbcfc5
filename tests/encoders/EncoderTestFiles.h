#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/SettingsRecord.h"
#include "encoders/PcmFormat.h"
#include "tags/TIDTag.h"

namespace melvarin::test {

// Encodes `pcm` through the encoder manager with `config` into `path`, in the
// chunk size Open asks for (or `chunk` bytes when not 0), expecting every call
// to succeed. Returns the chunk size Open asked for, 0 when the encoder could
// not be made or opened.
int encodeFile(EncoderConfig& config, const PcmFormat& format, const std::string& pcm, const std::string& path,
               TIDTag* tag = nullptr, std::size_t chunk = 0);

// What /usr/bin/python3 prints running `script` (mutagen reads tags this way),
// expecting it to succeed.
std::string python(const std::string& script);

// Encoder options as a fresh installation has them for MP3: 224 kbit/s CBR, joint
// stereo, LAME, no tags, no normalisation.
EncoderConfig mp3Defaults();

// `seconds` of music-like 16-bit PCM (a few detuned partials with vibrato and a
// little noise, different in each channel), deterministic.
std::string musicLikePcm(double seconds, int rate, int channels, double amplitude = 0.5);

// One MPEG audio frame header found while walking a file.
struct Mp3Frame {
    std::uint64_t offset;
    int kbps;
    int rate;
    int channels;   // 1 for mono mode, else 2
    int mpegVersion;  // 1 for MPEG-1
    std::uint32_t length;
};

// Walks the MPEG audio frames of `bytes` from `start` until the first byte that does
// not begin a frame (an ID3v1 tag, the end). Empty when `start` holds no frame.
std::vector<Mp3Frame> walkFrames(const std::string& bytes, std::uint64_t start);

// Size of the ID3v2 tag at the start of `bytes` (0 when none).
std::uint64_t id3v2Size(const std::string& bytes);

// Interleaved 16-bit samples ffmpeg decodes from `path` (it honours the LAME tag's
// delay and padding); -1 when ffmpeg fails. `channels` receives the stream's count.
long long decodedSampleFrames(const std::string& path, int* channels = nullptr);

}  // namespace melvarin::test
