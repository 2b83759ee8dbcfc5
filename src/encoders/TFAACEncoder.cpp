#include "encoders/TFAACEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <iterator>
#include <mutex>

#include "app/SettingsRecord.h"
#include "disc/SampleUtils.h"

namespace melvarin {

namespace {

constexpr int kBitratesKbps[] = {64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr int kSampleRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000, 7350};
constexpr int kAdtsHeaderBytes = 7;
constexpr int kMaxAdtsFrameBytes = (1 << 13) - 1;

int RateIndex(std::uint32_t rate) {
    const auto* it = std::find(std::begin(kSampleRates), std::end(kSampleRates), static_cast<int>(rate));
    return it == std::end(kSampleRates) ? -1 : static_cast<int>(it - std::begin(kSampleRates));
}

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace

struct TFAACEncoder::State {
    AVCodecContext* context = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = av_packet_alloc();

    ~State() {
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&context);
    }
};

TFAACEncoder::TFAACEncoder() {
    // FFmpeg would print its statistics and warnings over the program's own
    // output; failures reach the caller through LastError().
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
}

TFAACEncoder::~TFAACEncoder() {
    Close();
    Release();
}

void TFAACEncoder::Release() {
    state_.reset();
    sink_.reset();
}

bool TFAACEncoder::SetFormat(const PcmFormat* format) {
    if (!format) return false;
    if (format->bitsPerSample != 16 || format->channels < 1 || format->channels > 2)
        return Fail("AAC takes 16-bit mono or stereo samples");
    if (RateIndex(format->samplesPerSec) < 0)
        return Fail("AAC cannot carry " + std::to_string(format->samplesPerSec) + " samples per second");
    format_ = *format;
    return true;
}

int TFAACEncoder::OpenSink(std::unique_ptr<OutputSink> sink, std::uint64_t) {
    if (state_ || sink_) return FailOpen("the AAC stream is already open");
    if (!config_) return FailOpen("no encoder configuration");
    if (!sink) return FailOpen("no output");
    const AVCodec* codec = avcodec_find_encoder_by_name("aac");
    if (!codec) return FailOpen("this FFmpeg has no AAC encoder");
    channels_ = config_->FAACMono ? 1 : format_.channels;
    const int perChannel = kBitratesKbps[std::min<std::size_t>(config_->FAACBitrate, std::size(kBitratesKbps) - 1)] * 1000 / 2;
    // Main and LTP where the encoder opens them, else Low Complexity.
    const int wanted = config_->FAACObjectType == 1   ? FF_PROFILE_AAC_MAIN
                       : config_->FAACObjectType == 2 ? FF_PROFILE_AAC_LTP
                                                      : FF_PROFILE_AAC_LOW;
    auto st = std::make_unique<State>();
    int opened = -1;
    for (const int profile : {wanted, int(FF_PROFILE_AAC_LOW)}) {
        avcodec_free_context(&st->context);
        st->context = avcodec_alloc_context3(codec);
        if (!st->context) return FailOpen("out of memory for the AAC encoder");
        AVCodecContext* c = st->context;
        c->sample_fmt = AV_SAMPLE_FMT_FLTP;
        c->sample_rate = static_cast<int>(format_.samplesPerSec);
        av_channel_layout_default(&c->ch_layout, channels_);
        c->bit_rate = static_cast<std::int64_t>(perChannel) * channels_;
        c->cutoff = 18000;
        c->profile = profile;
        c->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
        av_opt_set_int(c->priv_data, "aac_tns", config_->FAACUseTns ? 1 : 0, 0);
        av_opt_set_int(c->priv_data, "aac_ms", config_->FAACAllowMS ? -1 : 0, 0);
        opened = avcodec_open2(c, codec, nullptr);
        if (opened == 0) {
            objectType_ = profile + 1;
            break;
        }
    }
    if (opened < 0) return FailOpen("the AAC encoder refused the settings: " + AvError(opened));
    st->frame = av_frame_alloc();
    if (!st->frame) return FailOpen("out of memory for the AAC encoder");
    st->frame->nb_samples = st->context->frame_size;
    st->frame->format = AV_SAMPLE_FMT_FLTP;
    av_channel_layout_copy(&st->frame->ch_layout, &st->context->ch_layout);
    if (av_frame_get_buffer(st->frame, 0) < 0) return FailOpen("out of memory for the AAC encoder");
    mpeg2_ = !config_->FAACMPEG4 && objectType_ != 4;
    state_ = std::move(st);
    sink_ = std::move(sink);
    carry_.Reset(static_cast<std::size_t>(format_.channels) * 2);
    filled_ = 0;
    error_.clear();
    return state_->context->frame_size * format_.channels * 2;
}

bool TFAACEncoder::WritePacket(const std::uint8_t* data, std::size_t size) {
    const std::size_t length = size + kAdtsHeaderBytes;
    if (length > kMaxAdtsFrameBytes) return Fail("an AAC frame too large for ADTS");
    const int profile = objectType_ - 1;
    const int rate = RateIndex(format_.samplesPerSec);
    const std::uint8_t header[kAdtsHeaderBytes] = {
        0xFF,                                                                  // syncword
        static_cast<std::uint8_t>(0xF0 | (mpeg2_ ? 0x08 : 0) | 0x01),          // ID, layer 0, no CRC
        static_cast<std::uint8_t>(profile << 6 | rate << 2 | channels_ >> 2),  // profile, rate, channels (high bit)
        static_cast<std::uint8_t>((channels_ & 3) << 6 | length >> 11),        // channels, frame length
        static_cast<std::uint8_t>(length >> 3),
        static_cast<std::uint8_t>((length & 7) << 5 | 0x1F),                   // buffer fullness 0x7FF: variable
        0xFC,                                                                  // one raw data block
    };
    if (!sink_->write(header, sizeof header) || !sink_->write(data, size)) return Fail(sink_->error());
    return true;
}

bool TFAACEncoder::SendFrame(int frames, bool flush) {
    AVCodecContext* c = state_->context;
    int sent = 0;
    if (flush) {
        sent = avcodec_send_frame(c, nullptr);
    } else {
        state_->frame->nb_samples = frames;
        sent = avcodec_send_frame(c, state_->frame);
    }
    if (sent < 0) return Fail("AAC encoding failed: " + AvError(sent));
    for (;;) {
        const int got = avcodec_receive_packet(c, state_->packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) break;
        if (got < 0) return Fail("AAC encoding failed: " + AvError(got));
        const bool ok = WritePacket(state_->packet->data, static_cast<std::size_t>(state_->packet->size));
        av_packet_unref(state_->packet);
        if (!ok) return false;
    }
    return true;
}

bool TFAACEncoder::Encode(const void* samples, std::size_t byteCount) {
    if (!state_ || !sink_) return Fail("no AAC stream is open");
    const std::span<const std::uint8_t> whole = carry_.Take(samples, byteCount);
    std::size_t frames = whole.size() / (2 * format_.channels);
    pcm_.resize(frames * format_.channels);
    for (std::size_t i = 0; i < pcm_.size(); ++i)
        pcm_[i] = SampleAt(whole.data() + 2 * i);
    if (channels_ == 1 && format_.channels == 2) frames = StereoToMono(pcm_.data(), pcm_.size());
    const int frameSize = state_->context->frame_size;
    const std::int16_t* in = pcm_.data();
    for (std::size_t done = 0; done < frames; ++done) {
        if (filled_ == 0 && av_frame_make_writable(state_->frame) < 0) return Fail("out of memory for the AAC encoder");
        for (int ch = 0; ch < channels_; ++ch)
            reinterpret_cast<float*>(state_->frame->extended_data[ch])[filled_] = *in++ * (1.0f / 32768.0f);
        if (++filled_ == frameSize) {
            filled_ = 0;
            if (!SendFrame(frameSize, false)) return false;
        }
    }
    return true;
}

bool TFAACEncoder::Close() {
    if (!state_ || !sink_) return false;
    bool ok = (filled_ == 0 || SendFrame(filled_, false)) && SendFrame(0, true);
    filled_ = 0;
    if (!sink_->close() && ok) ok = Fail(sink_->error());
    Release();
    return ok;
}

}  // namespace melvarin
