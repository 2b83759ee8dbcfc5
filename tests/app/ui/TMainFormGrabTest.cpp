#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <gtest/gtest.h>

#include "app/Messages.h"
#include "app/SettingsFile.h"
#include "app/UserPrompt.h"
#include "app/ui/PlayBar.h"
#include "app/ui/TMainForm.h"
#include "disc/DiscRecord.h"
#include "platform/ProgramHome.h"
#include "support/TempDir.h"
#include "support/TestHome.h"

namespace melvarin {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::runCommand;
using test::shellQuote;
using test::TempDir;
using test::writeFile;

constexpr int kSector = 2352;
// Track lengths in sectors of the test disc.
constexpr int kTrackSectors[] = {200, 150, 250};
constexpr int kDiscSectors = 600;

// Answers the window's questions by a handler of the test and records every
// text; notes a call that did not come on the window thread.
class TestPrompt : public UserPrompt {
public:
    std::function<bool(const std::string&)> onAsk = [](const std::string&) { return true; };
    std::vector<std::string> texts;
    bool offThread = false;

    void message(const std::string& text, Icon) override { note(text); }
    bool ask(const std::string& text, Icon) override {
        note(text);
        return onAsk(text);
    }

private:
    void note(const std::string& text) {
        if (QThread::currentThread() != qApp->thread()) offThread = true;
        texts.push_back(text);
    }
};

// Stands in for the machine: counts power-off requests instead of obeying.
class FakeSystem : public GrabSystem {
public:
    bool RaisePriority() override { return false; }
    void RestorePriority() override {}
    void PowerOff() override {
        ++powerOffs;
        if (onPowerOff) onPowerOff();
    }
    int powerOffs = 0;
    std::function<void()> onPowerOff;
};

// The PCM bytes of a WAVE file's data chunk; empty when there is none.
std::string wavePcm(const std::string& path) {
    const std::string file = readFile(path);
    if (file.size() < 12 || file.compare(0, 4, "RIFF") != 0 || file.compare(8, 4, "WAVE") != 0) return {};
    for (std::size_t at = 12; at + 8 <= file.size();) {
        uint32_t size = 0;
        std::memcpy(&size, file.data() + at + 4, 4);
        if (file.compare(at, 4, "data") == 0) return file.substr(at + 8, std::min<std::size_t>(size, file.size() - at - 8));
        at += 8 + size + (size & 1);
    }
    return {};
}

// The main window over an emulated drive holding a three-track disc with
// CD-TEXT ("Band" / "Album", titles "One", "Two", "Three").
class TMainFormGrabTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(test::UseTestHome(home, drive));
        // Noise, different in every sector, so that any misplaced block shows.
        bin.resize(std::size_t(kDiscSectors) * kSector);
        uint32_t x = 12345;
        for (char& c : bin) {
            x = x * 1103515245u + 12345u;
            c = static_cast<char>(x >> 24);
        }
        writeFile(drive / "disc.bin", bin);
        writeFile(drive / "disc.cue",
                  "TITLE \"Album\"\nPERFORMER \"Band\"\nFILE \"disc.bin\" BINARY\n"
                  "  TRACK 01 AUDIO\n    TITLE \"One\"\n    INDEX 01 00:00:00\n"
                  "  TRACK 02 AUDIO\n    TITLE \"Two\"\n    INDEX 01 00:02:50\n"
                  "  TRACK 03 AUDIO\n    TITLE \"Three\"\n    INDEX 01 00:04:50\n");
        settings = defaultSettings();
        setText(settings.WorkDir, out.path());
        settings.Dir_AsArtistName = 0;
        settings.Dir_AsAlbumName = 0;
        settings.EjectACopy = 0;
        settings.ShutComp = 0;
    }

    // Reads at `factor` x CD speed, so that a grab of the disc takes about
    // 8 / factor seconds.
    void paceDrive(int factor) { writeFile(drive / "drive.ini", "speed_x=" + std::to_string(factor) + "\n"); }

    // The window with the settings of the test and the test's seams.
    std::unique_ptr<TMainForm> makeForm() {
        EXPECT_TRUE(SettingsFile::SaveSettings("set.dat", settings, SettingsFile::loadProfileList()).ok);
        auto form = std::make_unique<TMainForm>();
        form->setGrabSeams({&prompt, &system, [this](const std::string&) { return freeSpace; }});
        form->show();
        list = form->findChild<QTableWidget*>("ListView");
        EXPECT_EQ(list->rowCount(), 3);
        return form;
    }

    // Runs the event loop until `done` (false after ten seconds).
    static bool runUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 1000 && !done(); ++i) {
            QEventLoop loop;
            QTimer::singleShot(10, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return done();
    }

    std::string slice(int firstSector, int sectors) const {
        return bin.substr(std::size_t(firstSector) * kSector, std::size_t(sectors) * kSector);
    }

    QString stateText(int row) const { return list->item(row, 4)->text(); }

    // The saved record of the disc (the only one in the albums folder).
    DiscRecord savedRecord() const {
        DiscRecord record{};
        for (const auto& entry : fs::directory_iterator(home / "setting/albums"))
            if (entry.path().extension() == ".dat") {
                const std::string bytes = readFile(entry.path().string());
                if (bytes.size() == sizeof record) std::memcpy(&record, bytes.data(), sizeof record);
            }
        return record;
    }

    std::set<std::string> outputFiles() const {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(out.path()))
            names.insert(fs::relative(entry.path(), out.path()).string());
        return names;
    }

    TempDir home, drive, out;
    std::string bin;
    SettingsRecord settings{};
    TestPrompt prompt;
    FakeSystem system;
    std::optional<uint64_t> freeSpace = uint64_t(1) << 40;
    QTableWidget* list = nullptr;
};

