#include "app/ui/TMainForm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>

#include "app/LanguageFiles.h"
#include "app/Messages.h"
#include "app/ProgramFolders.h"
#include "app/SettingsFile.h"
#include "app/TLanguage.h"
#include "app/ui/CaptionApplier.h"
#include "app/ui/GuiPrompt.h"
#include "app/ui/PlayBar.h"
#include "cddb/ui/FreedbJob.h"
#include "disc/ui/GrabJob.h"
#include "disc/DiscStore.h"
#include "disc/TAudioCD.h"
#include "encoders/TEncManager.h"
#include "platform/ProgramHome.h"

// The icons live in a static library: their resource must be registered by hand.
static void initIconResources() { Q_INIT_RESOURCE(icons); }

namespace melvarin {
namespace {

constexpr const char* kTitle = "Melvarin v3.5";

// A stored colour (0x00BBGGRR, or a system colour 0x800000nn) as Qt shows it.
QColor toQColor(uint32_t value, const QPalette& system) {
    if (value & 0x80000000u) {
        switch (value & 0xFF) {
        case 0x05: return system.color(QPalette::Base);    // window background
        case 0x0A: return system.color(QPalette::Window);  // active border
        case 0x0F: return system.color(QPalette::Button);  // button face
        default: return system.color(QPalette::Window);
        }
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

void paint(QWidget* w, QPalette::ColorRole role, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(role, colour);
    w->setPalette(p);
}

}  // namespace

TMainForm::TMainForm(QWidget* parent, std::unique_ptr<DeviceLayer> devices) : QMainWindow(parent) {
    initIconResources();
    // Objects in their order of creation; those of subsystems the program does
    // not have yet (play bar, mixer, playback thread) are absent.
    tempFolder_ = ProgramHome::tempFilesDir();
    disc_ = DiscRecord{};
    settings_ = SettingsRecord{};
    language_ = std::make_unique<TLanguage>();
    const std::vector<LanguageFiles::MenuItem> languages =
        LanguageFiles::prepare(*language_, ProgramHome::langDir());
    SetProgramLanguage(language_.get());
    prompt_ = std::make_unique<GuiPrompt>(this);
    localCddb_ = std::make_unique<TLocalCDDB>();
    encManager_ = std::make_unique<TEncManager>(prompt_.get());
    drive_ = std::make_unique<TAudioCD>(ProgramHome::albumsDir(), std::move(devices), prompt_.get());
    drive_->InitInterface(0);
    discTags_ = std::make_unique<TDiscTags>();

    buildWindow();
    buildMenus();
    buildPopup();
    fillLanguageMenu(languages);
    connectCommands();
    setWindowTitle(kTitle);

    profiles_ = SettingsFile::loadProfileList();
    settings_ = SettingsFile::LoadSettings(profiles_.currentFileName()).record;
    applySettings();

    // The artist list: every saved disc's artist, once in any letter case.
    artists_ = DiscStore(ProgramHome::albumsDir()).SavedArtists();
    if (!settings_.UseOnlyLocalBase) fillArtistsFromLocalCddb();
    for (const std::string& artist : artists_) groupEdit_->addItem(QString::fromStdString(artist));
    startDrive();
    RefreshDisc();
}

TMainForm::~TMainForm() { shutdown(); }

bool TMainForm::StartupFailed() const { return drive_->StartupFailed(); }

void TMainForm::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    if (timer_) timer_->stop();
    freedbJob_.reset();
    if (grabJob_) {
        // Cancels without asking; the tracks done so far keep their flags.
        grabJob_->abandon();
        grabJob_->wait();
        takeGrabResults(*grabJob_);
        grabJob_.reset();
        PlayState = Idle;
    }
    if (PlayState != Idle) StopPlay();
    SaveDiscInfo();
    if (!saveSettingsNow())
        std::fprintf(stderr, "melvarin: %s\n", Message(85).c_str());
    ProgramFolders::removeTempFiles();
    SetProgramLanguage(nullptr);
}

bool TMainForm::saveSettingsNow() {
    // The last column stretches over the rest of the list, so its size is the
    // window's, not one the user set: it keeps the stored (or default) width.
    QHeaderView* header = list_->horizontalHeader();
    for (int c = 0; c < 4; ++c) settings_.ColumnWidths[c] = static_cast<int16_t>(header->sectionSize(c));
    for (QAction* a : langGroup_->actions()) {
        if (!a->isChecked()) continue;
        setText(settings_.Language, a->toolTip().toStdString());
        break;
    }
    return SettingsFile::SaveCurrentSettings(settings_, profiles_).ok;
}

void TMainForm::applySettings() {
    localCddb_->SetBasePath(getText(settings_.LCDDBPath), ProgramHome::localCddbDir());
    applyColours();
    list_->setShowGrid(settings_.ShowGrid != 0);
    QHeaderView* header = list_->horizontalHeader();
    for (int c = 0; c < 5; ++c)
        if (settings_.ColumnWidths[c] > 0) header->resizeSection(c, settings_.ColumnWidths[c]);
    layoutToolbar();

    // The language: the Lang entry whose hint is the stored name, else Russian.
    const QString stored = QString::fromStdString(getText(settings_.Language));
    QAction* chosen = langGroup_->actions().front();
    for (QAction* a : langGroup_->actions())
        if (stored != QLatin1String("Russian") && a->toolTip() == stored) chosen = a;
    for (QAction* a : langGroup_->actions()) {
        a->setChecked(a == chosen);
        a->setProperty("chosen", a == chosen);
    }
    setText(settings_.Language, chosen->toolTip().toStdString());
    language_->Select(chosen->data().toInt());
    // With Russian the window keeps its built-in captions.
    applyCaptions(chosen->data().toInt() == 0);
}

void TMainForm::applyCaptions(bool builtIn) {
    if (builtIn) CaptionApplier::applyBuiltIn(this, 1);
    else CaptionApplier::apply(this, 1, *language_);
    setWindowTitle(kTitle);

    auto* grab = findChild<QToolButton*>("SpeedButton2");
    mp3HintBase_ = grab->toolTip();
    grab->setToolTip(mp3HintBase_ + (settings_.MP3AsOGG ? " OGG" : " MP3"));
    grab->setIcon(QIcon(settings_.MP3AsOGG ? ":/icons/grab-ogg.svg" : ":/icons/grab-mp3.svg"));
    sizePanelHint_ = sizePanel_->toolTip();
    trackPanelHint_ = trackPanel_->toolTip();
    allTimePanelHint_ = allTimePanel_->toolTip();
    // The state texts and panels are the language's too.
    const std::vector<TrackRow> rows = rows_;
    showTracks(rows);
    showDiscTotals();
}

void TMainForm::showDiscTotals() {
    const int frames = DiscLoaded ? DiscLengthFrames(disc_) : 0;
    trackPanel_->setText(trackPanelHint_ + ": " + QString::number(rows_.size()));
    allTimePanel_->setText(allTimePanelHint_ + QStringLiteral(": %1:%2:%3")
                                                   .arg(frames / 4500 / 60, 2, 10, QLatin1Char('0'))
                                                   .arg(frames / 4500 % 60, 2, 10, QLatin1Char('0'))
                                                   .arg(frames / 75 % 60, 2, 10, QLatin1Char('0')));
}

void TMainForm::applyColours() {
    const QPalette system = QApplication::palette();
    const QColor window = toQColor(settings_.WindowColor, system);
    const QColor control = toQColor(settings_.ControlColor, system);
    // 0xD1EFFE is the play bar's default; the list shows it a shade greener.
    const QColor listColour =
        toQColor(settings_.ControlColor == 0xD1EFFE ? 0xD1EFF1 : settings_.ControlColor, system);
    paint(this, QPalette::Window, window);
    for (QWidget* w : panels_) paint(w, QPalette::Window, window);
    for (QWidget* w : std::initializer_list<QWidget*>{albumEdit_, groupEdit_, cdromBox_})
        paint(w, QPalette::Base, control);
    paint(list_, QPalette::Base, listColour);
    paint(paintBox_, QPalette::Window, toQColor(settings_.PlayBarColor, system));
}

void TMainForm::applyAfterSettingsWindow() {
    list_->setShowGrid(settings_.ShowGrid != 0);
    auto* grab = findChild<QToolButton*>("SpeedButton2");
    grab->setToolTip(mp3HintBase_ + (settings_.MP3AsOGG ? " OGG" : " MP3"));
    grab->setIcon(QIcon(settings_.MP3AsOGG ? ":/icons/grab-ogg.svg" : ":/icons/grab-mp3.svg"));
    layoutToolbar();
    UpdateSizeEstimate();
    applyColours();
    // The encoder of the "other format" commands may have changed.
    SetControlsEnabled(DiscLoaded);
    if (getText(settings_.LCDDBPath).empty()) setText(settings_.LCDDBPath, ProgramHome::localCddbDir());
    if (getText(settings_.LCDDBPath) != localCddb_->BasePath()) {
        localCddb_->SetBasePath(getText(settings_.LCDDBPath), ProgramHome::localCddbDir());
        RefreshDisc();
    }
}

void TMainForm::RefreshDisc() {
    for (QWidget* w : std::initializer_list<QWidget*>{cdromBox_, trackPanel_, allTimePanel_, sizePanel_})
        w->show();
    if (PlayState != Playing) PlayState = Idle;
    {
        const QSignalBlocker a(groupEdit_), b(albumEdit_);
        groupEdit_->setEditText(QString());
        albumEdit_->clear();
    }
    SaveDiscInfo();
    DiscLoaded = drive_ && drive_->DriveCount() > 0 && LoadDisc(*drive_, settings_, disc_, *discTags_);
    if (drive_) DriveReady = drive_->IsUnitReady();
    setWindowTitle(kTitle);
    QApplication::setApplicationDisplayName(QString());
    if (!DiscLoaded) {
        HasAudio = false;
        disc_ = DiscRecord{};
        showTracks({});
        showDiscTotals();
        SetControlsEnabled(false);
        return;
    }
    {
        const QSignalBlocker a(groupEdit_), b(albumEdit_);
        groupEdit_->setEditText(QString::fromStdString(disc_.artist()));
        albumEdit_->setText(QString::fromStdString(disc_.album()));
    }
    const std::vector<TrackRow> rows = rowsFromDisc();
    HasAudio = std::any_of(rows.begin(), rows.end(), [](const TrackRow& r) { return r.audio; });
    showTracks(rows);
    showDiscTotals();
    SetControlsEnabled(true);
}

void TMainForm::StopPlay() {
    // During a grab the bar keeps its progress until the grab has ended.
    if (!jobRunning()) paintBox_->setPermille(0);
    timePanel_->clear();
    setWindowTitle(kTitle);
    PlayState = Idle;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // The window stays while a grab runs (reading or encoding): the grab asks
    // whether to cancel, and a confirmed cancel closes the window.
    if (PlayState == Grabbing || PlayState == Encoding || jobRunning()) {
        PlayState = Idle;
        CancelRequested = true;
        event->ignore();
        return;
    }
    event->accept();
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    QWidget* focus = QApplication::focusWidget();
    // An open title editor is a child of the list's viewport.
    const bool editing = focus && (list_->viewport()->isAncestorOf(focus) || focus == albumEdit_ ||
                                   focus == groupEdit_ || groupEdit_->isAncestorOf(focus));
    if (!editing) {
        const auto click = [this](const char* name) {
            auto* b = findChild<QToolButton*>(name);
            if (b && b->isEnabled()) b->click();
        };
        if (event->key() == Qt::Key_Escape) {
            showMinimized();
            return;
        }
        if (event->text() == "+") return click("SpeedButton15");
        if (event->text() == "-") return click("SpeedButton14");
    }
    QMainWindow::keyPressEvent(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            editSelectedTitle();
            return true;
        }
        if (key->text() == "+" || key->text() == "-" || key->key() == Qt::Key_Escape) {
            keyPressEvent(key);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace melvarin
