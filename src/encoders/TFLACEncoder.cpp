#include "encoders/TFLACEncoder.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>

#include <algorithm>
#include <iterator>

#include "app/SettingsRecord.h"
#include "tags/ID3v1.h"
#include "tags/VorbisComment.h"

namespace melvarin {

namespace {

constexpr unsigned kBlockSizes[] = {256, 512, 1024, 1152, 2048, 2304, 4608, 4096, 8192, 16384, 32768};
constexpr unsigned kLpcOrders[] = {0, 2, 4, 6, 8, 10, 12};
// Sample frames converted and handed to the library at once.
constexpr std::size_t kFramesPerPiece = 4096;

template <std::size_t N>
unsigned Entry(const unsigned (&table)[N], unsigned index) {
    return table[std::min<std::size_t>(index, N - 1)];
}

FLAC__StreamEncoderWriteStatus WriteTo(const FLAC__StreamEncoder*, const FLAC__byte buffer[], size_t bytes, unsigned,
                                       unsigned, void* sink) {
    return static_cast<OutputSink*>(sink)->write(buffer, bytes) ? FLAC__STREAM_ENCODER_WRITE_STATUS_OK
                                                                 : FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
}

FLAC__StreamEncoderSeekStatus SeekIn(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* sink) {
    return static_cast<OutputSink*>(sink)->seek(offset) ? FLAC__STREAM_ENCODER_SEEK_STATUS_OK
                                                         : FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
}

FLAC__StreamEncoderTellStatus TellIn(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* sink) {
    *offset = static_cast<OutputSink*>(sink)->tell();
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

}  // namespace

// The library's encoder and the metadata blocks it refers to until it finishes.
struct TFLACEncoder::State {
    FLAC__StreamEncoder* encoder = FLAC__stream_encoder_new();
    FLAC__StreamMetadata* comments = nullptr;

    ~State() {
        if (encoder) FLAC__stream_encoder_delete(encoder);
        if (comments) FLAC__metadata_object_delete(comments);
    }
};

TFLACEncoder::TFLACEncoder() = default;

TFLACEncoder::~TFLACEncoder() {
    Close();
    Release();
}

void TFLACEncoder::Release() {
    state_.reset();
    sink_.reset();
    block_.clear();
}

bool TFLACEncoder::SetFormat(const PcmFormat* format) {
    if (!format) return false;
    if (format->bitsPerSample != 16 || format->channels < 1 || format->channels > 2 || format->samplesPerSec == 0)
        return Fail("FLAC takes 16-bit mono or stereo samples");
    format_ = *format;
    return true;
}

int TFLACEncoder::OpenSink(std::unique_ptr<OutputSink> sink, std::uint64_t expectedBytes) {
    if (state_ || sink_) return FailOpen("the FLAC stream is already open");
    if (!config_) return FailOpen("no encoder configuration");
    if (!sink) return FailOpen("no output");
    auto st = std::make_unique<State>();
    if (!st->encoder) return FailOpen("the FLAC encoder could not start");
    FLAC__StreamEncoder* e = st->encoder;
    const unsigned channels = format_.channels;
    const unsigned blockSize = Entry(kBlockSizes, config_->BlockSize);
    const bool stereo = channels == 2;
    FLAC__stream_encoder_set_channels(e, channels);
    FLAC__stream_encoder_set_bits_per_sample(e, 16);
    FLAC__stream_encoder_set_sample_rate(e, format_.samplesPerSec);
    FLAC__stream_encoder_set_do_mid_side_stereo(e, stereo && (config_->MSC || config_->AMSC));
    FLAC__stream_encoder_set_loose_mid_side_stereo(e, stereo && !config_->MSC && config_->AMSC);
    FLAC__stream_encoder_set_blocksize(e, blockSize);
    FLAC__stream_encoder_set_verify(e, false);
    FLAC__stream_encoder_set_streamable_subset(e, false);
    FLAC__stream_encoder_set_do_escape_coding(e, config_->EscapeCoding != 0);
    FLAC__stream_encoder_set_do_exhaustive_model_search(e, config_->EMSCoding != 0);
    FLAC__stream_encoder_set_max_lpc_order(e, Entry(kLpcOrders, config_->LPCOrder));
    FLAC__stream_encoder_set_min_residual_partition_order(e, config_->RPOMin);
    FLAC__stream_encoder_set_max_residual_partition_order(e, config_->RPOMax);
    FLAC__stream_encoder_set_total_samples_estimate(e, expectedBytes / (2 * channels));
    if (tag_) {
        const auto fields = VorbisCommentFields(*tag_);
        if (!fields.empty()) {
            st->comments = FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT);
            if (!st->comments) return FailOpen("out of memory for the FLAC tag");
            for (const auto& [name, value] : fields) {
                FLAC__StreamMetadata_VorbisComment_Entry entry;
                if (!FLAC__metadata_object_vorbiscomment_entry_from_name_value_pair(&entry, name.c_str(), value.c_str()) ||
                    !FLAC__metadata_object_vorbiscomment_append_comment(st->comments, entry, false))
                    return FailOpen("the FLAC tag could not be made");
            }
            FLAC__stream_encoder_set_metadata(e, &st->comments, 1);
        }
    }
    const FLAC__StreamEncoderInitStatus init =
        FLAC__stream_encoder_init_stream(e, &WriteTo, &SeekIn, &TellIn, nullptr, sink.get());
    if (init != FLAC__STREAM_ENCODER_INIT_STATUS_OK)
        return FailOpen(std::string("the FLAC encoder refused the settings: ") + FLAC__StreamEncoderInitStatusString[init]);
    state_ = std::move(st);
    sink_ = std::move(sink);
    carry_.Reset(std::size_t{channels} * 2);
    block_.resize(kFramesPerPiece * channels);
    error_.clear();
    return static_cast<int>(blockSize * channels * 2);
}

bool TFLACEncoder::Encode(const void* samples, std::size_t byteCount) {
    if (!state_ || !sink_) return Fail("no FLAC stream is open");
    const std::span<const std::uint8_t> whole = carry_.Take(samples, byteCount);
    const std::size_t channels = format_.channels;
    const std::size_t frames = whole.size() / (2 * channels);
    const std::uint8_t* in = whole.data();
    for (std::size_t done = 0; done < frames;) {
        const std::size_t n = std::min(kFramesPerPiece, frames - done);
        for (std::size_t i = 0; i < n * channels; ++i, in += 2)
            block_[i] = SampleAt(in);
        if (!FLAC__stream_encoder_process_interleaved(state_->encoder, block_.data(), static_cast<unsigned>(n))) {
            const std::string why = sink_->error();
            return Fail("FLAC encoding failed" + (why.empty() ? std::string() : ": " + why));
        }
        done += n;
    }
    return true;
}

bool TFLACEncoder::Close() {
    if (!state_ || !sink_) return false;
    bool ok = FLAC__stream_encoder_finish(state_->encoder) != 0;
    if (!ok) {
        const std::string why = sink_->error();
        Fail("the FLAC file could not be finished" + (why.empty() ? std::string() : ": " + why));
    }
    if (ok && tag_ && config_->FLACWriteID1) {
        const std::string id3 = WriteID3v1(*tag_);
        ok = (sink_->seek(sink_->size()) && sink_->write(id3.data(), id3.size())) || Fail(sink_->error());
    }
    if (!sink_->close() && ok) ok = Fail(sink_->error());
    Release();
    return ok;
}

}  // namespace melvarin
