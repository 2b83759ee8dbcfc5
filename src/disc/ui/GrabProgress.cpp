#include "disc/ui/GrabProgress.h"

#include <algorithm>

namespace melvarin {

void GrabProgress::planned(const std::vector<GrabPlannedFile>& files) {
    entries_.clear();
    current_ = -1;
    for (const GrabPlannedFile& f : files) entries_.push_back({f});
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

bool GrabProgress::progress(int track, GrabStage stage, int percent) {
    Entry* e = find(track);
    if (!e) return false;
    percent = std::clamp(percent, 0, 100);
    switch (stage) {
    case GrabStage::Done:
        e->stage = Stage::Ended;
        e->read = e->encoded = 100;
        break;
    case GrabStage::Cancelled:
        e->stage = Stage::Ended;
        break;
    case GrabStage::Encoding:
        e->stage = Stage::Encoding;
        e->read = 100;
        e->encoded = percent;
        break;
    case GrabStage::Reading:
        if (e->stage == Stage::Ended) break;
        e->read = percent;
        e->stage = percent >= 100 ? Stage::Encoding : Stage::Reading;
        break;
    }
    return pickCurrent();
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
        const int parts = e.file.twoPass && e.file.track >= 0 ? e.read + e.encoded : 2 * e.read;
        done += w * parts;
    }
    if (total <= 0) return 0;
    return static_cast<int>(std::clamp<std::int64_t>(done * 1000 / (total * 200), 0, 1000));
}

}  // namespace melvarin
