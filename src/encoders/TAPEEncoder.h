#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "encoders/FrameCarry.h"
#include "encoders/TEncoder.h"

namespace melvarin {

namespace ape {
class ApeFileWriter;
class ApeFrameEncoder;
}  // namespace ape

// Monkey's Audio (.ape, version 3.99 files) of 16-bit mono or stereo PCM at any
// rate. APE_Level 0..3 picks the compression level Fast, Normal, High or Extra
// High (larger values Extra High); APE_Mono mixes stereo input down to one
// channel (StereoToMono). The sink must seek:
// the header and seek table are completed at the end. With a tag, an APEv2 tag
// (WriteAPEv2) follows the audio.
class TAPEEncoder : public TEncoder {
public:
    TAPEEncoder();
    ~TAPEEncoder() override;

    // Refuses anything but 16-bit mono or stereo PCM.
    bool SetFormat(const PcmFormat* format) override;
    // Writes the leading blocks with a seek table sized from `expectedBytes` (from
    // the format's limit when 0). Returns input channels x 2 x 4608 bytes.
    int OpenSink(std::unique_ptr<OutputSink> sink, std::uint64_t expectedBytes) override;
    bool Encode(const void* samples, std::size_t byteCount) override;
    // Encodes the last, shorter frame, completes the header and appends the tag;
    // false when the file could not be finished.
    bool Close() override;
    std::string GetName() override { return "Monkey's Audio Encoder"; }

private:
    bool FlushFrame();
    void Release();

    std::unique_ptr<OutputSink> sink_;
    std::unique_ptr<ape::ApeFileWriter> writer_;
    std::unique_ptr<ape::ApeFrameEncoder> frames_;
    FrameCarry carry_;
    bool mixToMono_ = false;
    bool failed_ = false;  // a frame was lost: the file cannot be finished
    std::size_t channels_ = 0;  // in the file
    std::size_t blocksPerFrame_ = 0;
    std::size_t filled_ = 0;  // blocks waiting in pcm_
    std::vector<std::uint8_t> pcm_;
    std::vector<std::int16_t> mix_;
};

}  // namespace melvarin
