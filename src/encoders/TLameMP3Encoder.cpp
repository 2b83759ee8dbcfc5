#include "encoders/TLameMP3Encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "app/SettingsRecord.h"
#include "disc/SampleUtils.h"
#include "encoders/LameStreamConfig.h"
#include "tags/ID3v1.h"
#include "tags/ID3v2.h"

namespace melvarin {

static_assert(std::endian::native == std::endian::little, "samples are taken as little-endian");


TLameMP3Encoder::~TLameMP3Encoder() {
    Close();
    Release();
}

void TLameMP3Encoder::Release() {
    if (gfp_) lame_close(gfp_);
    gfp_ = nullptr;
    sink_.reset();
}

bool TLameMP3Encoder::SetFormat(const PcmFormat* format) {
    if (!format) return false;
    if (format->samplesPerSec < 44100) return Fail("MP3 needs at least 44100 samples per second");
    if (format->bitsPerSample != 16 || format->channels < 1 || format->channels > 2)
        return Fail("MP3 takes 16-bit mono or stereo samples");
    format_ = *format;
    return true;
}

std::string TLameMP3Encoder::GetName() {
    lame_version_t v{};
    get_lame_version_numerical(&v);
    return "Lame MP3 Encoder " + std::to_string(v.major) + "." + std::to_string(v.minor);
}

int TLameMP3Encoder::OpenSink(std::unique_ptr<OutputSink> sink, std::uint64_t) {
    if (sink_ || gfp_) return FailOpen("the MP3 stream is already open");
    if (!config_) return FailOpen("no encoder configuration");
    if (!sink) return FailOpen("no output");
    const LameStreamConfig stream = MakeLameStreamConfig(*config_, format_);
    gfp_ = lame_init();
    if (!gfp_) return FailOpen("LAME could not start");
    if (!ApplyLameStreamConfig(gfp_, stream) || lame_init_params(gfp_) < 0) {
        Release();
        return FailOpen("LAME refused the MP3 settings");
    }
    channels_ = lame_get_num_channels(gfp_);
    downmix_ = format_.channels == 2 && channels_ == 1;
    samplesPerChunk_ = static_cast<std::size_t>(lame_get_framesize(gfp_)) * channels_;
    out_.resize(samplesPerChunk_ * 5 / 4 + 7200);
    carry_.Reset(static_cast<std::size_t>(format_.channels) * 2);

    if (tag_ && config_->MP3ID2Tag) {
        const std::string id3 = WriteID3v2(*tag_);
        if (!sink->write(id3.data(), id3.size())) {
            const std::string why = sink->error();
            Release();
            return FailOpen(why);
        }
    }
    firstFrame_ = sink->tell();
    sink_ = std::move(sink);
    error_.clear();
    return static_cast<int>(samplesPerChunk_ * 2);
}

bool TLameMP3Encoder::WriteOut(int produced) {
    if (produced < 0) return Fail("LAME failed to encode (error " + std::to_string(produced) + ")");
    if (produced > 0 && !sink_->write(out_.data(), static_cast<std::size_t>(produced)))
        return Fail(sink_->error());
    return true;
}

bool TLameMP3Encoder::EncodePiece(const std::int16_t* samples, std::size_t sampleCount) {
    const int perChannel = static_cast<int>(sampleCount / channels_);
    const int produced =
        channels_ == 1
            ? lame_encode_buffer(gfp_, samples, samples, perChannel, out_.data(), int(out_.size()))
            : lame_encode_buffer_interleaved(gfp_, const_cast<std::int16_t*>(samples), perChannel,
                                             out_.data(), int(out_.size()));
    return WriteOut(produced);
}

bool TLameMP3Encoder::Encode(const void* samples, std::size_t byteCount) {
    if (!sink_ || !gfp_) return Fail("no MP3 stream is open");
    // Whole sample frames only; a split frame waits for the next call.
    const std::span<const std::uint8_t> frames = carry_.Take(samples, byteCount);
    const std::uint8_t* in = frames.data();
    const std::size_t whole = frames.size();
    if (whole == 0) return true;

    std::size_t sampleCount = whole / 2;
    const std::int16_t* pcm = reinterpret_cast<const std::int16_t*>(in);
    std::vector<std::int16_t> aligned;
    if (reinterpret_cast<std::uintptr_t>(in) % alignof(std::int16_t) != 0) {
        aligned.resize(sampleCount);
        std::memcpy(aligned.data(), in, whole);
        pcm = aligned.data();
    }
    if (downmix_) {
        mono_.assign(pcm, pcm + sampleCount);
        sampleCount = StereoToMono(mono_.data(), sampleCount);
        pcm = mono_.data();
    }
    for (std::size_t done = 0; done < sampleCount; done += samplesPerChunk_) {
        const std::size_t piece = std::min(samplesPerChunk_, sampleCount - done);
        if (!EncodePiece(pcm + done, piece)) {
            Release();
            return false;
        }
    }
    return true;
}

bool TLameMP3Encoder::Close() {
    if (!sink_ || !gfp_) return false;
    bool ok = WriteOut(lame_encode_flush(gfp_, out_.data(), static_cast<int>(out_.size())));
    if (ok && tag_ && config_->MP3ID1Tag) {
        const std::string id3 = WriteID3v1(*tag_);
        ok = sink_->write(id3.data(), id3.size()) || Fail(sink_->error());
    }
    if (ok) {
        const std::size_t n = lame_get_lametag_frame(gfp_, out_.data(), out_.size());
        if (n > 0 && n <= out_.size()) {
            const std::uint64_t end = sink_->tell();
            ok = (sink_->seek(firstFrame_) && sink_->write(out_.data(), n) && sink_->seek(end)) ||
                 Fail(sink_->error());
        }
    }
    if (!sink_->close() && ok) ok = Fail(sink_->error());
    Release();
    return ok;
}

}  // namespace melvarin
