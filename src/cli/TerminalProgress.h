#pragma once
#include <functional>
#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <utility>

#include "app/UserPrompt.h"

namespace melvarin {

// "M:SS" or "H:MM:SS" for a duration in whole seconds (negative counts as 0).
std::string FormatDuration(double seconds);

// The progress of a grab on a terminal: one line, rewritten in place ("\r",
// the text, clear to end of line), for the first file not yet written. Each
// file (key: the track, 0-based, or -1 for a whole-disc image) is described
// first with its label and the seconds of audio it holds; its line then shows
// the stage, the percent, the speed as a multiple of real time ("12.3×") and
// the time left in that stage, cut to the terminal's width (the label first). Speed and time
// left come from the injected clock, so a test can set them exactly.
//
// Thread-safe; writes only to the stream given.
class TerminalProgress {
public:
    using Clock = std::function<double()>;  // seconds, never going back

    // `width`: the terminal's columns (a line takes at most width - 1 of them
    // so that it never wraps); 0 or less for 80. `keepFinished`: end a written
    // file's last line with a newline instead of clearing it (when the "wrote"
    // lines go elsewhere than the terminal).
    TerminalProgress(std::ostream& err, int width, Clock clock, bool keepFinished = false);

    // The system's monotonic clock.
    static Clock SteadyClock();

    void Describe(int key, std::string label, double audioSeconds);

    // File `key` is at `percent` (0-100) of the stage named `stage` (may be
    // empty): its line shows that; a new stage starts measuring anew.
    void Update(int key, const std::string& stage, int percent);
    // File `key` ended without being written (cancelled): its line goes.
    void End(int key);

    // The first unfinished file was written: its line goes (or stays, with
    // `keepFinished`), ready for the caller's "wrote" line.
    void FileWritten();

    // Removes the line (before other output on the terminal) / shows it again.
    // `measureAgain`: the speeds start anew (after a wait for the user).
    void Clear();
    void Redraw(bool measureAgain = false);

    // The current line without control characters; empty when no file is in work.
    std::string Line() const;

private:
    struct File {
        std::string label;
        double seconds = 0;
        bool active = false;
        std::string stage;
        int percent = 0;
        int startPercent = 0;
        double startTime = 0;
    };

    std::string LineLocked() const;
    void ShowLocked();
    void ClearLocked();

    std::ostream& err_;
    int width_;
    Clock clock_;
    bool keepFinished_;
    mutable std::mutex mutex_;
    std::map<int, File> files_;
    bool shown_ = false;
    std::string shownLine_;  // what the screen shows while shown_
};

// The prompt of a grab run from the terminal: removes the progress line
// before a message or question and shows it again after. Once `forced` is
// true (a signal ends the job), a question with Icon::Question (cancel?) is
// answered Yes and every other question, a retry too, No, without asking.
class ProgressPrompt : public UserPrompt {
public:
    ProgressPrompt(UserPrompt& inner, TerminalProgress* progress, std::function<bool()> forced)
        : inner_(inner), progress_(progress), forced_(std::move(forced)) {}

    void message(const std::string& text, Icon icon) override;
    bool ask(const std::string& text, Icon icon) override;
    bool askRetry(const std::string& text, Icon icon) override;

private:
    bool Asked(const std::string& text, Icon icon, bool retry);

    UserPrompt& inner_;
    TerminalProgress* progress_;
    std::function<bool()> forced_;
};

}  // namespace melvarin