TEST_F(TMainFormGrabTest, WaveButtonGrabsTheCheckedTracksWhileTheWindowStaysLive) {
    paceDrive(8);
    auto form = makeForm();
    list->item(1, 0)->setCheckState(Qt::Unchecked);

    // What the window shows while the grab runs: a timer of the window thread
    // proves the loop runs; texts and captions come from their change signals,
    // since a pipelined grab may show one only briefly.
    int ticks = 0;
    std::set<QString> states, captions;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        ++ticks;
        states.insert(stateText(0));
        captions.insert(form->windowTitle());
    });
    sampler.start(5);
    QObject::connect(list, &QTableWidget::itemChanged, form.get(), [&](QTableWidgetItem* item) {
        if (item->row() == 0 && item->column() == 4) states.insert(item->text());
    });
    QObject::connect(form.get(), &QWidget::windowTitleChanged, [&](const QString& title) { captions.insert(title); });

    form->findChild<QToolButton*>("SpeedButton18")->click();
    EXPECT_TRUE(form->jobRunning());
    EXPECT_EQ(form->PlayState, TMainForm::Grabbing);
    EXPECT_FALSE(form->findChild<QToolButton*>("SpeedButton18")->isEnabled());
    EXPECT_FALSE(form->findChild<QAction*>("MP3")->isEnabled());
    EXPECT_TRUE(form->findChild<QToolButton*>("SpeedButton16")->isEnabled());
    EXPECT_FALSE(form->findChild<QTimer*>("Timer1")->isActive());
    ASSERT_TRUE(runUntil([&] { return !form->jobRunning(); }));
    sampler.stop();

    // The event loop ran during the grab and showed its progress.
    EXPECT_GT(ticks, 20);
    EXPECT_TRUE(captions.count("Melvarin v3.5 - One"));
    const QString reading = QString::fromStdString(Message(19));
    EXPECT_TRUE(std::any_of(states.begin(), states.end(), [&](const QString& s) {
        return s.startsWith(reading + " ") && s.endsWith("%") && s != reading + " 100%";
    }));

    EXPECT_EQ(stateText(0).toStdString(), Message(20));
    EXPECT_EQ(stateText(1).toStdString(), Message(3));
    EXPECT_EQ(stateText(2).toStdString(), Message(20));
    for (int r = 0; r < 3; ++r) EXPECT_EQ(list->item(r, 0)->checkState(), Qt::Unchecked) << r;
    EXPECT_EQ(outputFiles(), (std::set<std::string>{"One.wav", "Three.wav"}));
    EXPECT_TRUE(wavePcm(out / "One.wav") == slice(0, 200));
    EXPECT_TRUE(wavePcm(out / "Three.wav") == slice(350, 250));

    EXPECT_EQ(form->PlayState, TMainForm::Idle);
    EXPECT_TRUE(form->findChild<QToolButton*>("SpeedButton18")->isEnabled());
    EXPECT_TRUE(form->findChild<QTimer*>("Timer1")->isActive());
    EXPECT_EQ(form->windowTitle(), "Melvarin v3.5");
    const DiscRecord saved = savedRecord();
    EXPECT_EQ(saved.Tracks[0].Grabbed, 1);
    EXPECT_EQ(saved.Tracks[1].Grabbed, 0);
    EXPECT_EQ(saved.Tracks[2].Grabbed, 1);
    EXPECT_TRUE(prompt.texts.empty());
    EXPECT_EQ(system.powerOffs, 0);

    // A refresh of the same disc keeps the grabbed tracks unchecked.
    form->findChild<QAction*>("Refresh1")->trigger();
    EXPECT_EQ(list->item(0, 0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list->item(1, 0)->checkState(), Qt::Checked);
    EXPECT_EQ(stateText(0).toStdString(), Message(4));
}

