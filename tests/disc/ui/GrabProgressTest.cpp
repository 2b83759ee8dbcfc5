#include <gtest/gtest.h>

#include <vector>

#include "disc/ui/GrabProgress.h"

namespace melvarin {
namespace {

constexpr GrabStage R = GrabStage::Reading, E = GrabStage::Encoding, D = GrabStage::Done, C = GrabStage::Cancelled;

// One report of the grab (a file started, or its progress) and what the window
// shows after it.
struct Step {
    bool started;  // else a progress report
    int track;
    GrabStage stage;
    int percent;
    int current;   // current() afterwards
    int permille;  // permille() afterwards
};

struct Case {
    const char* name;
    std::vector<GrabPlannedFile> files;
    std::vector<Step> steps;
};

Step Start(int track, int current, int permille) { return {true, track, R, 0, current, permille}; }

TEST(GrabProgress, CurrentTrackIsTheOneBeingReadAndTheBarWeighsEveryFile) {
    const Case cases[] = {
        {"on the fly, the second file longer",
         {{0, 100, false}, {2, 300, false}},
         {Start(0, 0, 0), {false, 0, R, 50, 0, 125},
          // A file that starts while the first is still read does not take over.
          Start(2, 0, 125), {false, 2, R, 10, 0, 200},
          {false, 0, R, 100, 2, 325}, {false, 2, R, 60, 2, 700},
          {false, 0, D, 100, 2, 700}, {false, 0, R, 50, 2, 700},
          {false, 2, R, 100, 2, 1000}, {false, 2, D, 100, 2, 1000}}},
        {"temporary files: reading and encoding are half each, encoding overlaps the next read",
         {{1, 200, true}, {3, 200, true}},
         {Start(1, 1, 0), {false, 1, R, 100, 1, 250},
          Start(3, 3, 250), {false, 1, E, 40, 3, 350},
          {false, 3, R, 20, 3, 400}, {false, 1, D, 100, 3, 550},
          {false, 3, R, 100, 3, 750},
          // Nothing is read any more: the file being encoded is the current one.
          {false, 3, E, 0, 3, 750}, {false, 3, E, 100, 3, 1000}}},
        {"a cancelled file ends; the next started one takes over",
         {{0, 100, false}, {1, 100, false}},
         {Start(0, 0, 0), {false, 0, R, 30, 0, 150},
          Start(1, 0, 150), {false, 0, C, 0, 1, 150},
          {false, 1, C, 0, 1, 150}}},
        {"whole disc: its reading alone, no current track",
         {{-1, 1000, true}},
         {{false, -1, R, 7, -1, 70}, {false, -1, R, 100, -1, 1000}}},
        {"reports of tracks outside the grab change nothing",
         {{0, 100, false}},
         {Start(0, 0, 0), {false, 5, R, 90, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GrabProgress p;
        p.planned(c.files);
        EXPECT_EQ(p.current(), -1);
        EXPECT_EQ(p.permille(), 0);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            const int before = p.current();
            const bool changed = s.started ? p.started(s.track) : p.progress(s.track, s.stage, s.percent);
            EXPECT_EQ(p.current(), s.current) << "step " << i;
            EXPECT_EQ(p.permille(), s.permille) << "step " << i;
            EXPECT_EQ(changed, before != s.current) << "step " << i;
        }
    }
}

}  // namespace
}  // namespace melvarin
