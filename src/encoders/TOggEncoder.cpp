#include "encoders/TOggEncoder.h"

#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <random>

#include "app/SettingsRecord.h"
#include "tags/ID3v1.h"
#include "tags/VorbisComment.h"

namespace melvarin {

namespace {

constexpr int kBitratesKbps[] = {350, 256, 192, 160, 128, 96, 80, 64, 48, 40, 32};
constexpr int kFramesPerChunk = 512;
// Frames handed to the analysis at once, so a large chunk needs no large buffer.
constexpr std::size_t kFramesPerPiece = 4096;

long BitrateOf(std::uint32_t index) {
    return kBitratesKbps[std::min<std::size_t>(index, std::size(kBitratesKbps) - 1)] * 1000L;
}

int SerialNumber() {
    std::random_device device;
    std::seed_seq seed{device(), static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())};
    std::mt19937 generator(seed);
    return static_cast<int>(generator());
}

}  // namespace

// The library records; each flag says its record was initialised and must be cleared.
struct TOggEncoder::State {
    ogg_stream_state stream{};
    vorbis_info info{};
    vorbis_comment comment{};
    vorbis_dsp_state dsp{};
    vorbis_block block{};
    bool hasInfo = false, hasComment = false, hasDsp = false, hasBlock = false, hasStream = false;
    bool ended = false;   // the page with the end mark is out
    bool failed = false;  // a page could not be written

    ~State() {
        if (hasStream) ogg_stream_clear(&stream);
        if (hasBlock) vorbis_block_clear(&block);
        if (hasDsp) vorbis_dsp_clear(&dsp);
        if (hasComment) vorbis_comment_clear(&comment);
        if (hasInfo) vorbis_info_clear(&info);
    }
};

TOggEncoder::TOggEncoder() = default;

TOggEncoder::~TOggEncoder() {
    Close();
    Release();
}

void TOggEncoder::Release() {
    state_.reset();
    sink_.reset();
}

bool TOggEncoder::SetFormat(const PcmFormat* format) {
    if (!format) return false;
    if (format->samplesPerSec < 22050) return Fail("Ogg Vorbis needs at least 22050 samples per second");
    if (format->bitsPerSample != 16 || format->channels < 1 || format->channels > 2)
        return Fail("Ogg Vorbis takes 16-bit mono or stereo samples");
    format_ = *format;
    return true;
}

int TOggEncoder::OpenSink(std::unique_ptr<OutputSink> sink, std::uint64_t) {
    if (state_ || sink_) return FailOpen("the Ogg stream is already open");
    if (!config_) return FailOpen("no encoder configuration");
    if (!sink) return FailOpen("no output");
    auto st = std::make_unique<State>();
    vorbis_info_init(&st->info);
    st->hasInfo = true;
    const int channels = format_.channels;
    const long rate = static_cast<long>(format_.samplesPerSec);
    int rc = 0;
    if (config_->OggQuality) {
        const float quality = std::clamp(static_cast<float>(config_->OggQualityLevel) * 0.001f, -0.1f, 1.0f);
        rc = vorbis_encode_init_vbr(&st->info, channels, rate, quality);
    } else {
        rc = vorbis_encode_init(&st->info, channels, rate, BitrateOf(config_->OggMaxBR), BitrateOf(config_->OggNomBR),
                                BitrateOf(config_->OggMinBR));
    }
    if (rc != 0) return FailOpen("the Vorbis encoder refused the settings (error " + std::to_string(rc) + ")");
    vorbis_comment_init(&st->comment);
    st->hasComment = true;
    if (tag_)
        for (const auto& [name, value] : VorbisCommentFields(*tag_))
            vorbis_comment_add_tag(&st->comment, name.c_str(), value.c_str());
    if (vorbis_analysis_init(&st->dsp, &st->info) != 0) return FailOpen("the Vorbis encoder could not start");
    st->hasDsp = true;
    vorbis_block_init(&st->dsp, &st->block);
    st->hasBlock = true;
    ogg_stream_init(&st->stream, SerialNumber());
    st->hasStream = true;

    ogg_packet identification, comments, codebooks;
    vorbis_analysis_headerout(&st->dsp, &st->comment, &identification, &comments, &codebooks);
    ogg_stream_packetin(&st->stream, &identification);
    ogg_stream_packetin(&st->stream, &comments);
    ogg_stream_packetin(&st->stream, &codebooks);

    state_ = std::move(st);
    sink_ = std::move(sink);
    carry_.Reset(static_cast<std::size_t>(channels) * 2);
    error_.clear();
    // The headers on pages of their own, before any audio.
    if (!WritePages(true)) {
        const std::string why = error_;
        Release();
        return FailOpen(why);
    }
    return channels * 2 * kFramesPerChunk;
}

bool TOggEncoder::WritePages(bool flush) {
    ogg_page page;
    while (!state_->failed && (flush ? ogg_stream_flush(&state_->stream, &page) : ogg_stream_pageout(&state_->stream, &page))) {
        if (!sink_->write(page.header, static_cast<std::size_t>(page.header_len)) ||
            !sink_->write(page.body, static_cast<std::size_t>(page.body_len))) {
            state_->failed = true;
            return Fail(sink_->error());
        }
        if (ogg_page_eos(&page)) state_->ended = true;
    }
    return !state_->failed;
}

bool TOggEncoder::Drain() {
    State& st = *state_;
    while (vorbis_analysis_blockout(&st.dsp, &st.block) == 1) {
        vorbis_analysis(&st.block, nullptr);
        vorbis_bitrate_addblock(&st.block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&st.dsp, &packet)) {
            ogg_stream_packetin(&st.stream, &packet);
            if (!WritePages(false)) return false;
        }
    }
    return true;
}

bool TOggEncoder::Encode(const void* samples, std::size_t byteCount) {
    if (!state_ || !sink_) return Fail("no Ogg stream is open");
    if (state_->failed || state_->ended) return Fail("the Ogg stream has ended");
    const std::span<const std::uint8_t> whole = carry_.Take(samples, byteCount);
    const std::size_t channels = format_.channels;
    const std::size_t frames = whole.size() / (2 * channels);
    const std::uint8_t* in = whole.data();
    for (std::size_t done = 0; done < frames;) {
        const std::size_t n = std::min(kFramesPerPiece, frames - done);
        float** buffer = vorbis_analysis_buffer(&state_->dsp, static_cast<int>(n));
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t c = 0; c < channels; ++c, in += 2)
                buffer[c][i] = static_cast<float>(SampleAt(in)) * (1.0f / 32768.0f);
        vorbis_analysis_wrote(&state_->dsp, static_cast<int>(n));
        if (!Drain()) return false;
        done += n;
    }
    return true;
}

bool TOggEncoder::Close() {
    if (!state_ || !sink_) return false;
    bool ok = !state_->failed;
    if (ok && !state_->ended) {
        vorbis_analysis_wrote(&state_->dsp, 0);
        ok = Drain() && WritePages(true);
    }
    if (ok && tag_ && config_->OGGID1Tag) {
        const std::string id3 = WriteID3v1(*tag_);
        ok = sink_->write(id3.data(), id3.size()) || Fail(sink_->error());
    }
    if (!sink_->close() && ok) ok = Fail(sink_->error());
    Release();
    return ok;
}

}  // namespace melvarin