TEST_F(TMainFormGrabTest, BarShowsTheWholeGrabWhileRowAndCaptionFollowTheTrackBeingRead) {
    struct Mode {
        const char* command;
        uint8_t onTheFly;
    };
    for (const Mode mode : {Mode{"SpeedButton18", 1}, Mode{"MP3", 0}}) {
        SCOPED_TRACE(mode.command);
        settings.EncoderConfig.OnTheFlyEncoding = mode.onTheFly;
        paceDrive(8);
        auto form = makeForm();
        std::vector<int> bar;
        QObject::connect(form->findChild<PlayBar*>("PaintBox1"), &PlayBar::permilleChanged,
                         [&](int permille) { bar.push_back(permille); });
        // Whenever a row shows its reading progress, it is the selected row and
        // its title is in the window caption.
        const QString reading = QString::fromStdString(Message(19)) + " ";
        int readingTexts = 0;
        QStringList strays;
        QObject::connect(list, &QTableWidget::itemChanged, form.get(), [&](QTableWidgetItem* item) {
            if (item->column() != 4 || !item->text().startsWith(reading) || item->text().endsWith(" 100%")) return;
            ++readingTexts;
            const QString title = "Melvarin v3.5 - " + list->item(item->row(), 0)->text();
            if (list->currentRow() != item->row() || form->windowTitle() != title)
                strays << QStringLiteral("%1 (selected %2, caption %3)")
                              .arg(item->row())
                              .arg(list->currentRow())
                              .arg(form->windowTitle());
        });

        if (auto* button = form->findChild<QToolButton*>(mode.command)) button->click();
        else form->findChild<QAction*>(mode.command)->trigger();
        ASSERT_TRUE(runUntil([&] { return !form->jobRunning(); }));

        EXPECT_GT(readingTexts, 3);
        EXPECT_TRUE(strays.isEmpty()) << strays.join(", ").toStdString();
        ASSERT_GE(bar.size(), 3u);
        EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end() - 1)) << "the bar only grows during the grab";
        EXPECT_TRUE(std::any_of(bar.begin(), bar.end(), [](int v) { return v > 0 && v < 1000; }));
        EXPECT_EQ(bar[bar.size() - 2], 1000);
        EXPECT_EQ(bar.back(), 0) << "emptied once the grab is over";
        for (int r = 0; r < 3; ++r) EXPECT_EQ(stateText(r).toStdString(), Message(20)) << r;
        // The next mode grabs every track again: the saved grabbed flags go.
        form.reset();
        for (const std::string& folder : {out.path(), home / "setting/albums"}) {
            fs::remove_all(folder);
            fs::create_directories(folder);
        }
    }
}

