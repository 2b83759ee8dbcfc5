#include "app/ui/TSettingsForm.h"

#include <cstring>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QGroupBox>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

#include "app/Messages.h"
#include "app/ScriptedPrompt.h"
#include "app/WindowTexts.h"
#include "cddb/CCDDBSite.h"
#include "platform/FileUtil.h"
#include "platform/ProgramHome.h"
#include "support/TempDir.h"

namespace melvarin {
namespace {

using test::TempDir;

class TSettingsFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramHome::set(home.path());
        settings = defaultSettings(music.path(), ProgramHome::localCddbDir());
    }

    template <class W>
    static W* find(const TSettingsForm& form, const char* name) {
        W* w = form.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    // Runs the window over `settings` with `edit`, presses Ok and returns
    // whether the window accepted.
    template <class Edit>
    bool pressOk(TSettingsForm& form, Edit edit) {
        edit(form);
        find<QPushButton>(form, "OkButton")->click();
        return form.result() == QDialog::Accepted;
    }

    TempDir home;
    TempDir music;
    SettingsRecord settings{};
    ScriptedPrompt prompt;
};

TEST_F(TSettingsFormTest, EveryPageHasItsControls) {
    TSettingsForm form(nullptr, settings, nullptr, prompt);
    // A selection across all twelve pages: other windows, tests and translated
    // captions find controls by these names.
    for (const char* name : {"OnTheFlyEncodingBox", "CheckBox1", "EjectACopy", "PlaySoundBox", "SpeedButton9",
                             "WorkDir", "SpeedButton3", "File_UseTrackNum", "Dir_AsArtistName", "FormatEdit",
                             "TestLabel", "CodecBox", "FormatBox", "MaxBR", "LameQualityBox", "MP3ID2TagBox",
                             "OggBar", "QualityLabel", "OggNomBRBox", "WMABitrateBox", "UseDRMBox",
                             "ExtEncoderBox", "FlacBar", "RPOMaxEdit", "AMSCBox", "FAACBitrateBox",
                             "ACMCodecBox", "ACMFileExt", "SetMinEdit", "MaxEdit", "DeviceName", "SpeedBox",
                             "CBMaxSpeed", "CommandTypeBox", "BigEndianBox", "ASPIBtn", "SPTIBtn",
                             "DetReadCommand", "ServerBox", "SpeedButton5", "TimeOutEdit", "LCDDBPathEdit",
                             "UseOnlyMLVBaseBox", "WindowColorBox", "SpeedButton6", "ShowEXT", "ComboBox1",
                             "BurnPriorBox", "BlockCountBox", "NSDiscBox", "TreeView1"})
        EXPECT_NE(form.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;

    // Lists filled by subsystems that report nothing stay empty or disabled.
    EXPECT_EQ(find<QComboBox>(form, "CodecBox")->count(), 1);
    EXPECT_EQ(find<QComboBox>(form, "ACMCodecBox")->count(), 0);
    EXPECT_FALSE(find<QPushButton>(form, "DetReadCommand")->isEnabled());
    EXPECT_EQ(find<QComboBox>(form, "FAACBitrateBox")->itemText(0), "64 kB/s");
}

// The window-text table is what translations replace: every entry of the
// window's two sections must name a control of the window, which shows the
// entry's Russian text until another language is chosen.
TEST_F(TSettingsFormTest, WindowTextTableNamesTheWindowsControls) {
    TSettingsForm form(nullptr, settings, nullptr, prompt);
    QList<QTreeWidgetItem*> nodes;
    for (QTreeWidgetItemIterator it(find<QTreeWidget>(form, "TreeView1")); *it; ++it) nodes << *it;
    for (int section : {2, 7}) {
        ASSERT_NE(WindowTexts::section(section), nullptr);
        for (const WindowText& t : WindowTexts::section(section)->texts) {
            SCOPED_TRACE(testing::Message() << "section " << section << " entry " << t.entry << " " << t.control);
            const QString russian = QString::fromUtf8(t.russian);
            if (t.role == TextRole::Title) {
                EXPECT_EQ(form.windowTitle(), russian);
                continue;
            }
            if (t.role == TextRole::Node) {
                ASSERT_LT(t.index, nodes.size());
                EXPECT_EQ(nodes[t.index]->text(0), russian);
                continue;
            }
            auto* w = form.findChild<QWidget*>(QString::fromLatin1(t.control));
            ASSERT_NE(w, nullptr);
            if (t.role == TextRole::Hint) {
                EXPECT_EQ(w->toolTip(), russian);
            } else if (t.role == TextRole::Item) {
                auto* box = qobject_cast<QComboBox*>(w);
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(box->itemText(t.index), russian);
            } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
                EXPECT_EQ(b->text(), russian);
            } else if (auto* l = qobject_cast<QLabel*>(w)) {
                EXPECT_EQ(l->text(), russian);
            } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
                EXPECT_EQ(g->title(), russian);
            } else {
                ADD_FAILURE() << "no caption on this control";
            }
        }
    }
}

