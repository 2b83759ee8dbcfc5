#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include "app/Messages.h"
#include "app/ScriptedPrompt.h"
#include "app/ui/TMainForm.h"
#include "app/ui/TSettingsForm.h"
#include "cddb/ui/TChoseForm.h"
#include "drive/ReadCommands.h"
#include "drive/ui/TCDInfo.h"
#include "drive/ui/TReadCommandForm.h"
#include "support/TempDir.h"
#include "support/TestHome.h"

namespace melvarin {
namespace {

using test::TempDir;
using test::writeFile;

bool cyrillic(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x0400 && c.unicode() <= 0x052F; });
}

// Every caption of `window` that holds a Cyrillic letter: titles, texts, tool
// tips, menu and combo box entries, list headers and items, text boxes.
::testing::AssertionResult noCyrillic(QWidget* window) {
    QStringList found;
    const auto check = [&](const QObject* o, const QString& text) {
        if (cyrillic(text)) found << o->objectName() + ": " + text;
    };
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        check(w, w->windowTitle());
        check(w, w->toolTip());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) check(w, b->text());
        if (auto* l = qobject_cast<QLabel*>(w)) check(w, l->text());
        if (auto* g = qobject_cast<QGroupBox*>(w)) check(w, g->title());
        if (auto* m = qobject_cast<QMenu*>(w)) check(w, m->title());
        if (auto* e = qobject_cast<QPlainTextEdit*>(w)) check(w, e->toPlainText());
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) check(w, c->itemText(i));
        if (auto* t = qobject_cast<QTableWidget*>(w))
            for (int c = 0; c < t->columnCount(); ++c) {
                if (t->horizontalHeaderItem(c)) check(w, t->horizontalHeaderItem(c)->text());
                for (int r = 0; r < t->rowCount(); ++r)
                    if (t->item(r, c)) check(w, t->item(r, c)->text());
            }
        if (auto* t = qobject_cast<QTreeWidget*>(w))
            for (int c = 0; c < t->columnCount(); ++c) {
                check(w, t->headerItem()->text(c));
                for (QTreeWidgetItemIterator it(t); *it; ++it) check(w, (*it)->text(c));
            }
    }
    for (const QAction* a : window->findChildren<QAction*>()) {
        check(a, a->text());
        check(a, a->toolTip());
    }
    if (found.isEmpty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << window->objectName().toStdString() << ":\n" << found.join('\n').toStdString();
}

// The main window over an emulated drive holding a two-track disc.
class WindowLanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(test::UseTestHome(home, drive));
        writeFile(drive / "disc.bin", std::string(750 * 2352, '\x05'));
        writeFile(drive / "disc.cue",
                  "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                  "  TRACK 02 AUDIO\n    INDEX 01 00:04:00\n");
    }

    static QAction* languageItem(TMainForm& form, const QString& name) {
        for (QAction* a : form.findChild<QMenu*>("Lang1")->actions())
            if (a->text() == name) return a;
        return nullptr;
    }

    static QString stateText(TMainForm& form, int row) { return form.findChild<QTableWidget*>("ListView")->item(row, 4)->text(); }

    static QString panelText(TMainForm& form, const char* name) { return form.findChild<QLabel*>(name)->text(); }

    // Opens every window the program has besides the main one, as the main
    // window opens it, and checks that none shows a Russian caption.
    static void expectEveryWindowInEnglish(TMainForm& form) {
        EXPECT_TRUE(noCyrillic(&form));

        ScriptedPrompt prompt;
        TSettingsForm settings(&form, form.settings(), nullptr, prompt);
        EXPECT_EQ(settings.windowTitle(), "Settings");
        EXPECT_TRUE(noCyrillic(&settings));

        TChoseForm choice(&form, QString::fromStdString(Message(56)), {"rock / Band / Record"});
        EXPECT_EQ(choice.windowTitle(), "Choose");
        EXPECT_TRUE(noCyrillic(&choice));

        SettingsRecord scratch = form.settings();
        TReadCommandForm detection({{1, 0, ReadCommandName(0), 26, true, Message(74), 26 << 8}}, scratch, 0, &form);
        EXPECT_EQ(detection.findChild<QTreeWidget*>("ListView")->headerItem()->text(3), "Result");
        EXPECT_TRUE(noCyrillic(&detection));

        // The drive information window, opened from the menu.
        QString info;
        QTimer::singleShot(50, [&] {
            if (auto* window = qobject_cast<TCDInfo*>(QApplication::activeModalWidget())) {
                info = window->findChild<QPlainTextEdit*>("InfoBox")->toPlainText();
                EXPECT_EQ(window->findChild<QAbstractButton*>("SpeedButton4")->text(), "Copy");
                EXPECT_TRUE(noCyrillic(window));
                window->accept();
            }
        });
        form.findChild<QAction*>("SysInfo")->trigger();
        EXPECT_TRUE(info.startsWith("Drive : MELVARIN VIRTUAL CD-RW 1.00\n")) << info.toStdString();
        EXPECT_TRUE(info.contains("Reads CD-DA       :\tYes\n")) << info.toStdString();
        EXPECT_TRUE(info.contains("Writes DVD-RAM    :\tNo\n")) << info.toStdString();
    }

    TempDir home, drive;
};

TEST_F(WindowLanguageTest, EnglishReachesEveryWindowAtOnceAndAfterARestart) {
    {
        TMainForm form;
        ASSERT_EQ(form.findChild<QTableWidget*>("ListView")->rowCount(), 2);
        EXPECT_EQ(stateText(form, 0).toStdString(), BuiltInMessage(3));
        QAction* english = languageItem(form, "English");
        ASSERT_NE(english, nullptr);

        // The list and the status panels change with the captions, the disc
        // staying as it was loaded.
        english->trigger();
        EXPECT_EQ(stateText(form, 1), "Not grabbed");
        EXPECT_EQ(panelText(form, "AllTimePanel"), "Total time: 00:00:10");
        EXPECT_EQ(panelText(form, "TrackPanel"), "Tracks: 2");
        expectEveryWindowInEnglish(form);

        // And back: Russian texts at once, the other windows Russian again.
        form.findChild<QAction*>("Russian1")->trigger();
        EXPECT_EQ(stateText(form, 0).toStdString(), BuiltInMessage(3));
        EXPECT_TRUE(panelText(form, "AllTimePanel").endsWith(": 00:00:10"));
        EXPECT_TRUE(cyrillic(panelText(form, "AllTimePanel")));
        ScriptedPrompt prompt;
        TSettingsForm settings(&form, form.settings(), nullptr, prompt);
        EXPECT_TRUE(cyrillic(settings.windowTitle()));
        english->trigger();
    }
    // The next start comes up in English, every window with it.
    TMainForm form;
    EXPECT_TRUE(languageItem(form, "English")->isChecked());
    EXPECT_EQ(stateText(form, 1), "Not grabbed");
    expectEveryWindowInEnglish(form);
}

}  // namespace
}  // namespace melvarin