TEST_F(TMainFormGrabTest, Mp3MenuEncodesThenEjectsAndPowersOffOnceTheDiscIsSaved) {
    settings.EncoderConfig.OnTheFlyEncoding = 0;
    settings.EjectACopy = 1;
    settings.ShutComp = 1;
    auto form = makeForm();
    list->item(0, 0)->setCheckState(Qt::Unchecked);
    list->item(2, 0)->setCheckState(Qt::Unchecked);
    bool savedBeforePowerOff = false;
    system.onPowerOff = [&] { savedBeforePowerOff = savedRecord().Tracks[1].Grabbed == 1; };

    form->findChild<QAction*>("MP3")->trigger();
    ASSERT_TRUE(runUntil([&] { return !form->jobRunning(); }));

    EXPECT_EQ(outputFiles(), (std::set<std::string>{"Two.mp3"}));
    std::string probe;
    ASSERT_EQ(runCommand("ffprobe -v error -show_entries stream=codec_name:format=duration -of default=nw=1 " +
                             shellQuote(out / "Two.mp3"),
                         &probe),
              0);
    EXPECT_NE(probe.find("codec_name=mp3"), std::string::npos) << probe;
    const auto at = probe.find("duration=");
    ASSERT_NE(at, std::string::npos) << probe;
    EXPECT_NEAR(std::stod(probe.substr(at + 9)), 150 / 75.0, 0.1);
    EXPECT_EQ(stateText(1).toStdString(), Message(20));
    // The temporary WAVE file is gone with its folder.
    EXPECT_FALSE(fs::exists(ProgramHome::tempFilesDir() + "Two.wav"));

    EXPECT_EQ(system.powerOffs, 1);
    EXPECT_TRUE(savedBeforePowerOff);
    // The disc was ejected: the window notices that the drive holds none.
    EXPECT_TRUE(runUntil([&] { return list->rowCount() == 0; }));
    EXPECT_TRUE(prompt.texts.empty());
}

TEST_F(TMainFormGrabTest, StopAsksAndNoGoesOnWhileYesLeavesNoPartialFile) {
    // Too little space: the question comes first, and No ends the command.
    freeSpace = 1000;
    auto form = makeForm();
    prompt.onAsk = [](const std::string&) { return false; };
    form->findChild<QToolButton*>("SpeedButton18")->click();
    ASSERT_TRUE(runUntil([&] { return !form->jobRunning(); }));
    EXPECT_EQ(prompt.texts, std::vector<std::string>{Message(100)});
    EXPECT_TRUE(outputFiles().empty());
    EXPECT_TRUE(form->findChild<QToolButton*>("SpeedButton18")->isEnabled());
    form.reset();

    // Stop pressed a third into the first track, answered `answer`.
    freeSpace = uint64_t(1) << 40;
    paceDrive(8);
    const auto grabStoppedOnce = [&](bool answer, bool& partialFileAtQuestion) {
        prompt.texts.clear();
        int32_t stateAtQuestion = 0;
        prompt.onAsk = [&](const std::string& text) {
            stateAtQuestion = form->PlayState;
            partialFileAtQuestion = fs::exists(out / ".One.wav.partial");
            return text == Message(17) && answer;
        };
        form = makeForm();
        bool stopped = false;
        QObject::connect(list, &QTableWidget::itemChanged, form.get(), [&](QTableWidgetItem* item) {
            const QString reading = QString::fromStdString(Message(19)) + " ";
            if (stopped || item->row() != 0 || item->column() != 4 || !item->text().startsWith(reading)) return;
            if (item->text().mid(reading.size()).chopped(1).toInt() < 30) return;
            stopped = true;
            form->findChild<QToolButton*>("SpeedButton16")->click();
        });
        form->findChild<QToolButton*>("SpeedButton18")->click();
        EXPECT_TRUE(runUntil([&] { return !form->jobRunning(); }));
        EXPECT_EQ(prompt.texts, std::vector<std::string>{Message(17)});
        EXPECT_EQ(stateAtQuestion, TMainForm::Idle);
        EXPECT_FALSE(prompt.offThread);
    };

    bool partial = false;
    grabStoppedOnce(false, partial);
    // No: the grab went on where it stopped and finished every track.
    EXPECT_EQ(outputFiles(), (std::set<std::string>{"One.wav", "Two.wav", "Three.wav"}));
    EXPECT_TRUE(wavePcm(out / "One.wav") == slice(0, 200));
    EXPECT_TRUE(wavePcm(out / "Three.wav") == slice(350, 250));
    EXPECT_EQ(stateText(2).toStdString(), Message(20));
    EXPECT_FALSE(form->CancelRequested);
    form.reset();

    for (const char* name : {"One.wav", "Two.wav", "Three.wav"}) fs::remove(out / name);
    fs::remove_all(home / "setting/albums");
    grabStoppedOnce(true, partial);
    // Yes: the track being read was cancelled and its partial file deleted.
    EXPECT_TRUE(partial);
    EXPECT_TRUE(outputFiles().empty());
    EXPECT_EQ(stateText(0).toStdString(), Message(18));
    EXPECT_EQ(list->item(0, 0)->checkState(), Qt::Checked);
    // The reader may already have moved on to the next track while the first one
    // was still being encoded; such a track is cancelled too, never finished.
    EXPECT_TRUE(stateText(1).toStdString() == Message(3) || stateText(1).toStdString() == Message(18));
    EXPECT_EQ(list->item(1, 0)->checkState(), Qt::Checked);
    EXPECT_EQ(form->PlayState, TMainForm::Idle);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->findChild<QToolButton*>("SpeedButton18")->isEnabled());
}

