// The command table of the main window: menus, shortcuts, which control runs
// which handler, and which commands are available at all.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QSlider>
#include <QTableWidget>
#include <QToolButton>

#include <cstring>
#include <set>
#include <string_view>

#include "app/LanguageFiles.h"
#include "app/Messages.h"
#include "app/TLanguage.h"
#include "app/ui/GuiPrompt.h"
#include "app/ui/TMainForm.h"

namespace melvarin {
namespace {

// Commands whose subsystem is not part of the program yet: they stay disabled
// whatever the window state says. Grab commands depend on their encoder
// (grabCommandAvailable).
const std::set<std::string_view>& unavailable() {
    static const std::set<std::string_view> names = {
        // playback (Stop cancels a grab)
        "SpeedButton11", "Play1", "N15", "SpeedButton5", "PlaySel1", "N19", "SpeedButton12",
        "SpeedButton14", "SpeedButton15", "VolumeBar", "PaintBox1",
        // freedb, local CDDB, tags, track properties
        "CDDB1", "TagSpeedButton", "ID3v2", "ID3v21", "TrackPropItem",
        "N14",
        // burning, converting
        "BurnCDButton", "AudioCD1", "AudioCD2", "ConvertButton", "ConvertFile1",
        // profiles, quick MP3 settings
        "SpeedButton17", "ProfMenu", "ShowMP3ConfigBox",
        // help file and home page
        "N9", "HomePage1"};
    return names;
}

}  // namespace

QAction* TMainForm::command(QMenu* menu, const char* name, const char* icon, const QKeySequence& key) {
    auto* action = new QAction(menu);
    action->setObjectName(name);
    if (icon) action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);  // shortcuts work while the menu is closed
    }
    menu->addAction(action);
    return action;
}

void TMainForm::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu");
    const auto submenu = [](QMenu* parent, const char* name) {
        QMenu* menu = parent->addMenu(QString());
        menu->setObjectName(name);
        return menu;
    };
    const auto top = [bar](const char* name) {
        QMenu* menu = bar->addMenu(QString());
        menu->setObjectName(name);
        return menu;
    };

    QMenu* file = top("File1");
    command(file, "Refresh1", "refresh", Qt::Key_F2);
    file->addSeparator();
    QMenu* grab = submenu(file, "Grab1");
    command(grab, "MP3", "grab-mp3", Qt::Key_F9);
    command(grab, "OGG1", "grab-ogg", Qt::Key_F8);
    command(grab, "WMA1", "grab-wma", Qt::Key_F7);
    command(grab, "WAVE1", "grab-wav", Qt::Key_F6);
    command(grab, "ExternalEncI", "grab-ext", QKeySequence(Qt::CTRL | Qt::Key_F9));
    QMenu* image = submenu(file, "Image1");
    command(image, "WAVE2");
    command(image, "MP32");
    command(image, "OGG2");
    command(image, "WMA2");
    command(image, "External2");
    file->addSeparator();
    command(file, "ConvertFile1", "convert", Qt::Key_F5);
    file->addSeparator();
    command(file, "Exit1", "exit");

    QMenu* disc = top("CD2");
    command(disc, "Play1", "play");
    command(disc, "PlaySel1", "play-selected");
    command(disc, "Stop1", "stop");
    command(disc, "Eject1", "eject");
    disc->addSeparator();
    command(disc, "SysInfo");
    command(disc, "RunPlayer1", "player");

    QMenu* tracks = top("Tracks1");
    command(tracks, "SelectAll1", "select-all");
    command(tracks, "SelectNone1", "select-none");
    QMenu* names = submenu(tracks, "N24");
    command(names, "N25");
    command(names, "N22");
    command(names, "N12");
    tracks->addSeparator();
    command(tracks, "TrackPropItem", nullptr, Qt::Key_F11);
    command(tracks, "ID3v2", "tag");

    QMenu* cddb = top("CDDB2");
    command(cddb, "FreeDBItem", "freedb");
    command(cddb, "CDDB1");

    QMenu* burn = top("Burn1");
    command(burn, "AudioCD1", "burn", Qt::Key_F10);
    command(burn, "AudioCD2", nullptr, QKeySequence(Qt::CTRL | Qt::Key_F10));

    QMenu* options = top("Options1");
    command(options, "Settings1", "settings");
    QMenu* profiles = submenu(options, "ProfMenu");
    profiles->setIcon(QIcon(":/icons/profiles.svg"));
    command(profiles, "ProfDef");
    for (int i = 1; i <= 10; ++i)
        command(profiles, QStringLiteral("Prof%1").arg(i).toLatin1().constData())->setVisible(false);
    profiles->addSeparator();
    command(profiles, "ProfSave");
    command(profiles, "DelConfigItem");
    langMenu_ = submenu(options, "Lang1");
    langGroup_ = new QActionGroup(this);
    langGroup_->setExclusive(true);

    QMenu* help = top("Help1");
    command(help, "N9", nullptr, Qt::Key_F1);
    command(help, "HomePage1");
    help->addSeparator();
    command(help, "N11", "melvarin");
}

