#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "disc/ui/GrabProgress.h"

namespace melvarin {
namespace {

// One report of the grab and what the window shows after it.
struct Step {
    enum Kind { Started, State, Done, Caption } kind;
    int track;
    std::string text;
    int current;   // current() afterwards
    int permille;  // permille() afterwards
};

struct Case {
    const char* name;
    std::vector<GrabProgress::File> files;
    bool twoPass;
    std::vector<Step> steps;
};

GrabProgress make(const Case& c) { return GrabProgress(c.files, c.twoPass, "Reading", "Encoding", "Grabbed", "Cancelled"); }

TEST(GrabProgress, CurrentTrackIsTheOneBeingReadAndTheBarWeighsEveryFile) {
    const Case cases[] = {
        {"on the fly, the second file longer",
         {{0, 100}, {2, 300}}, false,
         {{Step::Started, 0, "", 0, 0}, {Step::State, 0, "Reading 50%", 0, 125},
          // A file that starts while the first is still read does not take over.
          {Step::Started, 2, "", 0, 125}, {Step::State, 2, "Reading 10%", 0, 200},
          {Step::State, 0, "Reading 100%", 2, 325}, {Step::State, 2, "Reading 60%", 2, 700},
          {Step::Done, 0, "", 2, 700}, {Step::State, 0, "Grabbed", 2, 700},
          {Step::State, 2, "Reading 100%", 2, 1000}, {Step::Done, 2, "", 2, 1000}}},
        {"temporary files: reading and encoding are half each, encoding overlaps the next read",
         {{1, 200}, {3, 200}}, true,
         {{Step::Started, 1, "", 1, 0}, {Step::State, 1, "Reading 100%", 1, 250},
          {Step::Started, 3, "", 3, 250}, {Step::State, 1, "Encoding 40%", 3, 350},
          {Step::State, 3, "Reading 20%", 3, 400}, {Step::Done, 1, "", 3, 550},
          {Step::State, 3, "Reading 100%", 3, 750},
          // Nothing is read any more: the file being encoded is the current one.
          {Step::State, 3, "Encoding 0%", 3, 750}, {Step::State, 3, "Encoding 100%", 3, 1000}}},
        {"a cancelled file ends; the next started one takes over",
         {{0, 100}, {1, 100}}, false,
         {{Step::Started, 0, "", 0, 0}, {Step::State, 0, "Reading 30%", 0, 150},
          {Step::Started, 1, "", 0, 150}, {Step::State, 0, "Cancelled", 1, 150},
          {Step::State, 1, "Cancelled", 1, 150}}},
        {"whole disc: the caption's percentage, no current track",
         {{-1, 1000}}, false,
         {{Step::Caption, -1, "Melvarin v3.5 - [ 7% ]", -1, 70}, {Step::Caption, -1, "Melvarin v3.5", -1, 70},
          {Step::Caption, -1, "Melvarin v3.5 - [ 100% ]", -1, 1000}}},
        {"texts of tracks outside the grab and texts without a percentage change nothing",
         {{0, 100}}, false,
         {{Step::Started, 0, "", 0, 0}, {Step::State, 5, "Reading 90%", 0, 0},
          {Step::State, 0, "Reading", 0, 0}, {Step::State, 0, "track 1: 3 sectors could not be read", 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GrabProgress p = make(c);
        EXPECT_EQ(p.current(), -1);
        EXPECT_EQ(p.permille(), 0);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            const int before = p.current();
            bool changed = false;
            switch (s.kind) {
            case Step::Started: changed = p.started(s.track); break;
            case Step::State: changed = p.state(s.track, s.text); break;
            case Step::Done: changed = p.done(s.track); break;
            case Step::Caption: p.caption(s.text); break;
            }
            EXPECT_EQ(p.current(), s.current) << "step " << i;
            EXPECT_EQ(p.permille(), s.permille) << "step " << i;
            if (s.kind != Step::Caption) EXPECT_EQ(changed, before != s.current) << "step " << i;
        }
    }
}

TEST(GrabProgress, PercentOfReadsOnlyAPercentageAtTheEnd) {
    const std::pair<const char*, int> cases[] = {
        {"Копирование 42%", 42}, {"Сжатие 0%", 0},   {"Grabbing 100%", 100}, {"Melvarin v3.5 - [ 9% ]", 9},
        {"Скопирован", -1},      {"Grabbing %", -1}, {"Grabbing 1000%", -1}, {"", -1},
    };
    for (const auto& [text, percent] : cases) EXPECT_EQ(GrabProgress::percentOf(text), percent) << text;
}

}  // namespace
}  // namespace melvarin
