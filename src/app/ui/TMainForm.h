#pragma once
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/LanguageFiles.h"
#include "app/SettingsProfileList.h"
#include "app/SettingsRecord.h"
#include "cddb/TDiscTags.h"
#include "cddb/TLocalCDDB.h"
#include "disc/DiscRecord.h"
#include "disc/GrabHooks.h"
#include "drive/DeviceLayer.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QSlider;
class QToolButton;
class QTableWidget;
class QTimer;
class QWidget;

namespace melvarin {

class FreedbJob;
class GrabJob;
class GuiPrompt;
class PlayBar;
class TAudioCD;
class TEncManager;
class TLanguage;
class UserPrompt;

// The main window: owns the long-lived objects of the program, shows the tracks
// of the disc and starts every job from its command table. Objects whose
// subsystem is not part of the program yet are absent, and so are their
// commands (disabled).
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Values of PlayState.
    enum : int32_t { Idle = 1, Paused = 2, Playing = 3, Grabbing = 4, Encoding = 5 };

    // One row of the track list as the disc record describes it.
    struct TrackRow {
        std::string title;
        bool audio = true;
        bool grabbed = false;
        uint32_t frames = 0;  // length in sectors
        uint64_t bytes = 0;
    };

    // Builds the window and its objects and loads the settings of the program
    // home (ProgramHome must be set and its folders writable). `devices` null:
    // the running system's drives and the emulated ones.
    explicit TMainForm(QWidget* parent = nullptr, std::unique_ptr<DeviceLayer> devices = nullptr);
    // Shutdown: saves the settings and removes the temporary folder.
    ~TMainForm() override;

    // Window state. PlayState is read by worker threads as the cancel request.
    std::atomic<int32_t> PlayState{Idle};
    uint8_t CurrentTrack = 0;
    bool DiscLoaded = false;
    bool HasAudio = false;
    bool DriveReady = false;
    bool Following = false;
    bool SelectedOnly = false;
    std::array<uint8_t, 4> PausePosition{};
    std::atomic<bool> CancelRequested{false};
    std::string PlayerPath;

    // True when start-up found no way to reach a drive and said so (messages 92
    // and 94): the program ends without showing the window.
    bool StartupFailed() const;

    SettingsRecord& settings() { return settings_; }
    // The reading drive; valid for the window's lifetime.
    TAudioCD& drive() { return *drive_; }
    TLanguage& language() { return *language_; }
    const std::string& tempFolder() const { return tempFolder_; }

    // Operations other windows call.
    void RefreshDisc();
    void StopPlay();
    void SetControlsEnabled(bool flag);
    void UpdateSizeEstimate();

    // Fills the track list: image 1 checked / 2 unchecked for audio rows by the
    // grabbed flag, "Data track" with image 3 for data rows.
    void showTracks(const std::vector<TrackRow>& rows);

    // Applies the record to the window as loading the settings does: colours,
    // MP3/OGG hint, grid lines, column widths, toolbar, language.
    void applySettings();
    // Re-applies the record after the settings window stored into it: grid
    // lines, MP3/OGG hint, toolbar, size estimate, colours.
    void applyAfterSettingsWindow();
    // Shows the optional toolbar buttons by the Show* fields and packs the visible
    // ones left to right.
    void layoutToolbar();
    // Sets the captions of section 01: the built-in Russian texts when `builtIn`,
    // else those of the current language file; the track list's state texts and
    // the status panels are shown again in that language.
    void applyCaptions(bool builtIn);

    // Saves the settings now (set.dat, prof.lst); false when they could not be
    // written. Shutdown calls it too.
    bool saveSettingsNow();

    // Chooses the Lang menu entry `action` (no-op when already checked or while
    // a grab runs).
    void chooseLanguage(QAction* action);

    // What the grab commands use besides the drive. Tests replace the parts:
    // null or empty members mean the window's message boxes, SystemActions and
    // the file system's free space.
    struct GrabSeams {
        UserPrompt* prompt = nullptr;
        GrabSystem* system = nullptr;
        FreeSpaceProbe freeSpace;
    };
    // Borrowed pointers must outlive the window.
    void setGrabSeams(GrabSeams seams) { grabSeams_ = std::move(seams); }
    // Runs read-command detection on drive `drive` over the SG_IO set (`spti`) or
    // the generic one, trying `sectors` per read besides 1 and 26. Returns the
    // chosen (command type, sectors per read), nothing when cancelled. Afterwards
    // the current drive is open again with its configured read command.
    std::optional<std::pair<int, int>> detectReadCommand(int drive, bool spti, int sectors);

