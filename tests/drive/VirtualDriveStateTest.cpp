// The emulated drive as a device: identification, readiness as the folder
// changes, the tray and its lock, and commands it does not know.
#include "VirtualDriveFixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>

namespace melvarin::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kTestUnitReady = {0x00, 0, 0, 0, 0, 0};
const Bytes kInquiry = {0x12, 0, 0, 0, 96 /* allocation */, 0};
const Bytes kEject = {0x1B, 0x01 /* Immed */, 0, 0, 0x02 /* LoEj */, 0};
const Bytes kLoad = {0x1B, 0x01, 0, 0, 0x03 /* LoEj + Start */, 0};
const Bytes kLockSpti = {0x1E, 0, 0, 0, 0x03, 0};
const Bytes kLockAspi = {0x1E, 0, 0, 0, 0x01, 0};
const Bytes kUnlock = {0x1E, 0, 0, 0, 0x00, 0};
const Bytes kMechanismStatus = {0xBD, 0, 0, 0, 0, 0, 0, 0, 0, 32 /* allocation */, 0, 0};

const SenseData kNoDisc{0x02, 0x3A, 0x00};
const SenseData kTrayOpen{0x02, 0x3A, 0x02};
const SenseData kDiscChanged{0x06, 0x28, 0x00};

class VirtualDriveStateTest : public ::testing::Test, protected VirtualDriveFixture {
protected:
    void putDisc(int sectors, int seed) {
        write("t.bin", binSectors(sectors, seed));
        write("disc.cue", "FILE \"t.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    }
    int leadOutLba() {
        const Reply r = in(readTocCdb(0, false), 804);
        if (!r.good() || r.data.size() < 20) return -1;
        return r.data[16] << 24 | r.data[17] << 16 | r.data[18] << 8 | r.data[19];
    }
};

TEST_F(VirtualDriveStateTest, InquiryNamesTheDriveAsDriveIniSays) {
    const Reply r = in(kInquiry, 96);
    ASSERT_TRUE(r.good());
    ASSERT_EQ(r.data.size(), 96u);
    EXPECT_EQ(r.data[0], 0x05);  // CD/DVD device
    EXPECT_EQ(std::string(r.data.begin() + 8, r.data.begin() + 36), "MELVARINVIRTUAL CD-RW   1.00");

    VirtualDriveFixture other;
    other.write("drive.ini", "vendor=ACME ; a comment\nproduct=Fast Drive 52x\nrevision=2.1\nmax_sectors=banana\n");
    const Reply named = other.in(kInquiry, 96);
    EXPECT_EQ(std::string(named.data.begin() + 8, named.data.begin() + 36), "ACME    Fast Drive 52x  2.1 ");
    ASSERT_EQ(other.logged.size(), 1u);  // the bad value is reported, the default kept
    EXPECT_EQ(other.drive().config().maxSectors, 64);

    // INQUIRY answers without a disc and never reports a disc change.
    EXPECT_EQ(none(kTestUnitReady).sense(), kNoDisc);
}

TEST_F(VirtualDriveStateTest, FolderChangesAreNoticedAtTestUnitReady) {
    putDisc(100, 0);
    EXPECT_TRUE(none(kTestUnitReady).good());
    EXPECT_EQ(leadOutLba(), 100);

    // Another disc replaces the files: announced once, then the new disc.
    putDisc(200, 7);
    EXPECT_EQ(none(kTestUnitReady).sense(), kDiscChanged);
    EXPECT_TRUE(none(kTestUnitReady).good());
    EXPECT_EQ(leadOutLba(), 200);
    const Reply sector = in(readCdCdb(0, 1), 2352);
    EXPECT_EQ(sector.data[0], 7);

    // The sheet removed: no disc until one comes back.
    std::remove((dir / "disc.cue").c_str());
    EXPECT_EQ(none(kTestUnitReady).sense(), kNoDisc);
    EXPECT_EQ(in(readTocCdb(), 804).sense(), kNoDisc);
    putDisc(50, 1);
    EXPECT_EQ(none(kTestUnitReady).sense(), kDiscChanged);
    EXPECT_TRUE(none(kTestUnitReady).good());
}

// A sheet, or a file it names, that is not a regular file means no disc with
// the reason logged, at once: a named pipe without a writer must not block.
TEST(VirtualDriveFiles, NonRegularFilesMeanNoDiscWithoutWaiting) {
    struct Case {
        const char* name;     // the FILE of the sheet
        bool pipeIsSheet;     // disc.cue itself is the pipe
        const char* reason;   // in the logged line
    };
    const Case cases[] = {
        {"pipe.bin", false, "pipe.bin: not a regular file"},
        {"folder.bin", false, "folder.bin: not a regular file"},
        {"/dev/null", false, "/dev/null: not a regular file"},
        {"t.bin", true, "cannot read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + std::string(c.pipeIsSheet ? " (sheet a pipe)" : ""));
        VirtualDriveFixture f;
        f.write("t.bin", VirtualDriveFixture::binSectors(10, 0));
        const std::string pipe = f.dir / (c.pipeIsSheet ? "disc.cue" : "pipe.bin");
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        std::filesystem::create_directory(f.dir / "folder.bin");
        if (!c.pipeIsSheet)
            f.write("disc.cue", "FILE \"" + std::string(c.name) + "\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
        auto ready = std::async(std::launch::async, [&f] { return f.none(kTestUnitReady); });
        if (ready.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);  // lets the blocked open() go
            ready.wait();
            if (writer >= 0) ::close(writer);
            ADD_FAILURE() << "the drive waited on the named pipe";
            continue;
        }
        EXPECT_EQ(ready.get().sense(), kNoDisc);
        ASSERT_FALSE(f.logged.empty());
        EXPECT_NE(f.logged.back().find("no disc: "), std::string::npos) << f.logged.back();
        EXPECT_NE(f.logged.back().find(c.reason), std::string::npos) << f.logged.back();
    }
}

TEST_F(VirtualDriveStateTest, TrayOpenMeansNoDiscAndTheLockHoldsIt) {
    putDisc(100, 0);
    ASSERT_TRUE(none(kTestUnitReady).good());

    for (const Bytes& lock : {kLockSpti, kLockAspi}) {
        ASSERT_TRUE(none(lock).good());
        EXPECT_EQ(none(kEject).sense(), (SenseData{0x05, 0x53, 0x02})) << "lock byte " << int(lock[4]);
        EXPECT_TRUE(none(kTestUnitReady).good());
    }
    ASSERT_TRUE(none(kUnlock).good());
    ASSERT_TRUE(none(kEject).good());
    EXPECT_EQ(none(kTestUnitReady).sense(), kTrayOpen);
    EXPECT_EQ(in(readCdCdb(0, 1), 2352).sense(), kTrayOpen);
    const Reply open = in(kMechanismStatus, 32);
    ASSERT_TRUE(open.good());
    EXPECT_EQ(open.data[1] & 0x10, 0x10);  // door open

    // A disc put in while the tray is out is there after loading.
    putDisc(300, 3);
    ASSERT_TRUE(none(kLoad).good());
    EXPECT_EQ(none(kTestUnitReady).sense(), kDiscChanged);
    EXPECT_TRUE(none(kTestUnitReady).good());
    EXPECT_EQ(leadOutLba(), 300);
    EXPECT_EQ(in(kMechanismStatus, 32).data[1], 0x00);  // idle, door closed
}

TEST_F(VirtualDriveStateTest, MalformedCommandsAreRefusedSafely) {
    putDisc(10, 0);
    // No CDB, or one longer than 16 bytes, is not delivered at all.
    EXPECT_FALSE(none({}).result.delivered);
    EXPECT_FALSE(none(Bytes(17, 0)).result.delivered);
    // Unknown opcodes and a READ TOC too short to hold its fields.
    EXPECT_EQ(none({0xFF, 0, 0, 0, 0, 0}).sense(), (SenseData{0x05, 0x20, 0x00}));
    EXPECT_EQ(none({0x25}).sense(), (SenseData{0x05, 0x20, 0x00}));
    EXPECT_EQ(in({0x43, 0x02, 0x00}, 804).sense(), (SenseData{0x05, 0x24, 0x00}));
    // A reply larger than the caller's buffer is cut to the buffer.
    const Reply small = in(kInquiry, 10);
    ASSERT_TRUE(small.good());
    EXPECT_EQ(small.data.size(), 10u);
    // Data-in commands sent without a buffer transfer nothing.
    const Reply nothing = none(kInquiry);
    EXPECT_TRUE(nothing.good());
    EXPECT_EQ(nothing.result.transferred, 0u);
}

}  // namespace
}  // namespace melvarin::test
