#include "cddb/ui/FreedbJob.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/Messages.h"
#include "app/ScriptedPrompt.h"
#include "cddb/ui/TChoseForm.h"
#include "support/FreedbTestServer.h"

using namespace melvarin;

namespace {

DiscRecord oneTrackDisc() {
    DiscRecord d;
    d.clear();
    d.TrackCount = 1;
    d.DiscId = 0x0b00f001;
    d.Tracks[0].Start = MsfAddress::fromFrames(150);
    d.Tracks[0].Length = MsfAddress::fromFrames(240 * 75);
    d.Tracks[1].Start = MsfAddress::fromFrames(150 + 240 * 75);
    return d;
}

std::string entry(const std::string& dtitle) {
    return "# xmcd\r\nDISCID=0b00f001\r\nDTITLE=" + dtitle + "\r\nTTITLE0=Song of " + dtitle + "\r\n";
}

}  // namespace

TEST(TChoseForm, OffersTheTextsWithTheFirstSelected) {
    TChoseForm form(nullptr, "Выбирете верные данные", {"A / One", "B / Two"});
    EXPECT_EQ(form.windowTitle(), "Выбор");
    EXPECT_EQ(form.findChild<QLabel*>("Label1")->text(), "Выбирете верные данные");
    EXPECT_EQ(form.chosenIndex(), 0);
    EXPECT_EQ(form.findChild<QPushButton*>("SpeedButton1")->text(), "Отмена");

    TChoseForm named(nullptr, "name", {"Ogg", "Mp3"}, true, "new");
    EXPECT_EQ(named.chosenText(), "new");
    EXPECT_EQ(named.chosenIndex(), -1);
}

TEST(FreedbJob, SeveralMatchesAreChosenInTheWindowAndTheWindowStaysResponsive) {
    test::FreedbTestServer server;
    server.addEntry({"rock", 0x0b00f001, "A / One", entry("A / One")});
    server.addEntry({"jazz", 0x0b00f001, "B / Two", entry("B / Two")});
    SettingsRecord s{};
    setText(s.Server, server.server());
    setText(s.Path, "/~cddb/cddb.cgi");
    s.TimeOut = 3000;
    TDiscTags tags;
    tags.FillFromDisc(oneTrackDisc());
    ScriptedPrompt prompt;

    FreedbJob job(nullptr, s, oneTrackDisc(), tags, prompt);
    QString offeredLabel;
    int offeredCount = 0;
    // Answers the choice window as a user would: second row, Ok.
    QTimer picker;
    picker.setInterval(20);
    QObject::connect(&picker, &QTimer::timeout, [&] {
        auto* form = qobject_cast<TChoseForm*>(QApplication::activeModalWidget());
        if (!form) return;
        offeredLabel = form->findChild<QLabel*>("Label1")->text();
        auto* box = form->findChild<QComboBox*>("ComboBox1");
        offeredCount = box->count();
        box->setCurrentIndex(1);
        form->findChild<QPushButton*>("OkButton")->click();
    });
    picker.start();

    QEventLoop loop;
    FreedbOutcome outcome = FreedbOutcome::Failed;
    QObject::connect(&job, &FreedbJob::finished, [&](FreedbOutcome o) {
        outcome = o;
        loop.quit();
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();

    EXPECT_EQ(outcome, FreedbOutcome::Found);
    EXPECT_EQ(offeredLabel.toStdString(), Message(56));
    EXPECT_EQ(offeredCount, 2);
    EXPECT_EQ(job.disc().artist(), "B");
    EXPECT_EQ(job.disc().title(0), "Song of B / Two");
    EXPECT_EQ(job.tags().GetTag(0)->Album, "Two");
}