TEST_F(TSettingsFormTest, PatternIsCheckedBeforeAnythingIsStored) {
    setText(settings.Format, "%N");
    const SettingsRecord before = settings;
    TSettingsForm form(nullptr, settings, nullptr, prompt);
    for (const char* bad : {"%", "abc", "%T%", "%T\\"}) {
        prompt.clear();
        EXPECT_FALSE(pressOk(form, [&](TSettingsForm& f) {
            find<QCheckBox>(f, "UseFormatString")->setChecked(true);
            find<QLineEdit>(f, "FormatEdit")->setText(QString::fromLatin1(bad));
            find<QCheckBox>(f, "EjectACopy")->setChecked(false);
        })) << bad;
        ASSERT_EQ(prompt.entries().size(), 1u) << bad;
        EXPECT_EQ(prompt.entries()[0].text, Message(33));
        EXPECT_EQ(prompt.entries()[0].icon, Icon::Information);
        EXPECT_EQ(std::memcmp(&form.settings(), &before, sizeof before), 0) << bad;
        EXPECT_EQ(form.currentPage(), 1);  // the pattern's page is shown
    }
    prompt.clear();
    EXPECT_TRUE(pressOk(form, [](TSettingsForm& f) { find<QLineEdit>(f, "FormatEdit")->setText("%T"); }));
    EXPECT_TRUE(prompt.entries().empty());
    EXPECT_EQ(getText(form.settings().Format), "%T");
    EXPECT_EQ(form.settings().UseFormatString, 1);
    EXPECT_EQ(form.settings().EjectACopy, 0);
}

TEST_F(TSettingsFormTest, FileNameSchemeControls) {
    TSettingsForm form(nullptr, settings, nullptr, prompt);
    auto* useFormat = find<QCheckBox>(form, "UseFormatString");
    auto* edit = find<QLineEdit>(form, "FormatEdit");
    useFormat->setChecked(true);
    EXPECT_FALSE(find<QCheckBox>(form, "File_UseTrackName")->isEnabled());
    EXPECT_FALSE(find<QCheckBox>(form, "Dir_AsAlbumName")->isEnabled());
    EXPECT_TRUE(edit->isEnabled());

    // Forbidden characters never reach the field, typed or pasted.
    edit->setText("%A");
    edit->insert("/:?");
    EXPECT_EQ(edit->text(), "%A");
    // A doubled "%" typed by the user is reduced to one.
    edit->setText("%A - ");
    edit->setCursorPosition(edit->text().size());
    edit->insert("%");
    edit->insert("%");
    emit edit->textEdited(edit->text());
    EXPECT_EQ(edit->text(), "%A - %");
    EXPECT_EQ(edit->maxLength(), 29);
    EXPECT_EQ(edit->toolTip().split('\n').size(), 4);

    useFormat->setChecked(false);
    EXPECT_TRUE(pressOk(form, [](TSettingsForm& f) {
        for (const char* n : {"File_UseTrackName", "File_UseAlbumName", "File_UseArtistName", "File_UseTrackNum"})
            find<QCheckBox>(f, n)->setChecked(false);
    }));
    EXPECT_EQ(form.settings().File_UseTrackName, 1);  // a name needs at least the title
}

TEST_F(TSettingsFormTest, MissingOutputFolderIsCreatedOnYes) {
    const std::string target = music / "new/deeper";
    prompt.queueAnswer(true);
    TSettingsForm form(nullptr, settings, nullptr, prompt);
    EXPECT_TRUE(pressOk(form, [&](TSettingsForm& f) {
        find<QLineEdit>(f, "WorkDir")->setText(QString::fromStdString(target));
    }));
    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].text, Message(34, target));
    EXPECT_TRUE(FileUtil::isDirectory(target));
    EXPECT_EQ(getText(form.settings().WorkDir), target + "/");
}