void TMainForm::buildPopup() {
    popup_ = new QMenu(this);
    popup_->setObjectName("PopupMenu1");
    auto* title = popup_->addAction(QString());
    title->setObjectName("PMTrackName");
    title->setEnabled(false);
    popup_->addSeparator();
    command(popup_, "N15", "play");
    command(popup_, "N19", "play-selected");
    popup_->addSeparator();
    command(popup_, "N13", nullptr, Qt::Key_F4);
    command(popup_, "N14");
    command(popup_, "ID3v21", "tag");
    QMenu* names = popup_->addMenu(QString());
    names->setObjectName("N30");
    command(names, "N31");
    command(names, "N32");
    command(names, "N33");
}

void TMainForm::fillLanguageMenu(const std::vector<LanguageFiles::MenuItem>& items) {
    auto* russian = new QAction(QStringLiteral("Russian"), langMenu_);
    russian->setObjectName("Russian1");
    russian->setToolTip(QStringLiteral("Russian"));
    russian->setData(0);
    russian->setCheckable(true);
    langGroup_->addAction(russian);
    langMenu_->addAction(russian);
    for (const LanguageFiles::MenuItem& entry : items) {
        const QString name = QString::fromStdString(entry.name);
        auto* item = new QAction(name, langMenu_);
        item->setObjectName(QStringLiteral("Lang%1").arg(entry.index));
        item->setToolTip(name);
        item->setData(entry.index);
        item->setCheckable(true);
        langGroup_->addAction(item);
        langMenu_->addAction(item);
    }
    connect(langGroup_, &QActionGroup::triggered, this, [this](QAction* a) { chooseLanguage(a); });
}

void TMainForm::chooseLanguage(QAction* action) {
    // The grab's thread reads the texts of the language in use.
    if (jobRunning()) {
        for (QAction* a : langGroup_->actions()) a->setChecked(a->property("chosen").toBool());
        return;
    }
    if (action->property("chosen").toBool()) return;
    for (QAction* a : langGroup_->actions()) {
        a->setChecked(false);
        a->setProperty("chosen", false);
    }
    action->setChecked(true);
    action->setProperty("chosen", true);
    setText(settings_.Language, action->toolTip().toStdString());
    language_->Select(action->data().toInt());
    applyCaptions(false);
}

