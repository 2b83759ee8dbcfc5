#pragma once
#include <vector>

#include "encoders/FrameCarry.h"
#include "encoders/TEncoder.h"

typedef struct lame_global_struct lame_global_flags;

namespace melvarin {

// MP3 through libmp3lame. The file holds [ID3v2 tag when MP3ID2Tag] MP3 frames
// [ID3v1 tag when MP3ID1Tag]; the first frame is LAME's Xing/Info frame, rewritten
// at Close with the final LAME tag (length, encoder delay and padding), for CBR too.
// Inputs below 44100 Hz are refused. Stereo input with LameMode 3 is mixed down to
// mono before encoding.
class TLameMP3Encoder : public TEncoder {
public:
    TLameMP3Encoder() = default;
    ~TLameMP3Encoder() override;

    // Refuses rates below 44100 Hz, and anything but 16-bit mono or stereo PCM.
    bool SetFormat(const PcmFormat* format) override;
    // Returns LAME's samples per chunk x 2 (bytes of that many 16-bit samples).
    int OpenSink(std::unique_ptr<OutputSink> sink, std::uint64_t expectedBytes) override;
    bool Encode(const void* samples, std::size_t byteCount) override;
    bool Close() override;
    // "Lame MP3 Encoder " + LAME's major.minor version.
    std::string GetName() override;

private:
    bool EncodePiece(const std::int16_t* samples, std::size_t sampleCount);
    bool WriteOut(int produced);
    void Release();

    lame_global_flags* gfp_ = nullptr;
    std::unique_ptr<OutputSink> sink_;
    bool downmix_ = false;
    int channels_ = 2;                 // channels LAME encodes
    std::size_t samplesPerChunk_ = 0;  // 16-bit samples (all channels) per piece
    std::uint64_t firstFrame_ = 0;     // offset of the first MP3 frame in the output
    std::vector<unsigned char> out_;
    std::vector<std::int16_t> mono_;
    FrameCarry carry_;
};

}  // namespace melvarin