TEST_F(TSettingsFormTest, TypedNumbersAndTheirFallbacks) {
    TSettingsForm form(nullptr, settings, nullptr, prompt);
    EXPECT_EQ(find<QLineEdit>(form, "TimeOutEdit")->text(), "20");
    EXPECT_TRUE(pressOk(form, [](TSettingsForm& f) {
        find<QLineEdit>(f, "TimeOutEdit")->setText("abc");
        find<QLineEdit>(f, "NumSecReadEdit")->setText("300");
        find<QLineEdit>(f, "SetMinEdit")->setText("");
        find<QLineEdit>(f, "PortEdit")->setText("x");
        find<QComboBox>(f, "BlockCountBox")->setEditText("?");
        find<QLineEdit>(f, "RPOMaxEdit")->setText("7");
    }));
    const SettingsRecord& s = form.settings();
    EXPECT_EQ(s.TimeOut, 20000);
    EXPECT_EQ(s.NumSecRead, 26);
    EXPECT_EQ(s.EncoderConfig.SetMin, 90);
    EXPECT_EQ(s.Port, 80);
    EXPECT_EQ(s.BlockCount, 38);
    EXPECT_EQ(s.EncoderConfig.RPOMax, 7);

    TSettingsForm again(nullptr, s, nullptr, prompt);
    EXPECT_TRUE(pressOk(again, [](TSettingsForm& f) { find<QLineEdit>(f, "TimeOutEdit")->setText("5"); }));
    EXPECT_EQ(again.settings().TimeOut, 5000);
}

TEST_F(TSettingsFormTest, AcmExtensionIsStoredWithItsDot) {
    for (const auto& [typed, stored] : {std::pair{"mp2", ".mp2"}, std::pair{"", ".wav"}}) {
        TSettingsForm form(nullptr, settings, nullptr, prompt);
        EXPECT_TRUE(pressOk(form, [&](TSettingsForm& f) {
            find<QLineEdit>(f, "ACMFileExt")->setText(QString::fromLatin1(typed));
        }));
        EXPECT_EQ(getText(form.settings().EncoderConfig.ACMFileExt), stored);
    }
}

TEST_F(TSettingsFormTest, MaximumReadSpeedSurvivesReopening) {
    TSettingsForm form(nullptr, settings, nullptr, prompt);
    EXPECT_EQ(find<QComboBox>(form, "SpeedBox")->currentText(), "30x ( 5292 Kbit/s )");
    EXPECT_TRUE(pressOk(form, [](TSettingsForm& f) { find<QCheckBox>(f, "CBMaxSpeed")->setChecked(true); }));
    EXPECT_EQ(form.settings().Speed, 255);

    TSettingsForm again(nullptr, form.settings(), nullptr, prompt);
    EXPECT_TRUE(find<QCheckBox>(again, "CBMaxSpeed")->isChecked());
    EXPECT_EQ(find<QComboBox>(again, "SpeedBox")->currentText(), "50x ( 8820 Kbit/s )");
    EXPECT_TRUE(pressOk(again, [](TSettingsForm& f) {
        find<QCheckBox>(f, "CBMaxSpeed")->setChecked(false);
        find<QComboBox>(f, "SpeedBox")->setCurrentIndex(7);
        find<QComboBox>(f, "ComboBox1")->setCurrentIndex(2);
    }));
    EXPECT_EQ(again.settings().Speed, 8);
    EXPECT_EQ(again.settings().BurnSpeed, 16);
}

