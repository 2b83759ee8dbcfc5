#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <sstream>

#include "app/Messages.h"
#include "disc/GrabRun.h"
#include "encoders/PcmFormat.h"

using namespace melvarin;
using namespace melvarin::test;

namespace fs = std::filesystem;

namespace {

// MP3 settings of a grab run: CBR, no tags (the runs have no disc tags).
void UseMp3(GrabRun& run, bool onTheFly) {
    EncoderConfig& c = run.settings.EncoderConfig;
    c.UseLame = 1;
    c.OnTheFlyEncoding = onTheFly ? 1 : 0;
}

// The track encoded in one thread, block after block, by the same encoder
// with the same settings: what a serial grab writes.
std::string SerialMp3(const GrabTestDisc& disc, int track, EncoderConfig config, const std::string& path) {
    config.EncoderIndex = 1;
    const PcmFormat format = PcmFormat::pcm16(44100, 2);
    std::unique_ptr<TEncoder> encoder = TEncManager::CreateEncoder(&config, &format, nullptr);
    if (!encoder) return {};
    encoder->SetTag(nullptr);
    const std::string pcm = disc.slice(disc.trackStart(track), disc.sectors[std::size_t(track)]);
    if (encoder->Open(path, pcm.size()) == 0) return {};
    for (std::size_t at = 0; at < pcm.size(); at += 26 * 2352)
        if (!encoder->Encode(pcm.data() + at, std::min<std::size_t>(26 * 2352, pcm.size() - at))) return {};
    if (!encoder->Close()) return {};
    return readFile(path);
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

// Several files in flight, with queues far smaller than a track so the
// reader moves between them, and with temporary files re-encoded while the
// next track is read: every MP3 is byte for byte the serial encode.
TEST(GrabPipeline, ParallelFilesEqualTheSerialEncode) {
    GrabTestDisc disc({700, 260, 1100, 90});
    std::vector<std::string> serial;
    for (int t = 0; t < 4; ++t) {
        GrabRun probe(disc);
        UseMp3(probe, true);
        serial.push_back(SerialMp3(disc, t, probe.settings.EncoderConfig, disc.dir / "serial.mp3"));
        ASSERT_GT(serial.back().size(), 1000u);
    }
    struct Case {
        bool onTheFly;
        int encoders;
        std::size_t queue;
    };
    for (const Case& c : {Case{true, 1, 64 << 10}, Case{true, 3, 64 << 10}, Case{true, 0, 4 << 20}, Case{false, 3, 0}}) {
        SCOPED_TRACE("on the fly " + std::to_string(c.onTheFly) + ", encoders " + std::to_string(c.encoders));
        fs::remove_all(disc.outFolder());
        GrabRun run(disc);
        UseMp3(run, c.onTheFly);
        run.grabber->Encoders = c.encoders;
        if (c.queue) run.grabber->QueueBytes = c.queue;
        ASSERT_TRUE(run.grabAll(1));
        std::vector<std::string> files;
        for (int t = 0; t < 4; ++t) {
            files.push_back(run.trackFile(t, ".mp3"));
            EXPECT_TRUE(readFile(files.back()) == serial[std::size_t(t)]) << "track " << t + 1;
            EXPECT_EQ(run.record.Tracks[t].Grabbed, 1);
            EXPECT_EQ(run.states[t].back(), Message(20));
        }
        EXPECT_EQ(run.written, files);
        EXPECT_EQ(run.done, (std::vector<int>{0, 1, 2, 3}));
        EXPECT_TRUE(run.prompt.entries().empty());
        EXPECT_FALSE(fs::exists(disc.dir / "TempFiles"));
    }
}

// Yes while the second track is read with two encoders busy: whatever was
// complete by then stays with its flag, everything else is gone.
TEST(GrabPipeline, CancelRemovesEveryUnfinishedFileAndKeepsFinishedOnes) {
    GrabTestDisc disc({400, 900, 400, 300});
    for (bool onTheFly : {true, false}) {
        SCOPED_TRACE("on the fly " + std::to_string(onTheFly));
        fs::remove_all(disc.outFolder());
        GrabRun run(disc);
        UseMp3(run, onTheFly);
        run.grabber->Encoders = 2;
        run.grabber->QueueBytes = 256 << 10;
        run.stopAt(1, 19, 50);
        run.prompt.queueAnswer(true);
        EXPECT_FALSE(run.grabAll(1));
        EXPECT_TRUE(run.grabber->Cancelled());
        EXPECT_EQ(run.prompt.texts(), std::vector<std::string>{Message(17)});
        for (int t = 1; t < 4; ++t) {
            EXPECT_FALSE(fs::exists(run.trackFile(t, ".mp3"))) << t;
            EXPECT_EQ(run.record.Tracks[t].Grabbed, 0) << t;
            EXPECT_TRUE(run.checked[t]);
        }
        EXPECT_EQ(run.states[1].back(), Message(18));
        const bool first = fs::exists(run.trackFile(0, ".mp3"));
        EXPECT_EQ(run.record.Tracks[0].Grabbed, first ? 1 : 0);
        EXPECT_EQ(run.written, first ? std::vector<std::string>{run.trackFile(0, ".mp3")} : std::vector<std::string>{});
        EXPECT_EQ(FilesIn(disc.outFolder()), run.written);
        EXPECT_FALSE(fs::exists(disc.dir / "TempFiles"));
    }
}

// Stop while only a temporary file is being re-encoded asks the compression
// question: No finishes the file, Yes removes it and the temporary file.
TEST(GrabPipeline, StopDuringCompressionAsksItsOwnQuestion) {
    GrabTestDisc disc({900});
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        fs::remove_all(disc.outFolder());
        GrabRun run(disc);
        UseMp3(run, false);
        run.stopAt(0, 27, 0);
        run.prompt.queueAnswer(yes);
        EXPECT_EQ(run.grabAll(1), !yes);
        EXPECT_EQ(run.prompt.texts(), std::vector<std::string>{Message(26)});
        EXPECT_EQ(fs::exists(run.trackFile(0, ".mp3")), !yes);
        EXPECT_EQ(run.record.Tracks[0].Grabbed, yes ? 0 : 1);
        EXPECT_EQ(run.states[0].back(), Message(yes ? 18 : 20));
        EXPECT_EQ(run.resumed, yes ? 0 : 1);
        EXPECT_FALSE(fs::exists(disc.dir / "TempFiles"));
    }
}

// A file that cannot grow past 1 MiB (the process's file size limit, set in
// a child so nothing else is limited) makes the second track's encoder fail
// half way while the third may already be in work: the grab stops with the
// encoder's error told once, the partial file and every later one removed,
// the first track kept.
TEST(GrabPipeline, EncoderFailingMidTrackStopsAfterThatTrack) {
    GrabTestDisc disc({100, 3000, 100});
    const std::string report = disc.dir / "report.txt";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 20, 1 << 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::ostringstream out;
        {
            GrabRun run(disc);
            run.grabber->Encoders = 3;
            const bool ok = run.grabAll();
            out << ok << run.grabber->Cancelled();
            for (int t = 0; t < 3; ++t) out << int(run.record.Tracks[t].Grabbed);
            out << " " << run.written.size();
            for (const auto& e : run.prompt.entries()) out << "\n" << e.question << int(e.icon) << " " << e.text;
        }
        writeFile(report, out.str());
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string text = readFile(report);
    const std::size_t line = text.find('\n');
    ASSERT_NE(line, std::string::npos) << text;
    EXPECT_EQ(text.substr(0, line), "00100 1");
    EXPECT_EQ(text.find('\n', line + 1), std::string::npos) << "one message only: " << text;
    EXPECT_EQ(text.substr(line + 1, 2), "0" + std::to_string(int(Icon::Error)));
    EXPECT_NE(text.find("Track 2.wav"), std::string::npos) << text;
    EXPECT_TRUE(waveData(disc.outFolder() + "Track 1.wav") == disc.slice(0, 100));
    EXPECT_EQ(FilesIn(disc.outFolder()), std::vector<std::string>{disc.outFolder() + "Track 1.wav"});
    EXPECT_FALSE(fs::exists(disc.dir / "TempFiles"));
}

// The re-encode of the second temporary file fails (a folder stands at its
// output name) while the third track is read: the grab stops there.
TEST(GrabPipeline, FailedReEncodeStopsAfterThatTrack) {
    GrabTestDisc disc({100, 300, 100});
    GrabRun run(disc);
    UseMp3(run, false);
    run.grabber->Encoders = 2;
    fs::create_directories(disc.outFolder());
    fs::create_directories(run.trackFile(1, ".mp3"));
    EXPECT_FALSE(run.grabAll(1));
    EXPECT_FALSE(run.grabber->Cancelled());
    EXPECT_EQ(run.record.Tracks[0].Grabbed, 1);
    EXPECT_EQ(run.record.Tracks[1].Grabbed, 0);
    EXPECT_EQ(run.record.Tracks[2].Grabbed, 0);
    EXPECT_EQ(run.written, std::vector<std::string>{run.trackFile(0, ".mp3")});
    EXPECT_EQ(run.prompt.entries().size(), 1u);
    EXPECT_FALSE(fs::exists(run.trackFile(2, ".mp3")));
    EXPECT_FALSE(fs::exists(disc.dir / "TempFiles"));
}