TEST_F(TMainFormGrabTest, ClosingDuringAGrabCancelsItAndClosesOnceConfirmed) {
    paceDrive(8);
    auto form = makeForm();
    bool openAtQuestion = false, runningAtQuestion = false;
    prompt.onAsk = [&](const std::string& text) {
        openAtQuestion = form->isVisible();
        runningAtQuestion = form->jobRunning();
        return text == Message(17);
    };
    bool closeAccepted = true;
    QObject::connect(list, &QTableWidget::itemChanged, form.get(), [&](QTableWidgetItem* item) {
        if (item->row() == 0 && item->column() == 4 && item->text().startsWith(QString::fromStdString(Message(19))) &&
            closeAccepted)
            closeAccepted = form->close();
    });
    form->findChild<QToolButton*>("SpeedButton18")->click();
    ASSERT_TRUE(runUntil([&] { return !form->jobRunning(); }));

    EXPECT_FALSE(closeAccepted);
    EXPECT_EQ(prompt.texts, std::vector<std::string>{Message(17)});
    EXPECT_TRUE(openAtQuestion);
    EXPECT_TRUE(runningAtQuestion);
    // The confirmed cancel closed the window once the job was over.
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->CancelRequested);
    EXPECT_TRUE(outputFiles().empty());
}

TEST_F(TMainFormGrabTest, WindowDestroyedDuringAGrabCancelsItWithoutAsking) {
    paceDrive(8);
    auto form = makeForm();
    bool secondTrackStarted = false;
    QObject::connect(list, &QTableWidget::itemChanged, form.get(), [&](QTableWidgetItem* item) {
        if (item->row() == 1 && item->column() == 4) secondTrackStarted = true;
    });
    form->findChild<QToolButton*>("SpeedButton18")->click();
    ASSERT_TRUE(runUntil([&] { return secondTrackStarted; }));
    ASSERT_TRUE(form->jobRunning());
    form.reset();

    EXPECT_TRUE(prompt.texts.empty());
    // The finished track stays, with its flag saved; the one being read is gone.
    EXPECT_EQ(outputFiles(), (std::set<std::string>{"One.wav"}));
    EXPECT_TRUE(wavePcm(out / "One.wav") == slice(0, 200));
    const DiscRecord saved = savedRecord();
    EXPECT_EQ(saved.Tracks[0].Grabbed, 1);
    EXPECT_EQ(saved.Tracks[1].Grabbed, 0);
}