TEST_F(TSettingsFormTest, ReadCommandIsKeptPerDrive) {
    settings.CommandType[0] = 12;  // no such command
    settings.CommandType[1] = 3;
    settings.BigEndian[1] = 1;
    settings.DeviceName = 1;
    SettingsFormSources sources;
    sources.drives = {"0: EMU CD-ROM", "1: EMU DVD-RW"};
    TSettingsForm form(nullptr, settings, nullptr, prompt, sources);
    auto* device = find<QComboBox>(form, "DeviceName");
    auto* type = find<QComboBox>(form, "CommandTypeBox");
    auto* big = find<QCheckBox>(form, "BigEndianBox");
    EXPECT_EQ(type->currentIndex(), 3);
    EXPECT_TRUE(big->isChecked());

    device->setCurrentIndex(0);
    EXPECT_EQ(type->currentIndex(), 0);
    EXPECT_FALSE(big->isChecked());
    type->setCurrentIndex(5);
    device->setCurrentIndex(1);  // drive 1 keeps its own entries
    EXPECT_EQ(type->currentIndex(), 3);
    device->setCurrentIndex(0);

    EXPECT_TRUE(pressOk(form, [](TSettingsForm&) {}));
    EXPECT_EQ(form.settings().DeviceName, 0);
    EXPECT_EQ(form.settings().CommandType[0], 5);
    EXPECT_EQ(form.settings().CommandType[1], 3);
    EXPECT_EQ(form.settings().BigEndian[1], 1);
}

TEST_F(TSettingsFormTest, LocalCddbFolderOfAWindowsFileIsReplaced) {
    setText(settings.LCDDBPath, "C:\\");
    TSettingsForm form(nullptr, settings, nullptr, prompt);
    const QString expected = QString::fromStdString(home / "LocalCDDB/");
    EXPECT_EQ(find<QLineEdit>(form, "LCDDBPathEdit")->text(), expected);
    EXPECT_TRUE(pressOk(form, [](TSettingsForm&) {}));
    EXPECT_EQ(getText(form.settings().LCDDBPath), expected.toStdString());

    TSettingsForm typed(nullptr, settings, nullptr, prompt);
    EXPECT_TRUE(pressOk(typed, [](TSettingsForm& f) { find<QLineEdit>(f, "LCDDBPathEdit")->setText("C:\\"); }));
    EXPECT_EQ(getText(typed.settings().LCDDBPath), expected.toStdString());
}