    // A grab job is running (its worker may be using the drive).
    bool jobRunning() const { return grabJob_ != nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // TMainFormLayout.cpp
    void buildWindow();
    QWidget* buildToolbar();
    QWidget* buildDiscPanel();
    QWidget* buildPlayPanel();
    void buildTrackList();
    QWidget* buildStatusPanels();
    QToolButton* toolButton(QWidget* parent, const char* name, const char* icon, bool large);

    // TMainFormCommands.cpp
    void buildMenus();
    void buildPopup();
    QAction* command(QMenu* menu, const char* name, const char* icon = nullptr,
                     const QKeySequence& key = {});
    void connectCommands();
    void fillLanguageMenu(const std::vector<LanguageFiles::MenuItem>& items);
    void showAbout();
    void applyColours();

    // TMainFormTracks.cpp
    void checkAllRows(bool checked);
    void changeTitleCase(int mode);
    void editSelectedTitle();
    void toggleSizeMode();
    void showRowPopup(const QPoint& pos);
    double currentRatio() const;

    void shutdown();

    // The reading drive (disc handling lives in TMainFormDisc.cpp).
    void startDrive();
    void fillDriveBox();
    void CDROMBoxChange(int index);
    void Timer1Timer();
    void ejectOrLoad();
    void runFreedb();
    // The drive information window of the current drive.
    void showDriveInfo();
    // The artist list of the local CDDB, with its small progress window.
    void fillArtistsFromLocalCddb();
    // The settings window; an accepted run takes its record and returns true
    // (TMainFormSettings.cpp).
    bool openSettings();
    // Saves the disc record and tags (and the local CDDB entry) of the loaded disc.
    void SaveDiscInfo();
    std::vector<TrackRow> rowsFromDisc() const;
    // Row `row` shows a done track: image 2, check box cleared.
    void markRowGrabbed(int row);
    // The track count and total time panels, by their hints.
    void showDiscTotals();

    // Grabbing (TMainFormGrab.cpp).
    void connectGrabCommands();
    // Whether the grab command `name` can run in this build (its encoder exists).
    bool grabCommandAvailable(const char* name) const;
    // The checked tracks with the encoder of command `sender`.
    void GrabCommand(const QString& sender);
    // The whole disc into one file with the encoder of menu item `sender`.
    void External2Click(const QString& sender);
    // Disables the window for a job and starts it.
    void startGrab(std::unique_ptr<GrabJob> job);
    void grabFinished();
    // The Grabbed and Trimmed flags of the job's disc into the window's.
    void takeGrabResults(const GrabJob& job);
    UserPrompt& userPrompt();
    GrabSystem& grabSystem();

    // Owned objects, in their order of creation.
    std::string tempFolder_;
    DiscRecord disc_{};
    SettingsRecord settings_{};
    SettingsProfileList profiles_;
    std::unique_ptr<TLanguage> language_;
    std::unique_ptr<GuiPrompt> prompt_;
    std::unique_ptr<TLocalCDDB> localCddb_;
    std::unique_ptr<TEncManager> encManager_;
    std::unique_ptr<TAudioCD> drive_;
    std::unique_ptr<TDiscTags> discTags_;
    std::unique_ptr<FreedbJob> freedbJob_;
    std::unique_ptr<GrabJob> grabJob_;
    std::unique_ptr<GrabSystem> systemActions_;
    GrabSeams grabSeams_;
    QTimer* timer_ = nullptr;
    int ejectCount_ = 0;
    std::vector<std::string> artists_;
    std::vector<TrackRow> rows_;
    bool shutDown_ = false;
    QString mp3HintBase_;
    QString sizePanelHint_;
    QString trackPanelHint_;
    QString allTimePanelHint_;

    QWidget* toolbar_ = nullptr;
    QTableWidget* list_ = nullptr;
    QComboBox* cdromBox_ = nullptr;
    QComboBox* groupEdit_ = nullptr;
    QLineEdit* albumEdit_ = nullptr;
    QSlider* volumeBar_ = nullptr;
    PlayBar* paintBox_ = nullptr;
    QToolButton* sizeBox_ = nullptr;
    QLabel* timePanel_ = nullptr;
    QLabel* trackPanel_ = nullptr;
    QLabel* allTimePanel_ = nullptr;
    QLabel* sizePanel_ = nullptr;
    QMenu* langMenu_ = nullptr;
    QMenu* popup_ = nullptr;
    QActionGroup* langGroup_ = nullptr;
    std::vector<QWidget*> panels_;  // take WindowColor
};

}  // namespace melvarin
