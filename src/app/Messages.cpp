#include "app/Messages.h"

#include <cstdio>
#include <initializer_list>
#include <map>
#include <mutex>

#include "app/LanguageLine.h"
#include "app/TLanguage.h"
#include "app/WindowTexts.h"
#include "platform/Embedded.h"

namespace melvarin {
namespace {

std::mutex programLanguageMutex;
TLanguage* programLanguage = nullptr;

// The message section of the built-in Russian file, read once.
std::map<int, std::string> readBuiltIn() {
    std::map<int, std::string> table;
    const std::string_view bytes = embedded("russian.lng");
    if (bytes.empty()) return table;
    std::FILE* f = ::fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "r");
    if (!f) return table;
    std::string line;
    bool inMessages = false;
    while (LanguageLine::read(f, line)) {
        if (!inMessages) {
            inMessages = LanguageLine::isSection(line, "R");
            continue;
        }
        int number = 0;
        std::string_view raw;
        if (LanguageLine::parseEntry(line, number, raw))
            table.emplace(number, LanguageLine::decode(raw));
    }
    std::fclose(f);
    return table;
}

}  // namespace

void SetProgramLanguage(TLanguage* language) {
    std::lock_guard lock(programLanguageMutex);
    programLanguage = language;
}

std::string BuiltInMessage(int n) {
    static const std::map<int, std::string> table = readBuiltIn();
    const auto it = table.find(n);
    return it == table.end() ? std::string() : it->second;
}

std::string Message(int n) {
    {
        std::lock_guard lock(programLanguageMutex);
        if (programLanguage) {
            std::string text = programLanguage->GetMessage(n);
            if (!text.empty()) return text;
        }
    }
    return BuiltInMessage(n);
}

namespace {

// Replaces the "%s" placeholders of `text` by `args` in order, each search
// starting after the text put in before.
std::string Fill(std::string text, std::initializer_list<std::string_view> args) {
    std::size_t from = 0;
    for (const std::string_view arg : args) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos) break;
        text.replace(at, 2, arg);
        from = at + arg.size();
    }
    return text;
}

}  // namespace

std::string Message(int n, std::string_view arg) { return Fill(Message(n), {arg}); }

std::string Message(int n, std::string_view first, std::string_view second) {
    return Fill(Message(n), {first, second});
}

std::string LanguageMessage(int n) {
    std::lock_guard lock(programLanguageMutex);
    return programLanguage ? programLanguage->GetMessage(n) : std::string();
}

std::optional<std::vector<std::string>> ProgramWindowTexts(int number) {
    std::lock_guard lock(programLanguageMutex);
    if (!programLanguage || programLanguage->Current() <= 0) return std::nullopt;
    return WindowTexts::read(*programLanguage, number);
}

}  // namespace melvarin