TEST_F(TSettingsFormTest, PageShownAtOkIsRemembered) {
    settings.SettingsPage = 8;
    TSettingsForm form(nullptr, settings, nullptr, prompt);
    EXPECT_EQ(form.currentPage(), 8);
    auto* tree = find<QTreeWidget>(form, "TreeView1");
    EXPECT_EQ(tree->currentItem()->text(0), "FreeDB");

    // Choosing "Ogg Vorbis" in the tree shows that page; a group node shows none.
    const auto items = tree->findItems("Ogg Vorbis", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(items.size(), 1);
    tree->setCurrentItem(items[0]);
    EXPECT_EQ(form.currentPage(), 3);
    tree->setCurrentItem(tree->findItems("Аудио", Qt::MatchExactly)[0]);
    EXPECT_EQ(form.currentPage(), 3);
    EXPECT_TRUE(pressOk(form, [](TSettingsForm&) {}));
    EXPECT_EQ(form.settings().SettingsPage, 3);

    settings.SettingsPage = 200;
    TSettingsForm wrong(nullptr, settings, nullptr, prompt);
    EXPECT_EQ(wrong.currentPage(), 0);
}

TEST_F(TSettingsFormTest, CancelChangesNothing) {
    DiscRecord disc{};
    disc.setAlbum("Альбом");
    const SettingsRecord before = settings;
    TSettingsForm form(nullptr, settings, &disc, prompt);
    find<QCheckBox>(form, "ShowEXT")->setChecked(true);
    find<QLineEdit>(form, "ACMFileExt")->setText("mp2");
    find<QCheckBox>(form, "CBMaxSpeed")->setChecked(true);
    find<QPushButton>(form, "CancelButton")->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(std::memcmp(&form.settings(), &before, sizeof before), 0);
    EXPECT_EQ(form.disc().album(), "Альбом");
    EXPECT_TRUE(prompt.entries().empty());
}

TEST_F(TSettingsFormTest, EncoderPagesMapTheirControls) {
    TSettingsForm form(nullptr, settings, nullptr, prompt);
    auto* oggBar = find<QSlider>(form, "OggBar");
    oggBar->setValue(0);
    EXPECT_EQ(find<QLabel>(form, "QualityLabel")->text(), "0.00 (~ 87.27 kB/s)");

    find<QSlider>(form, "FlacBar")->setValue(8);
    EXPECT_EQ(find<QComboBox>(form, "LPCOrderBox")->currentText(), "12");
    EXPECT_EQ(find<QLineEdit>(form, "RPOMaxEdit")->text(), "6");
    EXPECT_TRUE(find<QCheckBox>(form, "EMSCodingBox")->isChecked());
    EXPECT_EQ(find<QLabel>(form, "FlacLevelLabel")->text(), "Level = 8");

    // The constant-bitrate button switches VBR off, the variable one on.
    auto* vbrBox = find<QComboBox>(form, "VBRBox");
    find<QRadioButton>(form, "VBRBtn")->click();
    EXPECT_EQ(vbrBox->currentIndex(), 1);
    EXPECT_TRUE(pressOk(form, [](TSettingsForm& f) {
        find<QSlider>(f, "OggBar")->setValue(1000);
        find<QComboBox>(f, "FormatBox")->setCurrentText("128kBit/s");
        find<QComboBox>(f, "LameQualityBox")->setCurrentIndex(4);
    }));
    const EncoderConfig& e = form.settings().EncoderConfig;
    EXPECT_EQ(e.OggQualityLevel, 999);
    EXPECT_EQ(e.LameBitrate, 9u);
    EXPECT_EQ(e.VBR, 1);
    EXPECT_EQ(e.VBRMethod, 0);
    EXPECT_EQ(e.LameQuality, 1000);
    EXPECT_EQ(e.LPCOrder, 6);
    EXPECT_EQ(e.UseLame, 1);
}

TEST_F(TSettingsFormTest, PatternPreviewNamesTheFirstTrackOfTheLoadedDisc) {
    DiscRecord disc{};
    disc.TrackCount = 2;
    disc.setArtist("Группа");
    disc.setAlbum("Альбом");
    disc.setTitle(0, "Intro");
    setText(settings.Format, "%N - %T");
    settings.UseFormatString = 1;
    {
        TSettingsForm form(nullptr, settings, &disc, prompt);
        // A name never begins with the blank the naming puts before a leading code.
        EXPECT_EQ(find<QLabel>(form, "TestLabel")->text(), "01 - Intro.mp3");
        auto* edit = find<QLineEdit>(form, "FormatEdit");
        edit->setText("%A\\%T");
        emit edit->textEdited(edit->text());
        EXPECT_EQ(find<QLabel>(form, "TestLabel")->text(), "Группа/Intro.mp3");
    }
    TSettingsForm noDisc(nullptr, settings, nullptr, prompt);
    EXPECT_EQ(find<QLabel>(noDisc, "TestLabel")->text(), "");
}

TEST_F(TSettingsFormTest, AcmMp3CodecReplacesTheLameControls) {
    SettingsFormSources sources;
    sources.acmMp3Codecs = {"MPEG Layer-3 Codec"};
    sources.acmMp3Formats = [](int codec) {
        EXPECT_EQ(codec, 0);
        return std::vector<std::string>{"128 kBit/s, 44100 Hz, Stereo", "64 kBit/s, 22050 Hz, Mono"};
    };
    settings.EncoderConfig.LameBitrate = 12;
    TSettingsForm form(nullptr, settings, nullptr, prompt, sources);
    auto* codec = find<QComboBox>(form, "CodecBox");
    auto* format = find<QComboBox>(form, "FormatBox");
    ASSERT_EQ(codec->count(), 2);
    EXPECT_EQ(codec->itemText(0), "Lame MP3 Encoder");
    EXPECT_EQ(format->count(), 14);
    EXPECT_EQ(find<QLabel>(form, "FormatLabel")->text(), QString::fromStdString(Message(35)));

    codec->setCurrentIndex(1);
    EXPECT_EQ(format->count(), 2);
    EXPECT_EQ(find<QLabel>(form, "FormatLabel")->text(), QString::fromStdString(Message(36)));
    EXPECT_TRUE(find<QComboBox>(form, "LameModeBox")->isHidden());
    EXPECT_TRUE(find<QRadioButton>(form, "VBRBtn")->isHidden());
    EXPECT_TRUE(pressOk(form, [](TSettingsForm& f) {
        find<QComboBox>(f, "FormatBox")->setCurrentIndex(1);
        find<QComboBox>(f, "MaxBR")->setCurrentIndex(5);
    }));
    const EncoderConfig& e = form.settings().EncoderConfig;
    EXPECT_EQ(e.UseLame, 0);
    EXPECT_EQ(e.Codec, 0u);
    EXPECT_EQ(e.Format, 1);
    // The LAME options stay as they were while a codec is chosen.
    EXPECT_EQ(e.LameBitrate, 12u);
    EXPECT_EQ(e.MaxBR, settings.EncoderConfig.MaxBR);

    TSettingsForm again(nullptr, form.settings(), nullptr, prompt, sources);
    EXPECT_EQ(find<QComboBox>(again, "CodecBox")->currentIndex(), 1);
    EXPECT_EQ(find<QComboBox>(again, "FormatBox")->currentIndex(), 1);
}

TEST_F(TSettingsFormTest, AcmCodecListsAndOtherFormatPanels) {
    SettingsFormSources sources;
    sources.acmCodecs = {"PCM", "IMA ADPCM"};
    sources.acmFormats = [](int codec) {
        return codec == 0 ? std::vector<std::string>{"44100 Hz, 16 bit, Stereo"}
                           : std::vector<std::string>{"22050 Hz, 4 bit, Mono", "44100 Hz, 4 bit, Stereo"};
    };
    settings.EncoderConfig.ACMCodec = 1;
    settings.EncoderConfig.ACMFormat = 1;
    settings.EncoderConfig.ExtEncoder = 3;
    TSettingsForm form(nullptr, settings, nullptr, prompt, sources);
    EXPECT_EQ(find<QComboBox>(form, "ACMFormatBox")->currentIndex(), 1);
    EXPECT_TRUE(find<QWidget>(form, "ACMPanel")->isVisibleTo(find<QWidget>(form, "Page5")));
    EXPECT_FALSE(find<QWidget>(form, "FLACPanel")->isVisibleTo(find<QWidget>(form, "Page5")));

    find<QComboBox>(form, "ACMCodecBox")->setCurrentIndex(0);
    EXPECT_EQ(find<QComboBox>(form, "ACMFormatBox")->count(), 1);
    EXPECT_EQ(find<QComboBox>(form, "ACMFormatBox")->currentIndex(), 0);
    find<QComboBox>(form, "ExtEncoderBox")->setCurrentIndex(1);
    EXPECT_TRUE(find<QWidget>(form, "FLACPanel")->isVisibleTo(find<QWidget>(form, "Page5")));

    // A WAVE header rules out the leading ID3v2 tag.
    find<QCheckBox>(form, "ACMWriteWAVEHeadBox")->setChecked(true);
    EXPECT_FALSE(find<QCheckBox>(form, "ACMWriteTagBox")->isEnabled());
    EXPECT_TRUE(pressOk(form, [](TSettingsForm&) {}));
    EXPECT_EQ(form.settings().EncoderConfig.ExtEncoder, 1u);
    EXPECT_EQ(form.settings().EncoderConfig.ACMCodec, 0u);
    EXPECT_EQ(form.settings().EncoderConfig.ACMFormat, 0u);
}

TEST_F(TSettingsFormTest, DriveTransportAndDetection) {
    SettingsFormSources sources;
    sources.drives = {"0: EMU CD-ROM"};
    sources.sptiAvailable = true;
    int asked = 0;
    sources.detectReadCommand = [&](int drive, bool spti, int sectors) -> std::optional<std::pair<int, int>> {
        ++asked;
        EXPECT_EQ(drive, 0);
        EXPECT_TRUE(spti);
        EXPECT_EQ(sectors, 26);
        return std::pair{7, 13};
    };
    settings.NumSecRead = 0;  // shows as 26
    settings.Interface = 0;
    TSettingsForm form(nullptr, settings, nullptr, prompt, sources);
    EXPECT_EQ(find<QLineEdit>(form, "NumSecReadEdit")->text(), "26");
    EXPECT_FALSE(find<QRadioButton>(form, "ASPIBtn")->isEnabled());
    EXPECT_TRUE(find<QRadioButton>(form, "SPTIBtn")->isEnabled());
    find<QRadioButton>(form, "SPTIBtn")->setChecked(true);
    find<QCheckBox>(form, "CBMaxSpeed")->setChecked(true);
    EXPECT_FALSE(find<QComboBox>(form, "SpeedBox")->isEnabled());

    find<QPushButton>(form, "DetReadCommand")->click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(find<QLineEdit>(form, "NumSecReadEdit")->text(), "13");
    EXPECT_TRUE(pressOk(form, [](TSettingsForm&) {}));
    EXPECT_EQ(form.settings().Interface, 1);
    EXPECT_EQ(form.settings().NumSecRead, 13);
    EXPECT_EQ(form.settings().CommandType[0], 7);
}

TEST_F(TSettingsFormTest, FreedbSitesServerAndProxy) {
    test::writeFile(ProgramHome::settingDir() + "serervs.lst",
                    "US mirror#us.example.org#/~cddb/cddb.cgi#\r\nEU mirror#eu.example.org#/cddb.cgi#\r\n");
    settings.ServerListIndex = 1;
    TSettingsForm form(nullptr, settings, nullptr, prompt);
    auto* sites = find<QComboBox>(form, "ServerBox");
    ASSERT_EQ(sites->count(), 2);
    EXPECT_EQ(sites->currentText(), "EU mirror (eu.example.org/cddb.cgi)");
    // An empty server shows the default one.
    EXPECT_EQ(find<QLineEdit>(form, "ServerEdit")->text(), CCDDBSite::kDefaultHost);
    EXPECT_EQ(find<QLineEdit>(form, "PathEdit")->text(), CCDDBSite::kDefaultPath);

    emit sites->activated(0);
    EXPECT_EQ(find<QLineEdit>(form, "ServerEdit")->text(), "us.example.org");
    EXPECT_TRUE(pressOk(form, [](TSettingsForm& f) {
        find<QComboBox>(f, "ServerBox")->setCurrentIndex(0);
        find<QLineEdit>(f, "ProxyEdit")->setText("proxy.example.org");
        find<QLineEdit>(f, "PortEdit")->setText("3128");
    }));
    const SettingsRecord& s = form.settings();
    EXPECT_EQ(getText(s.Server), "us.example.org");
    EXPECT_EQ(getText(s.Path), "/~cddb/cddb.cgi");
    EXPECT_EQ(s.ServerListIndex, 0);
    EXPECT_EQ(s.UseProxy, 1);
    EXPECT_EQ(s.Port, 3128);

    TSettingsForm noProxy(nullptr, s, nullptr, prompt);
    EXPECT_TRUE(pressOk(noProxy, [](TSettingsForm& f) { find<QLineEdit>(f, "ProxyEdit")->clear(); }));
    EXPECT_EQ(noProxy.settings().UseProxy, 0);
}

TEST_F(TSettingsFormTest, FetchedSiteListIsSavedAndShown) {
    SettingsFormSources sources;
    sources.fetchSites = [](int timeOutMs) {
        EXPECT_EQ(timeOutMs, 20000);
        return std::vector<std::string>{"Main#main.example.org#/~cddb/cddb.cgi#"};
    };
    TSettingsForm form(nullptr, settings, nullptr, prompt, sources);
    find<QPushButton>(form, "SpeedButton5")->click();
    EXPECT_EQ(find<QComboBox>(form, "ServerBox")->currentText(), "Main (main.example.org/~cddb/cddb.cgi)");
    EXPECT_EQ(test::readFile(ProgramHome::settingDir() + "serervs.lst"), "Main#main.example.org#/~cddb/cddb.cgi#\r\n");
}

TEST_F(TSettingsFormTest, ColourSchemeShortcutsLeaveThePlayBar) {
    settings.WindowColor = 0x00123456;  // not in the list: shown as an extra entry
    TSettingsForm form(nullptr, settings, nullptr, prompt);
    EXPECT_EQ(find<QComboBox>(form, "WindowColorBox")->currentText(), "#563412");
    auto* standard = find<QLabel>(form, "StandardLabel");
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(standard, &press);
    EXPECT_TRUE(standard->styleSheet().contains("#ff0000"));
    QApplication::sendEvent(standard, &release);
    EXPECT_TRUE(standard->styleSheet().contains("#0000ff"));
    EXPECT_TRUE(pressOk(form, [](TSettingsForm&) {}));
    EXPECT_EQ(form.settings().WindowColor, kSystemActiveBorder);
    EXPECT_EQ(form.settings().ControlColor, kSystemWindow);
    EXPECT_EQ(form.settings().PlayBarColor, settings.PlayBarColor);
}

}  // namespace
}  // namespace melvarin
