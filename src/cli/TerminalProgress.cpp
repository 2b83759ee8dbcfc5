#include "cli/TerminalProgress.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace melvarin {

namespace {

// Time a stage must have run before its speed is shown: the first blocks of a
// track say more about the drive spinning up than about its pace.
constexpr double kMinMeasureSeconds = 0.5;

// `text` cut to at most `columns` UTF-8 characters (each taken as one column).
std::string CutToColumns(const std::string& text, std::size_t columns) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (count++ == columns) return text.substr(0, i);
    }
    return text;
}

// UTF-8 characters of `text` (each taken as one column).
std::size_t Columns(const std::string& text) {
    std::size_t count = 0;
    for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

}  // namespace

std::string FormatDuration(double seconds) {
    const long total = seconds > 0 ? std::lround(seconds) : 0;
    char buf[32];
    if (total >= 3600)
        std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(buf, sizeof buf, "%ld:%02ld", total / 60, total % 60);
    return buf;
}

TerminalProgress::TerminalProgress(std::ostream& err, int width, Clock clock, bool keepFinished)
    : err_(err), width_(width > 0 ? width : 80), clock_(std::move(clock)), keepFinished_(keepFinished) {}

TerminalProgress::Clock TerminalProgress::SteadyClock() {
    return [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    };
}

void TerminalProgress::Describe(int key, std::string label, double audioSeconds) {
    std::lock_guard lock(mutex_);
    File& file = files_[key];
    file.label = std::move(label);
    file.seconds = audioSeconds;
}

void TerminalProgress::Update(int key, const std::string& stage, int percent) {
    std::lock_guard lock(mutex_);
    File& file = files_[key];
    const double now = clock_();
    if (!file.active || stage != file.stage || percent < file.percent) {
        file.active = true;
        file.stage = stage;
        file.startPercent = percent;
        file.startTime = now;
    }
    file.percent = percent;
    ShowLocked();
}

void TerminalProgress::End(int key) {
    std::lock_guard lock(mutex_);
    const auto it = files_.find(key);
    if (it == files_.end() || !it->second.active) return;
    ClearLocked();
    files_.erase(it);
    ShowLocked();
}

void TerminalProgress::FileWritten() {
    std::lock_guard lock(mutex_);
    for (auto it = files_.begin(); it != files_.end(); ++it) {
        if (!it->second.active) continue;
        if (keepFinished_ && shown_) {
            err_ << '\n' << std::flush;
            shown_ = false;
        } else {
            ClearLocked();
        }
        files_.erase(it);
        return;
    }
    ClearLocked();
}

void TerminalProgress::Clear() {
    std::lock_guard lock(mutex_);
    ClearLocked();
}

void TerminalProgress::Redraw(bool measureAgain) {
    std::lock_guard lock(mutex_);
    if (measureAgain) {
        const double now = clock_();
        for (auto& [key, file] : files_) {
            file.startPercent = file.percent;
            file.startTime = now;
        }
    }
    ShowLocked();
}

std::string TerminalProgress::Line() const {
    std::lock_guard lock(mutex_);
    return LineLocked();
}

std::string TerminalProgress::LineLocked() const {
    for (const auto& [key, file] : files_) {
        if (!file.active) continue;
        std::string label = file.label.empty() ? (key < 0 ? std::string("disc") : "track " + std::to_string(key + 1))
                                               : file.label;
        std::string rest = ": ";
        if (!file.stage.empty()) rest += file.stage + ' ';
        rest += std::to_string(file.percent) + '%';
        const double elapsed = clock_() - file.startTime;
        const double doneSeconds = (file.percent - file.startPercent) / 100.0 * file.seconds;
        if (elapsed >= kMinMeasureSeconds && doneSeconds > 0) {
            const double speed = doneSeconds / elapsed;
            char buf[32];
            std::snprintf(buf, sizeof buf, "  %.1f\u00D7", speed);
            rest += buf;
            rest += "  " + FormatDuration((100 - file.percent) / 100.0 * file.seconds / speed) + " left";
        }
        // A long title gives way first, so that the numbers stay in sight.
        const std::size_t columns = static_cast<std::size_t>(width_ - 1);
        const std::size_t restColumns = Columns(rest), labelColumns = Columns(label);
        if (labelColumns + restColumns > columns && restColumns + 2 <= columns)
            label = CutToColumns(label, columns - restColumns - 1) + "\u2026";
        return CutToColumns(label + rest, columns);
    }
    return {};
}

void TerminalProgress::ShowLocked() {
    const std::string line = LineLocked();
    if (line.empty()) {
        ClearLocked();
        return;
    }
    // The line on the screen already says this: a terminal is not kept busy
    // with the same text while a file's last blocks are encoded.
    if (shown_ && line == shownLine_) return;
    err_ << "\r" << line << "\x1b[K" << std::flush;
    shown_ = true;
    shownLine_ = line;
}

void TerminalProgress::ClearLocked() {
    if (!shown_) return;
    err_ << "\r\x1b[K" << std::flush;
    shown_ = false;
}

void ProgressPrompt::message(const std::string& text, Icon icon) {
    if (progress_) progress_->Clear();
    inner_.message(text, icon);
    if (progress_) progress_->Redraw();
}

bool ProgressPrompt::ask(const std::string& text, Icon icon) { return Asked(text, icon, false); }

bool ProgressPrompt::askRetry(const std::string& text, Icon icon) { return Asked(text, icon, true); }

bool ProgressPrompt::Asked(const std::string& text, Icon icon, bool retry) {
    if (forced_ && forced_()) return !retry && icon == Icon::Question;
    if (progress_) progress_->Clear();
    const bool answer = retry ? inner_.askRetry(text, icon) : inner_.ask(text, icon);
    if (forced_ && forced_()) return !retry && icon == Icon::Question;
    if (progress_) progress_->Redraw(true);
    return answer;
}

}  // namespace melvarin
