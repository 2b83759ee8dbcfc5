#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "encoders/FrameCarry.h"
#include "encoders/TEncoder.h"

namespace melvarin {

// AAC in ADTS frames (.aac) through FFmpeg's native AAC encoder. FAACBitrate
// indexes {64, 80, 96, 112, 128, 160, 192, 224, 256, 320} kbit/s, half of it per
// channel; FAACMono mixes stereo down to one channel; FAACUseTns and FAACAllowMS
// switch temporal noise shaping and mid/side coding; the bandwidth is 18 kHz.
// FAACObjectType 0 is Low Complexity, 1 Main, 2 Long Term Prediction; an object
// type the encoder cannot open falls back to Low Complexity. The ADTS headers
// say MPEG-4 when FAACMPEG4 is set or the object type is LTP, else MPEG-2. The
// stream starts with the encoder's priming samples (1024), as ADTS has no place
// to say so.
class TFAACEncoder : public TEncoder {
public:
    TFAACEncoder();
    ~TFAACEncoder() override;

    // Refuses rates ADTS cannot name and anything but 16-bit mono or stereo PCM.
    bool SetFormat(const PcmFormat* format) override;
    // Returns the input bytes of one AAC frame (1024 sample frames).
    int OpenSink(std::unique_ptr<OutputSink> sink, std::uint64_t expectedBytes) override;
    bool Encode(const void* samples, std::size_t byteCount) override;
    // Encodes the last, shorter frame and drains the encoder.
    bool Close() override;
    std::string GetName() override { return "Free Advanced Audio Coder"; }

private:
    struct State;
    // Sends the samples gathered in the frame (`frames` of them; none flushes)
    // and writes every packet the encoder returns.
    bool SendFrame(int frames, bool flush);
    bool WritePacket(const std::uint8_t* data, std::size_t size);
    void Release();

    std::unique_ptr<State> state_;
    std::unique_ptr<OutputSink> sink_;
    FrameCarry carry_;
    std::vector<std::int16_t> pcm_;
    int channels_ = 2;    // channels encoded
    int objectType_ = 0;  // MPEG-4 audio object type opened: 1 Main, 2 LC, 4 LTP
    bool mpeg2_ = false;
    int filled_ = 0;      // sample frames gathered in the current frame
};

}  // namespace melvarin
