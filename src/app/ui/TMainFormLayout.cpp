// The widgets of the main window: toolbar, disc and play panels, the track list
// and the status panels. Captions come from the language table (applyCaptions).
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ui/PlayBar.h"
#include "app/ui/TMainForm.h"

namespace melvarin {
namespace {

constexpr int kToolButtonWidth = 54;
constexpr int kToolButtonHeight = 50;

// The toolbar buttons the settings may hide, in their left-to-right order.
constexpr const char* kToolbarOrder[] = {
    "SpeedButton1", "SpeedButton2", "WMAButton",     "SpeedButton18", "EXTButton",  "BurnCDButton",
    "TagSpeedButton", "ConvertButton", "SpeedButton6", "SettingButton", "SpeedButton4"};

QFrame* panel(const char* name, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setAutoFillBackground(true);
    return frame;
}

QLabel* statusPanel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAutoFillBackground(true);
    label->setMinimumWidth(120);
    label->setContentsMargins(6, 2, 6, 2);
    return label;
}

}  // namespace

QToolButton* TMainForm::toolButton(QWidget* parent, const char* name, const char* icon, bool large) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    if (icon) button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));
    if (large) {
        button->setIconSize(QSize(32, 32));
        button->setFixedSize(kToolButtonWidth, kToolButtonHeight);
    } else {
        button->setIconSize(QSize(20, 20));
        button->setFixedSize(30, 30);
    }
    return button;
}

void TMainForm::buildWindow() {
    setObjectName("TMainForm");
    setWindowIcon(QIcon(":/icons/melvarin.svg"));
    auto* central = new QWidget(this);
    central->setObjectName("CentralWidget");
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildToolbar());
    column->addWidget(buildDiscPanel());
    column->addWidget(buildPlayPanel());
    buildTrackList();
    column->addWidget(list_, 1);
    column->addWidget(buildStatusPanels());
    setCentralWidget(central);
    resize(780, 560);
}

QWidget* TMainForm::buildToolbar() {
    QFrame* bar = panel("Panel1", this);
    bar->setFrameShape(QFrame::NoFrame);
    panels_.push_back(bar);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 2, 4, 2);
    row->setSpacing(0);

    // Buttons are placed by hand (layoutToolbar) so hidden ones leave no gap.
    toolbar_ = new QWidget(bar);
    toolbar_->setObjectName("ToolbarButtons");
    toolbar_->setFixedHeight(kToolButtonHeight);
    const char* icons[] = {"refresh", "grab-mp3", "grab-wma",  "grab-wav", "grab-ext", "burn",
                           "tag",     "convert",  "freedb",    "settings", "player"};
    for (std::size_t i = 0; i < std::size(kToolbarOrder); ++i)
        toolButton(toolbar_, kToolbarOrder[i], icons[i], true);
    row->addWidget(toolbar_, 1);
    row->addWidget(toolButton(bar, "SpeedButton17", "profiles", true));
    row->addWidget(toolButton(bar, "SpeedButton25", "exit", true));
    return bar;
}

QWidget* TMainForm::buildDiscPanel() {
    QFrame* box = panel("Panel2", this);
    box->setFrameShape(QFrame::NoFrame);
    panels_.push_back(box);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);

    auto label = [&](const char* name, QWidget* buddy) {
        auto* l = new QLabel(box);
        l->setObjectName(name);
        l->setBuddy(buddy);
        return l;
    };
    cdromBox_ = new QComboBox(box);
    cdromBox_->setObjectName("CDROMBox");
    cdromBox_->setMinimumWidth(220);
    groupEdit_ = new QComboBox(box);
    groupEdit_->setObjectName("GroupEdit");
    groupEdit_->setEditable(true);
    groupEdit_->setInsertPolicy(QComboBox::NoInsert);
    albumEdit_ = new QLineEdit(box);
    albumEdit_->setObjectName("AlbumNameEdit");

    auto* driveIcon = new QLabel(box);
    driveIcon->setObjectName("DriveIcon");
    driveIcon->setPixmap(QIcon(":/icons/drive.svg").pixmap(22, 22));
    grid->addWidget(driveIcon, 0, 0, Qt::AlignRight);
    grid->addWidget(cdromBox_, 0, 1, 1, 3);
    grid->addWidget(label("GroupLabel", groupEdit_), 1, 0);
    grid->addWidget(groupEdit_, 1, 1);
    grid->addWidget(label("AlbumLabel", albumEdit_), 1, 2);
    grid->addWidget(albumEdit_, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return box;
}

