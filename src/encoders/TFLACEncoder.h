#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "encoders/FrameCarry.h"
#include "encoders/TEncoder.h"

namespace melvarin {

// FLAC through libFLAC's stream encoder, writing through the sink (which must
// seek: the library rewrites STREAMINFO, with the sample count and MD5, at the
// end). From the configuration: BlockSize indexes {256, 512, 1024, 1152, 2048,
// 2304, 4608, 4096, 8192, 16384, 32768} samples and LPCOrder {0, 2, 4, 6, 8,
// 10, 12} (an index past the end takes the last entry); the residual partition
// orders, escape coding and exhaustive model search as they are; MSC is
// mid-side stereo, AMSC adaptive mid-side, neither left-right. The tag's texts
// go into a VORBIS_COMMENT block (VorbisCommentFields); FLACWriteID1 appends an
// ID3v1 tag after the stream.
class TFLACEncoder : public TEncoder {
public:
    TFLACEncoder();
    ~TFLACEncoder() override;

    // Refuses anything but 16-bit mono or stereo PCM.
    bool SetFormat(const PcmFormat* format) override;
    // Returns block size x channels x 2 bytes.
    int OpenSink(std::unique_ptr<OutputSink> sink, std::uint64_t expectedBytes) override;
    bool Encode(const void* samples, std::size_t byteCount) override;
    // Encodes the last, shorter block, completes the stream information and
    // appends the ID3v1 tag; false when the file could not be finished.
    bool Close() override;
    std::string GetName() override { return "Free Losless Audio Coder"; }

private:
    struct State;
    void Release();

    std::unique_ptr<State> state_;
    std::unique_ptr<OutputSink> sink_;
    FrameCarry carry_;
    std::vector<std::int32_t> block_;
};

}  // namespace melvarin
