#include <gtest/gtest.h>

#include <string>

#include "app/Messages.h"
#include "app/TLanguage.h"
#include "platform/Cp1251.h"
#include "platform/Embedded.h"
#include "support/TempDir.h"

using melvarin::BuiltInMessage;
using melvarin::Message;
using melvarin::SetProgramLanguage;
using melvarin::TLanguage;
using melvarin::test::TempDir;
using melvarin::test::writeFile;

TEST(Messages, BuiltInRussianTableIsCompleteWithItsOwnSpelling) {
    for (int n = 0; n <= 112; ++n) EXPECT_FALSE(BuiltInMessage(n).empty()) << "message " << n;
    EXPECT_EQ(BuiltInMessage(113), "");
    // The yes and no words of the drive information.
    EXPECT_EQ(BuiltInMessage(110), "Да");
    EXPECT_EQ(BuiltInMessage(111), "Нет");
    EXPECT_EQ(BuiltInMessage(-1), "");

    EXPECT_EQ(BuiltInMessage(0), "Уже сжат.");
    // The built-in texts keep their historic spelling: a Latin "C" in 04, a Latin
    // "y" in 15, two blanks in 92.
    EXPECT_EQ(BuiltInMessage(4), "C\xD0\xBA\xD0\xBE\xD0\xBF\xD0\xB8\xD1\x80\xD0\xBE\xD0\xB2\xD0\xB0\xD0\xBD");
    EXPECT_EQ(BuiltInMessage(20), "Скопирован");
    EXPECT_NE(BuiltInMessage(15).find("р\x79чную"), std::string::npos);
    EXPECT_EQ(BuiltInMessage(92), "Не удалось загрузить библиотеку WNASPI32.DLL Переустановите  ASPI Manager!");
    EXPECT_EQ(BuiltInMessage(14), "Директории '%s' не существует. Выбирете другую папку.");
    EXPECT_EQ(BuiltInMessage(28), "%A - Исполнитель            %G - жанр");
    EXPECT_EQ(BuiltInMessage(39), "Чтение CD-DA      :");
    EXPECT_EQ(BuiltInMessage(85), "Не могу сохранить настройки!");
    EXPECT_EQ(BuiltInMessage(109), "Изображение содеражит треки с данными");
}

TEST(Messages, BuiltInFileIsAWindowsCodePageFileNamedRussian) {
    const std::string_view bytes = melvarin::embedded("russian.lng");
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(bytes.find(";LANG:Russian\r\n"), std::string_view::npos);
    EXPECT_FALSE(melvarin::Cp1251::isValidUtf8(bytes)) << "stored in cp1251, not UTF-8";
    EXPECT_NE(bytes.find(melvarin::Cp1251::fromUtf8(";85:Не могу сохранить настройки!\r\n")),
              std::string_view::npos);
}

TEST(Messages, ProgramLanguageAnswersAndBuiltInTextFillsGaps) {
    TempDir dir;
    writeFile(dir / "en.lng", ";LANG:English\n#R\n;14:Folder '%s' is missing. 100%d sure.\n;85:Cannot save the settings!\n");
    TLanguage lang;
    lang.SetFiles({dir / "en.lng"});
    EXPECT_EQ(Message(85), "Не могу сохранить настройки!") << "no table installed";

    SetProgramLanguage(&lang);
    EXPECT_EQ(Message(85), "Не могу сохранить настройки!") << "no language current";
    ASSERT_TRUE(lang.Select(0));
    EXPECT_EQ(Message(85), "Cannot save the settings!");
    EXPECT_EQ(Message(2), BuiltInMessage(2)) << "a message the file lacks";
    EXPECT_EQ(Message(14, "/music/"), "Folder '/music/' is missing. 100%d sure.");
    EXPECT_EQ(Message(85, "x"), "Cannot save the settings!");
    EXPECT_EQ(Message(500), "");
    SetProgramLanguage(nullptr);
    EXPECT_EQ(Message(85), "Не могу сохранить настройки!");
    EXPECT_EQ(Message(34, "/a%s/"), "Директории '/a%s/' не существует. Создать?");
}
