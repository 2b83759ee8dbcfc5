#include <filesystem>
#include <system_error>

#include "app/Messages.h"
#include "app/UserPrompt.h"
#include "cddb/TDiscTags.h"
#include "disc/BlockReader.h"
#include "disc/CueSheet.h"
#include "disc/SampleUtils.h"
#include "disc/TGrabber.h"
#include "drive/TCDROM.h"
#include "encoders/PcmFormat.h"
#include "encoders/TEncManager.h"

// The reading jobs of TGrabber: one track into a file, the whole disc into one.

namespace melvarin {

namespace {

const char kCaption[] = "Melvarin v3.5";

void RemoveFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

bool SwapForDrive(const SettingsRecord& settings) {
    const std::size_t drive = settings.DeviceName;
    return drive < sizeof settings.BigEndian && settings.BigEndian[drive] != 0;
}

}  // namespace

TGrabber::RangeEnd TGrabber::ReadRange(const GrabRange& range, TEncoder& encoder, std::int16_t* peak,
                                       const std::function<void(int percent)>& progress, int cancelTrack) {
    BlockReader reader(drive_, Rereader, settings_.ExtractMethod, settings_.RCD != 0, SwapForDrive(settings_),
                       settings_.NumSecRead);
    const int n = reader.BlockSectors();
    int shown = -1;
    for (std::int32_t pos = range.First; pos < range.End;) {
        if (StopRequested() && ConfirmCancel(17)) {
            if (cancelTrack >= 0) State(cancelTrack, Message(18));
            return RangeEnd::Cancelled;
        }
        const int h = static_cast<int>(std::min<std::int32_t>(n, range.End - pos));
        reader.Read(range, pos, h);
        const std::size_t bytes = std::size_t(h) * kCdSectorBytes;
        if (peak) FindPeak(reader.Data(), bytes, *peak);
        if (!encoder.Encode(reader.Data(), bytes)) return RangeEnd::EncoderFailed;
        pos += n;
        const int percent = GrabPercent(range, pos);
        if (percent != shown) {
            shown = percent;
            if (progress) progress(percent);
        }
    }
    return RangeEnd::Done;
}

bool TGrabber::GrabTrack(int track, const std::string& target) {
    cancelled_ = false;
    if (track < 0 || track >= disc_.trackCount()) return false;
    const GrabRange range = TrackRange(disc_, track);
    EncoderConfig& config = settings_.EncoderConfig;
    const bool onTheFly = config.OnTheFlyEncoding != 0;
    const std::uint8_t savedIndex = config.EncoderIndex;
    if (!onTheFly) config.EncoderIndex = 0;

    const PcmFormat format = PcmFormat::pcm16(44100, 2);
    std::unique_ptr<TEncoder> encoder = encoders_.CreateEncoder(&config, &format);
    if (encoder) {
        encoder->SetTag(Tags ? Tags->GetTag(unsigned(track)) : nullptr);
        if (encoder->Open(target, std::uint64_t(range.Total()) * kCdSectorBytes) == 0) {
            prompt_.message(encoder->LastError(), Icon::Error);
            encoder.reset();
        }
    }
    if (!encoder) {
        config.EncoderIndex = savedIndex;
        return false;
    }

    std::int16_t peak = 0;
    const RangeEnd end = ReadRange(
        range, *encoder, config.Normalize ? &peak : nullptr,
        [&](int percent) { State(track, Message(19) + " " + std::to_string(percent) + "%"); }, track);
    bool closed = encoder->Close();
    if (end == RangeEnd::EncoderFailed || (end == RangeEnd::Done && !closed))
        prompt_.message(encoder->LastError(), Icon::Error);
    encoder.reset();
    config.EncoderIndex = savedIndex;
    if (end != RangeEnd::Done || !closed) {
        RemoveFile(target);
        return false;
    }
    if (!onTheFly) encoders_.Gain = NormalisationGain(peak, config.SetMin, config.SetMax, config.Min, config.Max);
    disc_.Tracks[track].Grabbed = 1;
    return true;
}

bool TGrabber::GrabDisc(const std::string& path) {
    cancelled_ = false;
    EncoderConfig& config = settings_.EncoderConfig;
    const std::uint8_t savedNormalize = config.Normalize;
    config.Normalize = 0;
    const GrabRange range = AudioRange(disc_);

    const PcmFormat format = PcmFormat::pcm16(44100, 2);
    std::unique_ptr<TEncoder> encoder;
    if (range.Total() > 0) encoder = encoders_.CreateEncoder(&config, &format);
    if (encoder) {
        encoder->SetTag(nullptr);
        if (encoder->Open(path, 0) == 0) encoder.reset();
    }
    if (!encoder) {
        prompt_.message("Fail to run encoder!", Icon::Warning);
        config.Normalize = savedNormalize;
        return false;
    }

    const RangeEnd end = ReadRange(
        range, *encoder, nullptr,
        [&](int percent) {
            if (Callbacks.Caption)
                Callbacks.Caption(std::string(kCaption) + " - [ " + std::to_string(percent) + "% ]");
        },
        -1);
    const bool closed = encoder->Close();
    if (end == RangeEnd::EncoderFailed || (end == RangeEnd::Done && !closed))
        prompt_.message(encoder->LastError(), Icon::Error);
    encoder.reset();
    if (Callbacks.Caption) Callbacks.Caption(kCaption);
    config.Normalize = savedNormalize;
    if (end != RangeEnd::Done || !closed) {
        RemoveFile(path);
        return false;
    }
    if (Callbacks.FileWritten) Callbacks.FileWritten(path);
    if (settings_.CUE && WriteCueSheet(path, disc_, prompt_) && Callbacks.FileWritten)
        Callbacks.FileWritten(CueSheetPath(path));
    prompt_.message("Rip Complette!", Icon::Information);
    return true;
}

}  // namespace melvarin
