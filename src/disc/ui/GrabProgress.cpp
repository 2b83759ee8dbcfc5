#include "disc/ui/GrabProgress.h"

#include <algorithm>

namespace melvarin {

GrabProgress::GrabProgress(std::vector<File> files, bool twoPass, std::string readingText, std::string encodingText,
                           std::string doneText, std::string cancelledText)
    : twoPass_(twoPass), reading_(std::move(readingText)), encoding_(std::move(encodingText)),
      done_(std::move(doneText)), cancelled_(std::move(cancelledText)) {
    for (const File& f : files) entries_.push_back({f});
}

GrabProgress::Entry* GrabProgress::find(int track) {
    for (Entry& e : entries_)
        if (e.file.track == track) return &e;
    return nullptr;
}

bool GrabProgress::pickCurrent() {
    const auto earliest = [this](Stage stage) -> const Entry* {
        for (const Entry& e : entries_)
            if (e.stage == stage) return &e;
        return nullptr;
    };
    const Entry* chosen = earliest(Stage::Reading);
    if (!chosen) chosen = earliest(Stage::Encoding);
    if (!chosen || chosen->file.track == current_) return false;
    current_ = chosen->file.track;
    return true;
}

bool GrabProgress::started(int track) {
    Entry* e = find(track);
    if (e && e->stage == Stage::Waiting) e->stage = Stage::Reading;
    return pickCurrent();
}

bool GrabProgress::state(int track, std::string_view text) {
    Entry* e = find(track);
    if (!e) return false;
    const int percent = percentOf(text);
    if (!done_.empty() && text == done_) {
        e->stage = Stage::Ended;
        e->read = e->encoded = 100;
    } else if (!cancelled_.empty() && text == cancelled_) {
        e->stage = Stage::Ended;
    } else if (text.starts_with(encoding_) && percent >= 0) {
        e->stage = Stage::Encoding;
        e->read = 100;
        e->encoded = percent;
    } else if (text.starts_with(reading_) && percent >= 0 && e->stage != Stage::Ended) {
        e->read = percent;
        e->stage = percent >= 100 ? Stage::Encoding : Stage::Reading;
    }
    return pickCurrent();
}

bool GrabProgress::done(int track) {
    Entry* e = find(track);
    if (!e) return false;
    e->stage = Stage::Ended;
    e->read = e->encoded = 100;
    return pickCurrent();
}

void GrabProgress::caption(std::string_view text) {
    const int percent = percentOf(text);
    Entry* e = find(-1);
    if (!e || percent < 0) return;
    e->read = percent;
    e->stage = percent >= 100 ? Stage::Encoding : Stage::Reading;
}

bool GrabProgress::currentReading() const {
    for (const Entry& e : entries_)
        if (e.file.track == current_) return e.stage == Stage::Reading;
    return false;
}

int GrabProgress::permille() const {
    std::int64_t total = 0;
    std::int64_t done = 0;  // in sectors x 200
    for (const Entry& e : entries_) {
        const std::int64_t w = std::max<std::int64_t>(e.file.sectors, 0);
        total += w;
        const int parts = twoPass_ && e.file.track >= 0 ? e.read + e.encoded : 2 * e.read;
        done += w * parts;
    }
    if (total <= 0) return 0;
    return static_cast<int>(std::clamp<std::int64_t>(done * 1000 / (total * 200), 0, 1000));
}

int GrabProgress::percentOf(std::string_view text) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const std::size_t sign = text.rfind('%');
    if (sign == std::string_view::npos) return -1;
    std::size_t begin = sign;
    while (begin > 0 && sign - begin < 3 && digit(text[begin - 1])) --begin;
    if (begin == sign || (begin > 0 && digit(text[begin - 1]))) return -1;
    int value = 0;
    for (std::size_t i = begin; i < sign; ++i) value = value * 10 + (text[i] - '0');
    return value <= 100 ? value : -1;
}

}  // namespace melvarin
