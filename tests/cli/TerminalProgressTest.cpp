#include "cli/TerminalProgress.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace melvarin;

namespace {

// The terminal as a user would see it: "\r" returns to the line's start, ESC[K
// clears to its end, "\n" keeps the line and opens the next.
std::string Screen(const std::string& bytes) {
    std::string done, line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            line.clear();  // every redraw clears to the end anyway
        } else if (bytes.compare(i, 3, "\x1b[K") == 0) {
            i += 2;
        } else if (bytes[i] == '\n') {
            done += line + '\n';
            line.clear();
        } else {
            line += bytes[i];
        }
    }
    return done + line;
}

struct RecordingPrompt : UserPrompt {
    void message(const std::string& text, Icon) override { seen += "message " + text + ";"; }
    bool ask(const std::string& text, Icon) override {
        seen += "ask " + text + ";";
        return false;
    }
    std::string seen;
};

}  // namespace

TEST(TerminalProgress, DurationsAsClockTimes) {
    EXPECT_EQ(FormatDuration(0), "0:00");
    EXPECT_EQ(FormatDuration(-3), "0:00");
    EXPECT_EQ(FormatDuration(59.6), "1:00");
    EXPECT_EQ(FormatDuration(3725), "1:02:05");
}

// Speed is audio seconds per second of the stage so far, time left the rest of
// the stage at that speed; a new stage starts measuring again.
TEST(TerminalProgress, LineShowsSpeedAndTimeLeftFromTheClock) {
    double now = 100;
    std::ostringstream err;
    TerminalProgress progress(err, 200, [&] { return now; });
    progress.Describe(0, "track 1 Кукушка", 240);
    progress.Describe(1, "track 2 Intro", 60);

    const struct {
        double at;
        int track;
        const char* stage;
        int percent;
        const char* line;
    } steps[] = {
        {100.0, 0, "Reading", 0, "track 1 Кукушка: Reading 0%"},
        {100.2, 0, "Reading", 1, "track 1 Кукушка: Reading 1%"},  // too early to tell a speed
        {104.0, 0, "Reading", 20, "track 1 Кукушка: Reading 20%  12.0\u00D7  0:16 left"},
        {105.0, 1, "Reading", 50, "track 1 Кукушка: Reading 20%  9.6\u00D7  0:20 left"},  // not first
        {106.0, 0, "Compressing", 10, "track 1 Кукушка: Compressing 10%"},
        {108.0, 0, "Compressing", 60, "track 1 Кукушка: Compressing 60%  60.0\u00D7  0:02 left"},
    };
    for (const auto& s : steps) {
        now = s.at;
        progress.Update(s.track, s.stage, s.percent);
        EXPECT_EQ(progress.Line(), s.line) << s.stage << s.percent;
        EXPECT_EQ(Screen(err.str()), s.line) << s.stage << s.percent;
    }
    // The same line again is not written again.
    const std::size_t written = err.str().size();
    progress.Update(0, "Compressing", 60);
    EXPECT_EQ(err.str().size(), written);

    // Written: track 1's line goes and track 2 takes it; ending track 1 then changes nothing.
    progress.FileWritten();
    progress.End(0);
    EXPECT_EQ(progress.Line(), "track 2 Intro: Reading 50%");
    progress.Redraw();
    EXPECT_EQ(Screen(err.str()), "track 2 Intro: Reading 50%");
    progress.End(1);
    EXPECT_EQ(progress.Line(), "");
    EXPECT_EQ(Screen(err.str()), "");
    EXPECT_EQ(err.str().find('\n'), std::string::npos);
}

TEST(TerminalProgress, WholeDiscCaptionsWidthAndKeptLines) {
    double now = 0;
    std::ostringstream err;
    TerminalProgress narrow(err, 21, [&] { return now; }, true);
    narrow.Describe(-1, "Альбом.wav", 3000);
    narrow.Update(-1, "", 5);
    now = 10;
    narrow.Update(-1, "", 10);
    // 20 columns: "Альбом.wav: 10%  15." counts letters, not bytes.
    EXPECT_EQ(narrow.Line(), "Альбом.wav: 10%  15.");
    narrow.FileWritten();
    narrow.End(-1);
    EXPECT_EQ(Screen(err.str()), "Альбом.wav: 10%  15.\n");

    // A long title is cut so that the percent stays on the line.
    std::ostringstream err3;
    TerminalProgress mid(err3, 31, [&] { return now; });
    mid.Describe(0, "track 1 A very long title indeed", 100);
    mid.Update(0, "Reading", 5);
    EXPECT_EQ(mid.Line(), "track 1 A very lo\u2026: Reading 5%");

    // A message or question takes the line away first and gives it back after;
    // a forced end answers the cancel question Yes and any other (a retry too)
    // No, unasked.
    std::ostringstream err2;
    TerminalProgress progress(err2, 80, [&] { return now; });
    progress.Describe(3, "", 100);
    progress.Update(3, "Reading", 5);
    RecordingPrompt inner;
    bool forced = false;
    ProgressPrompt prompt(inner, &progress, [&] { return forced; });
    prompt.message("warning", Icon::Warning);
    EXPECT_NE(err2.str().find("\r\x1b[K"), std::string::npos);
    EXPECT_EQ(Screen(err2.str()), "track 4: Reading 5%");
    now = 20;
    progress.Update(3, "Reading", 25);
    EXPECT_NE(progress.Line().find(" left"), std::string::npos);
    EXPECT_FALSE(prompt.ask("go on?", Icon::Question));
    EXPECT_EQ(progress.Line(), "track 4: Reading 25%");  // the wait for the answer is no reading time
    forced = true;
    EXPECT_TRUE(prompt.ask("cancel?", Icon::Question));
    EXPECT_FALSE(prompt.ask("no space, go on?", Icon::Warning));
    EXPECT_FALSE(prompt.askRetry("try again?", Icon::Question));
    EXPECT_EQ(inner.seen, "message warning;ask go on?;");
}