TEST_F(TMainFormGrabTest, WholeDiscItemWritesOneFileAndItsCueSheet) {
    paceDrive(8);
    settings.CUE = 1;
    settings.EncoderConfig.EncoderIndex = 1;
    auto form = makeForm();
    std::set<QString> captions;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { captions.insert(form->windowTitle()); });
    sampler.start(5);

    form->findChild<QAction*>("WAVE2")->trigger();
    EXPECT_EQ(form->PlayState, TMainForm::Grabbing);
    ASSERT_TRUE(runUntil([&] { return !form->jobRunning(); }));
    sampler.stop();

    EXPECT_TRUE(std::any_of(captions.begin(), captions.end(), [](const QString& c) {
        return c.startsWith("Melvarin v3.5 - [ ") && c.endsWith("% ]");
    }));
    EXPECT_EQ(form->windowTitle(), "Melvarin v3.5");
    EXPECT_EQ(outputFiles(), (std::set<std::string>{"Album.wav", "Album.cue"}));
    EXPECT_TRUE(wavePcm(out / "Album.wav") == bin);
    std::string tracks;
    ASSERT_EQ(runCommand("cueprint -d '%N' -t '' " + shellQuote(out / "Album.cue"), &tracks), 0);
    EXPECT_EQ(tracks, "3") << tracks;
    EXPECT_EQ(prompt.texts, std::vector<std::string>{"Rip Complette!"});
    // The whole-disc item leaves its encoder chosen.
    EXPECT_EQ(form->settings().EncoderConfig.EncoderIndex, 0);
    EXPECT_EQ(form->PlayState, TMainForm::Idle);
    for (int r = 0; r < 3; ++r) EXPECT_EQ(stateText(r).toStdString(), Message(3)) << r;
}

TEST_F(TMainFormGrabTest, GrabCommandsFollowTheEncodersOfThisBuild) {
    auto form = makeForm();
    const auto enabled = [&](const char* name) {
        if (auto* b = form->findChild<QToolButton*>(name)) return b->isEnabled();
        return form->findChild<QAction*>(name)->isEnabled();
    };
    for (const char* name : {"SpeedButton2", "SpeedButton18", "WMAButton", "MP3", "WAVE1", "WAVE2", "MP32", "OGG1",
                             "OGG2", "ExternalEncI", "EXTButton", "External2", "SpeedButton16", "Stop1"})
        EXPECT_TRUE(enabled(name)) << name;
    for (const char* name : {"WMA1", "WMA2"}) EXPECT_FALSE(enabled(name)) << name;

    // No WMA encoder: the button says so and grabs nothing.
    form->findChild<QToolButton*>("WMAButton")->click();
    EXPECT_FALSE(form->jobRunning());
    EXPECT_EQ(prompt.texts, std::vector<std::string>{Message(10)});

    // The MP3 button set to Ogg grabs Ogg Vorbis; the external one set to FLAC, FLAC.
    prompt.texts.clear();
    form->settings().MP3AsOGG = 1;
    form->findChild<QToolButton*>("SpeedButton2")->click();
    ASSERT_TRUE(runUntil([&] { return !form->jobRunning(); }));
    EXPECT_TRUE(prompt.texts.empty()) << prompt.texts[0];
    EXPECT_EQ(outputFiles(), (std::set<std::string>{"One.ogg", "Two.ogg", "Three.ogg"}));
    for (const char* name : {"One.ogg", "Two.ogg", "Three.ogg"}) fs::remove(out / name);
    form->settings().EncoderConfig.ExtEncoder = 1;
    for (int r = 0; r < 3; ++r) list->item(r, 0)->setCheckState(r == 1 ? Qt::Checked : Qt::Unchecked);
    form->findChild<QToolButton*>("EXTButton")->click();
    ASSERT_TRUE(runUntil([&] { return !form->jobRunning(); }));
    EXPECT_EQ(outputFiles(), (std::set<std::string>{"Two.flac"}));
}

}  // namespace
}  // namespace melvarin