void TMainForm::connectCommands() {
    const auto on = [this](const char* name, auto handler) {
        if (auto* a = findChild<QAction*>(name)) connect(a, &QAction::triggered, this, handler);
        if (auto* b = findChild<QToolButton*>(name)) connect(b, &QToolButton::clicked, this, handler);
    };
    const auto refresh = [this] {
        if (PlayState != Grabbing && PlayState != Encoding && !jobRunning()) RefreshDisc();
    };
    on("SpeedButton1", refresh);
    on("Refresh1", refresh);
    for (const char* name : {"SpeedButton9", "SelectAll1"}) on(name, [this] { checkAllRows(true); });
    for (const char* name : {"SpeedButton10", "SelectNone1"}) on(name, [this] { checkAllRows(false); });
    for (const char* name : {"N25", "N31"}) on(name, [this] { changeTitleCase(0); });
    for (const char* name : {"N22", "N32"}) on(name, [this] { changeTitleCase(1); });
    for (const char* name : {"N12", "N33"}) on(name, [this] { changeTitleCase(2); });
    on("N13", [this] { editSelectedTitle(); });
    on("SSizeBox", [this] { toggleSizeMode(); });
    on("N11", [this] { showAbout(); });
    for (const char* name : {"SettingButton", "Settings1"}) on(name, [this] { openSettings(); });
    for (const char* name : {"SpeedButton25", "Exit1"}) on(name, [this] { close(); });
    connectGrabCommands();
    for (const char* name : {"SpeedButton4", "RunPlayer1"}) on(name, [this] {
        if (PlayerPath.empty()) {
            if (!prompt_->ask(Message(15), Icon::Question)) return;
            const QString file = QFileDialog::getOpenFileName(this);
            if (file.isEmpty()) return;
            if (!QFileInfo(file).isExecutable() || QFileInfo(file).isDir()) {
                prompt_->message(Message(16), Icon::Error);
                return;
            }
            PlayerPath = file.toStdString();
        }
        QProcess::startDetached(QString::fromStdString(PlayerPath), {});
    });
    connect(list_, &QWidget::customContextMenuRequested, this, &TMainForm::showRowPopup);
    connect(list_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() != 0 || item->row() >= static_cast<int>(rows_.size())) return;
        rows_[item->row()].title = item->text().toStdString();
    });
    for (const auto& name : unavailable()) {
        const QString n = QString::fromLatin1(name.data(), name.size());
        if (auto* a = findChild<QAction*>(n)) a->setEnabled(false);
        if (auto* w = findChild<QWidget*>(n)) w->setEnabled(false);
        if (auto* m = findChild<QMenu*>(n)) m->menuAction()->setEnabled(false);
    }
}

void TMainForm::SetControlsEnabled(bool flag) {
    const auto set = [this](const char* name, bool enabled) {
        const bool on = enabled && !unavailable().count(name) && grabCommandAvailable(name);
        if (auto* a = findChild<QAction*>(name)) a->setEnabled(on);
        if (auto* w = findChild<QWidget*>(name)) w->setEnabled(on);
    };
    for (const char* name :
         {"SpeedButton9", "SpeedButton10", "SelectAll1", "SelectNone1", "SpeedButton2", "SpeedButton18",
          "WMAButton", "MP3", "OGG1", "WMA1", "WAVE1", "ExternalEncI", "WAVE2", "MP32", "OGG2", "WMA2",
          "External2", "SpeedButton11", "Play1", "N15", "SpeedButton12", "SpeedButton13", "Eject1",
          "SpeedButton14", "SpeedButton15", "SpeedButton6", "FreeDBItem", "SettingButton", "Settings1",
          "ConvertButton", "ConvertFile1", "SpeedButton5", "PlaySel1", "N19", "GroupEdit", "AlbumNameEdit",
          "N13", "N25", "N22", "N12", "N31", "N32", "N33", "TrackPropItem", "N14", "TagSpeedButton",
          "ID3v2", "ID3v21", "VolumeBar"})
        set(name, flag);
    if (DiscLoaded) {
        set("SpeedButton16", true);
        set("BurnCDButton", flag);
        set("AudioCD1", flag);
    } else {
        for (const char* name : {"TagSpeedButton", "ID3v2", "ID3v21", "SpeedButton16"}) set(name, false);
        for (const char* name : {"SpeedButton13", "Eject1", "BurnCDButton", "AudioCD1", "SettingButton",
                                 "Settings1", "ConvertButton", "ConvertFile1"})
            set(name, true);
    }
    const auto enabled = [this](const char* name) {
        auto* w = findChild<QWidget*>(name);
        return w && w->isEnabled();
    };
    set("Stop1", enabled("SpeedButton16"));
    set("Eject1", enabled("SpeedButton13"));
    set("CDROMBox", enabled("SpeedButton13"));
    set("EXTButton", enabled("SpeedButton2"));
}

void TMainForm::showAbout() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Melvarin v3.5"),
                    QStringLiteral("<b>Melvarin v3.5</b><br>%1<br><br>Linux %2")
                        .arg(QStringLiteral("Audio CD grabber and burner"), QStringLiteral(MELVARIN_VERSION)),
                    QMessageBox::Ok, this);
    box.setObjectName("AboutBox");
    box.setIconPixmap(QIcon(":/icons/melvarin.svg").pixmap(64, 64));
    box.exec();
}

}  // namespace melvarin
