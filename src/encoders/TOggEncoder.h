#pragma once
#include <memory>

#include "encoders/FrameCarry.h"
#include "encoders/TEncoder.h"

namespace melvarin {

// Ogg Vorbis through libvorbisenc and libogg. The file holds the three header
// packets on pages of their own, then the audio pages, then an ID3v1 tag when
// OGGID1Tag is set. Quality mode (OggQuality) takes OggQualityLevel thousandths,
// clamped to -0.1 .. 1.0; otherwise OggMinBR, OggNomBR and OggMaxBR index the
// bitrate table {350, 256, 192, 160, 128, 96, 80, 64, 48, 40, 32} kbit/s. The
// tag's texts go into Vorbis comments (VorbisCommentFields).
class TOggEncoder : public TEncoder {
public:
    TOggEncoder();
    ~TOggEncoder() override;

    // Refuses rates below 22050 Hz and anything but 16-bit mono or stereo PCM.
    bool SetFormat(const PcmFormat* format) override;
    // Returns channels x 1024 bytes (512 sample frames).
    int OpenSink(std::unique_ptr<OutputSink> sink, std::uint64_t expectedBytes) override;
    bool Encode(const void* samples, std::size_t byteCount) override;
    // Ends the stream (the last page carries its end mark) and appends the ID3v1
    // tag; false when any page could not be written.
    bool Close() override;
    std::string GetName() override { return "Ogg Vorbis Encoder"; }

private:
    struct State;
    // Turns the analysed blocks into packets and the full pages into output.
    bool Drain();
    bool WritePages(bool flush);
    void Release();

    std::unique_ptr<State> state_;
    std::unique_ptr<OutputSink> sink_;
    FrameCarry carry_;
};

}  // namespace melvarin