QWidget* TMainForm::buildPlayPanel() {
    QFrame* box = panel("Panel3", this);
    box->setFrameShape(QFrame::NoFrame);
    panels_.push_back(box);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(6, 2, 8, 4);
    row->setSpacing(2);
    row->addWidget(toolButton(box, "SpeedButton11", "play", false));
    row->addWidget(toolButton(box, "SpeedButton5", "play-selected", false));
    row->addWidget(toolButton(box, "SpeedButton12", "pause", false));
    row->addWidget(toolButton(box, "SpeedButton16", "stop", false));
    QToolButton* previous = toolButton(box, "SpeedButton14", "previous", false);
    previous->setProperty("tag", -1);
    row->addWidget(previous);
    QToolButton* next = toolButton(box, "SpeedButton15", "next", false);
    next->setProperty("tag", 1);
    row->addWidget(next);
    row->addWidget(toolButton(box, "SpeedButton13", "eject", false));
    row->addSpacing(8);

    // The play bar; until CD playback exists it shows only a grab's progress.
    auto* bar = new PlayBar(box);
    bar->setObjectName("PaintBox1");
    bar->setFixedHeight(14);
    paintBox_ = bar;
    row->addWidget(bar, 1);
    row->addSpacing(8);

    timePanel_ = new QLabel(box);
    timePanel_->setObjectName("TimePanel");
    timePanel_->setMinimumWidth(120);
    row->addWidget(timePanel_);

    volumeBar_ = new QSlider(Qt::Horizontal, box);
    volumeBar_->setObjectName("VolumeBar");
    volumeBar_->setRange(0, 255);
    volumeBar_->setFixedWidth(110);
    row->addWidget(volumeBar_);
    return box;
}

void TMainForm::buildTrackList() {
    list_ = new QTableWidget(0, 5, this);
    list_->setObjectName("ListView");
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(22);
    list_->horizontalHeader()->setHighlightSections(false);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list_->setIconSize(QSize(16, 16));
    list_->setWordWrap(false);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->installEventFilter(this);
    for (int c = 0; c < 5; ++c) list_->setHorizontalHeaderItem(c, new QTableWidgetItem);
}

QWidget* TMainForm::buildStatusPanels() {
    QFrame* box = panel("Panel4", this);
    box->setFrameShape(QFrame::NoFrame);
    panels_.push_back(box);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(6, 3, 6, 3);
    row->setSpacing(4);
    QToolButton* all = toolButton(box, "SpeedButton9", "select-all", false);
    all->setProperty("tag", 1);
    row->addWidget(all);
    QToolButton* none = toolButton(box, "SpeedButton10", "select-none", false);
    none->setProperty("tag", 0);
    row->addWidget(none);
    row->addSpacing(8);
    trackPanel_ = statusPanel("TrackPanel", box);
    allTimePanel_ = statusPanel("AllTimePanel", box);
    sizePanel_ = statusPanel("SizePanel", box);
    sizePanel_->setMinimumWidth(170);
    row->addWidget(trackPanel_);
    row->addWidget(allTimePanel_);
    row->addWidget(sizePanel_);
    sizeBox_ = toolButton(box, "SSizeBox", nullptr, false);
    sizeBox_->setIconSize(QSize(22, 22));
    row->addWidget(sizeBox_);
    row->addStretch(1);
    row->addWidget(toolButton(box, "ShowMP3ConfigBox", "mp3-config", false));
    panels_.push_back(trackPanel_);
    panels_.push_back(allTimePanel_);
    panels_.push_back(sizePanel_);
    return box;
}

void TMainForm::layoutToolbar() {
    const auto shown = [this](const char* name) {
        if (!std::strcmp(name, "WMAButton")) return settings_.ShowWMA != 0;
        if (!std::strcmp(name, "SpeedButton18")) return settings_.ShowWAVE != 0;
        if (!std::strcmp(name, "BurnCDButton")) return settings_.ShowBURN != 0;
        if (!std::strcmp(name, "ConvertButton")) return settings_.ShowConvert != 0;
        if (!std::strcmp(name, "SpeedButton6")) return settings_.ShowFreeDB != 0;
        if (!std::strcmp(name, "SpeedButton4")) return settings_.ShowPlayer != 0;
        if (!std::strcmp(name, "EXTButton")) return settings_.ShowEXT != 0;
        return true;
    };
    const int width = toolbar_->findChild<QToolButton*>("SpeedButton1")->width();
    int k = 0;
    for (const char* name : kToolbarOrder) {
        auto* button = toolbar_->findChild<QToolButton*>(name);
        button->setVisible(shown(name));
        if (!shown(name)) continue;
        button->move(2 + k * width, 0);
        ++k;
    }
    toolbar_->setMinimumWidth(2 + k * width);
}

}  // namespace melvarin
